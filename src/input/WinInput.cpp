#include <velmarith/WinInput.h>

#include "input/frmInputAny.h"
#include "toolkit/Desktop.h"

namespace velmarith {

// Nested in an exported class, but no part of the API.
class VELMARITH_NO_EXPORT WinInput::Private
{
public:
    std::unique_ptr<frmInputAny> MyInputAny;
    QString InputResult;
    bool mAccepted = false;
};

WinInput::WinInput(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
}

WinInput::~WinInput() = default;

bool WinInput::inputAccepted() const
{
    return d->mAccepted;
}

QString WinInput::InputAny(const QString &InPrmmpt, const QString &InTitle, const QString &InMode,
                           std::shared_ptr<Collection> InDefColl)
{
    toolkit::ensureApplication();
    d->mAccepted = false;
    d->MyInputAny = std::make_unique<frmInputAny>();
    connect(d->MyInputAny.get(), &frmInputAny::InputSuccess, this, &WinInput::MyInputAny_InputSuccess);
    d->MyInputAny->InputAny(InPrmmpt, InTitle, InMode, InDefColl);
    d->MyInputAny->ShowModal();
    return d->InputResult;
}

void WinInput::MyInputAny_InputSuccess(const QString &InputText)
{
    d->InputResult = InputText;
    d->mAccepted = true;
}

} // namespace velmarith
