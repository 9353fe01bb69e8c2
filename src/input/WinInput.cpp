#include <velmarith/WinInput.h>

#include "input/frmInputAny.h"
#include "toolkit/Desktop.h"

namespace velmarith {

WinInput::WinInput(QObject *parent) : QObject(parent) {}

WinInput::~WinInput() = default;

QString WinInput::InputAny(const QString &InPrmmpt, const QString &InTitle, const QString &InMode,
                           std::shared_ptr<Collection> InDefColl)
{
    toolkit::ensureApplication();
    mAccepted = false;
    MyInputAny = std::make_unique<frmInputAny>();
    connect(MyInputAny.get(), &frmInputAny::InputSuccess, this, &WinInput::MyInputAny_InputSuccess);
    MyInputAny->InputAny(InPrmmpt, InTitle, InMode, InDefColl);
    MyInputAny->ShowModal();
    return InputResult;
}

void WinInput::MyInputAny_InputSuccess(const QString &InputText)
{
    InputResult = InputText;
    mAccepted = true;
}

} // namespace velmarith
