#include <velmarith/WinMagnge.h>

#include "maintenance/frmManage.h"
#include "toolkit/Desktop.h"

namespace velmarith {

WinMagnge::WinMagnge(QObject *parent) : QObject(parent) {}

WinMagnge::~WinMagnge() = default;

void WinMagnge::ManageTable(const QString &TableName, int16_t)
{
    toolkit::ensureApplication();
    mManageForm = std::make_unique<frmManage>();
    mManageForm->WorkMode = mMagngeMode;
    mManageForm->ManageTable(TableName, 0);
    mManageForm->ShowModal();
}

} // namespace velmarith
