#include <velmarith/WinMagnge.h>

#include "maintenance/frmManage.h"
#include "toolkit/Desktop.h"

namespace velmarith {

namespace {

// Settings added after the first release live among the object's dynamic properties, so the
// class keeps the size hosts were built with.
constexpr const char *kIgnoresWriteConflicts = "velmarith.ignoresWriteConflicts";
constexpr const char *kForgetsLayout = "velmarith.forgetsLayout";

} // namespace

WinMagnge::WinMagnge(QObject *parent) : QObject(parent) {}

WinMagnge::~WinMagnge() = default;

bool WinMagnge::checksWriteConflicts() const
{
    return !property(kIgnoresWriteConflicts).toBool();
}

void WinMagnge::setChecksWriteConflicts(bool checks)
{
    setProperty(kIgnoresWriteConflicts, !checks);
}

bool WinMagnge::remembersLayout() const
{
    return !property(kForgetsLayout).toBool();
}

void WinMagnge::setRemembersLayout(bool remembers)
{
    setProperty(kForgetsLayout, !remembers);
}

void WinMagnge::ManageTable(const QString &TableName, int16_t)
{
    toolkit::ensureApplication();
    mManageForm = std::make_unique<frmManage>();
    mManageForm->WorkMode = mMagngeMode;
    mManageForm->CheckWriteConflicts = checksWriteConflicts();
    if (remembersLayout())
        mManageForm->LayoutFile = toolkit::Desktop::current().layoutFile();
    mManageForm->ManageTable(TableName, 0);
    mManageForm->ShowModal();
}

} // namespace velmarith
