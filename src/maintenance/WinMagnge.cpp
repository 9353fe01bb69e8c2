#include <velmarith/WinMagnge.h>

#include "maintenance/frmManage.h"
#include "toolkit/Desktop.h"

namespace velmarith {

// Nested in an exported class, but no part of the API.
class VELMARITH_NO_EXPORT WinMagnge::Private
{
public:
    // The window on a table as the host set it up, started but not shown.
    [[nodiscard]] std::unique_ptr<frmManage> startedWindow(const QString &table) const
    {
        toolkit::ensureApplication();
        auto form = std::make_unique<frmManage>();
        form->WorkMode = magngeMode;
        form->CheckWriteConflicts = checksWriteConflicts;
        if (remembersLayout)
            form->LayoutFile = toolkit::Desktop::current().layoutFile();
        form->ManageTable(table, 0);
        return form;
    }

    int16_t magngeFormat = 0;
    QString magngeMode;
    QString magngeTablName;
    QString dataSql;
    bool checksWriteConflicts = true;
    bool remembersLayout = true;
    std::unique_ptr<frmManage> manageForm;
};

WinMagnge::WinMagnge(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
}

WinMagnge::~WinMagnge() = default;

int16_t WinMagnge::MagngeFormat() const
{
    return d->magngeFormat;
}

void WinMagnge::setMagngeFormat(int16_t format)
{
    d->magngeFormat = format;
}

QString WinMagnge::MagngeMode() const
{
    return d->magngeMode;
}

void WinMagnge::setMagngeMode(const QString &mode)
{
    d->magngeMode = mode;
}

QString WinMagnge::MagngeTablName() const
{
    return d->magngeTablName;
}

void WinMagnge::setMagngeTablName(const QString &name)
{
    d->magngeTablName = name;
}

QString WinMagnge::mDataSql() const
{
    return d->dataSql;
}

void WinMagnge::setmDataSql(const QString &sql)
{
    d->dataSql = sql;
}

bool WinMagnge::checksWriteConflicts() const
{
    return d->checksWriteConflicts;
}

void WinMagnge::setChecksWriteConflicts(bool checks)
{
    d->checksWriteConflicts = checks;
}

bool WinMagnge::remembersLayout() const
{
    return d->remembersLayout;
}

void WinMagnge::setRemembersLayout(bool remembers)
{
    d->remembersLayout = remembers;
}

void WinMagnge::ManageTable(const QString &TableName, int16_t)
{
    d->manageForm = d->startedWindow(TableName);
    d->manageForm->ShowModal();
}

void WinMagnge::exportTable(const QString &TableName, const QString &path)
{
    d->manageForm = d->startedWindow(TableName);
    exportList(d->manageForm->shownList(), path);
    d->manageForm.reset();
}

} // namespace velmarith
