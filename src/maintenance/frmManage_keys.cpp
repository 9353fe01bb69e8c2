#include "maintenance/frmManage.h"

#include "common/IgnoringErrors.h"
#include "maintenance/Editors.h"
#include "search/frmDataSearch.h"
#include "toolkit/Desktop.h"
#include "toolkit/KeyCodes.h"
#include "toolkit/ListView.h"

#include <velmarith/Error.h>
#include <velmarith/SqlText.h>

namespace velmarith {

using namespace toolkit;

void frmManage::Form_KeyDown(int16_t &keyCode, int16_t shift)
{
    if (keyCode == KeyCode::Escape) {
        ranWithoutError([&] { Unload(); }); // at once: no change review
        return;
    }
    // Typing not yet undone in the focused editor is the editor's own to undo first.
    if (keyCode == 'Z' && shift == ShiftState::Ctrl && !(ActiveControl() && ActiveControl()->hasTypingToUndo())) {
        keyCode = 0;
        undoLastCommand();
        return;
    }
    if (keyCode == 'E' && shift == ShiftState::Ctrl) {
        keyCode = 0;
        exportShownList();
        return;
    }
    if (keyCode == 'P' && shift == ShiftState::Ctrl) {
        keyCode = 0;
        printShownList();
        return;
    }
    if (keyCode != KeyCode::Return)
        return;
    if (shift == ShiftState::Ctrl)
        ranWithoutError([&] {
            Desktop::current().message(QStringLiteral("维护"), Desktop::defaultTitle(), MessageIcon::None, MessageButtons::Ok);
        });
    else if (shift == ShiftState::Alt)
        ranWithoutError([&] { lookUpFocusedField(); });
    else
        ranWithoutError([&] { sendTab(); });
}

void frmManage::Form_KeyPress(int16_t &keyAscii)
{
    if (keyAscii == 13)
        keyAscii = 0;
}

void frmManage::Form_KeyUp(int16_t &keyCode, int16_t)
{
    if (keyCode == KeyCode::Return || keyCode == KeyCode::Menu) {
        QString text;
        QString selected;
        FrmItemSelect(text, selected);
    }
}

void frmManage::lookUpFocusedField()
{
    Control *active = ActiveControl();
    const std::optional<Editor> editor = active ? editorOf(*active) : std::nullopt;
    if (!editor || editor->kind == EditorKind::CheckBox)
        return;
    MyDataSearch = std::make_unique<frmDataSearch>();
    on(MyDataSearch.get(), &frmDataSearch::SelectSuccess, this, &frmManage::MyDataSearch_SelectSuccess);
    MyDataSearch->SearchCaption = QStringLiteral("请输入[") + editor->field + QStringLiteral("]的名称");
    MyDataSearch->SearchWidth = 3000;
    MyDataSearch->SearchHeight = 6000;
    MyDataSearch->SearchWorkMode = 0;
    MyDataSearch->SearchDataType = 1;
    // The field and table as the window knows them, quoted where they need it.
    MyDataSearch->SearchMainData = QStringLiteral("select ") + sqlName(editor->field) + QStringLiteral(" from ") + sqlName(mTableName);
    MyDataSearch->SearchQueryTerm = sqlName(editor->field);
    MyDataSearch->SearchQueryKey = QStringLiteral("0");
    MyDataSearch->ShowModal(this);
}

void frmManage::MyDataSearch_SelectSuccess(const QString &SelectText)
{
    // Every text begins with the empty text; a lookup confirmed without a choice loads nothing.
    if (SelectText.isEmpty())
        return;
    waitForWholeList(); // the first row holding the text, wherever it is
    const std::optional<ListItem> found = lvwAny->findItem(SelectText);
    if (!found)
        return;
    lvwAny->select(found->Index());
    lvwAny->ensureVisible(found->Index());
    lvwAny_ItemClick(*found);
}

} // namespace velmarith
