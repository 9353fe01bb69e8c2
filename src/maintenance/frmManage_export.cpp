// The list handed on as the person sees it: to a file or to the printer.
#include "maintenance/frmManage.h"

#include "data/TypeCodes.h"
#include "maintenance/Editors.h"
#include "maintenance/ListPrint.h"
#include "toolkit/Desktop.h"
#include "toolkit/ListView.h"

#include <velmarith/Error.h>
#include <velmarith/WinFile.h>

#include <QDir>
#include <QPageLayout>

namespace velmarith {

using namespace toolkit;

namespace {

bool isNumberTypeCode(int32_t code)
{
    return isIntegerTypeCode(code) || code == TypeCode::Numeric || code == TypeCode::Currency;
}

} // namespace

ShownList frmManage::shownList()
{
    waitForWholeList();
    ShownList list;
    list.title = Caption();
    const std::vector<int> columns = lvwAny->shownColumns();
    for (const int column : columns) {
        list.captions.append(lvwAny->column(column + 1).text);
        const bool listed = column < mFieldList.Count();
        const QString field = listed ? mFieldList.Item(column + 1).toString() : QString();
        const std::optional<Editor> editor = listed ? editorOfField(field) : std::nullopt;
        // A key or a code keeps its leading zeros only as text; so does every text column.
        const bool code = editor && (editor->kind == EditorKind::ComboBox || editor->control->ToolTipText().contains(u"唯一"));
        list.textColumns.push_back(!listed || code || !isNumberTypeCode(mTypeList.Item(column + 1).toString().toInt()));
    }
    list.rowCount = lvwAny->itemCount();
    list.cell = [this, columns](int row, int column) { return lvwAny->itemValue(row + 1, columns[size_t(column)]); };
    return list;
}

void frmManage::exportShownList()
{
    WinFile file;
    file.setFilePattern(QStringLiteral("Save"));
    file.setFilePlace(QStringLiteral("File"));
    file.setFilePath(QDir::homePath());
    file.setFileFileName(QStringLiteral("*.csv;*.xlsx;*.pdf"));
    file.FileAny();
    if (!file.fileAccepted() || file.selectedFiles().isEmpty())
        return;
    const QString path = file.selectedFiles().front();
    exportList(shownList(), path);
    Desktop::current().inform(QStringLiteral("已导出 %1 行到 %2").arg(lvwAny->itemCount()).arg(QDir::toNativeSeparators(path)));
}

void frmManage::printShownList()
{
    const ShownList list = shownList();
    Desktop::current().previewPrint(list.title, pageLayoutOf(list), [&](QPagedPaintDevice &pages) { paintList(list, pages); });
}

} // namespace velmarith
