#include <velmarith/WinMagnge.h>

#include "maintenance/frmManage.h"
#include "toolkit/Desktop.h"

namespace velmarith {

namespace {

// Settings added after the first release live among the object's dynamic properties, so the
// class keeps the size hosts were built with.
constexpr const char *kIgnoresWriteConflicts = "velmarith.ignoresWriteConflicts";
constexpr const char *kForgetsLayout = "velmarith.forgetsLayout";

// The window on a table as the host set it up, started but not shown.
std::unique_ptr<frmManage> startedWindow(const WinMagnge &host, const QString &table)
{
    toolkit::ensureApplication();
    auto form = std::make_unique<frmManage>();
    form->WorkMode = host.MagngeMode();
    form->CheckWriteConflicts = host.checksWriteConflicts();
    if (host.remembersLayout())
        form->LayoutFile = toolkit::Desktop::current().layoutFile();
    form->ManageTable(table, 0);
    return form;
}

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
    mManageForm = startedWindow(*this, TableName);
    mManageForm->ShowModal();
}

void WinMagnge::exportTable(const QString &TableName, const QString &path)
{
    mManageForm = startedWindow(*this, TableName);
    exportList(mManageForm->shownList(), path);
    mManageForm.reset();
}

} // namespace velmarith
