#pragma once

#include <velmarith/Export.h>
#include <velmarith/Collection.h>

#include <QObject>
#include <QString>

#include <memory>

namespace velmarith {

/// The input box for hosts: asks for one short text, typed freely ("Input", the default),
/// typed or picked from suggestions ("Select"), or only picked ("OnlySelect").
class VELMARITH_EXPORT WinInput : public QObject
{
    Q_OBJECT

public:
    explicit WinInput(QObject *parent = nullptr);
    ~WinInput() override;

    /// Shows the input box modally and returns the text the person confirmed; after a cancel
    /// it returns the text of the last confirmation on this object (empty at first).
    /// `InDefColl` gives the default text (its first item, "Input") or the entries of the list;
    /// it is not changed. Raises velmarith::Error for more than 32767 entries (6) or an entry
    /// that is not text-convertible (13).
    Q_INVOKABLE QString InputAny(const QString &InPrmmpt, const QString &InTitle,
                                 const QString &InMode = QStringLiteral("Input"),
                                 std::shared_ptr<velmarith::Collection> InDefColl = nullptr);

    /// Whether the latest InputAny ended with a confirmation rather than a cancel.
    [[nodiscard]] bool inputAccepted() const;

private:
    void MyInputAny_InputSuccess(const QString &InputText);

    class Private;
    std::unique_ptr<Private> const d;
};

} // namespace velmarith
