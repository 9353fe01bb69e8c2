#pragma once

#include <QDialog>

namespace velmarith::toolkit {

class Form;

/// The Qt window of a Form: a fixed dialog whose keys go through the form's key preview, and
/// which closes only through the form (Enter and Escape press only the buttons the form names).
class FormWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit FormWindow(Form &form);

    /// Watches a control's key target for the key preview and the focus.
    void watch(QWidget *keyTarget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    [[nodiscard]] static bool isPropagatedKey(QObject *watched);
    void reject() override {}

private:
    Form &mForm;
};

} // namespace velmarith::toolkit
