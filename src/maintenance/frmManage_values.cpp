#include "maintenance/frmManage.h"

#include "maintenance/Editors.h"
#include "maintenance/ItemPair.h"
#include "toolkit/CheckBox.h"
#include "toolkit/ComboBox.h"
#include "toolkit/TextBox.h"

#include <velmarith/Error.h>

namespace velmarith {

using namespace toolkit;

std::vector<Editor> frmManage::editors()
{
    std::vector<Editor> found;
    for (Control *control : Controls()) {
        if (std::optional<Editor> editor = editorOf(*control))
            found.push_back(*editor);
    }
    return found;
}

bool frmManage::keepsUnshownValue(const Editor &editor) const
{
    const auto unshown = mUnshownValues.find(editor.field);
    return editor.kind == EditorKind::CheckBox && unshown != mUnshownValues.end() &&
           (static_cast<const CheckBox &>(*editor.control).Value() == 1) == unshown->second.ticked;
}

QString frmManage::editorValue(const Editor &editor) const
{
    if (editor.kind != EditorKind::CheckBox)
        return editor.control->Text();
    if (keepsUnshownValue(editor))
        return mUnshownValues.at(editor.field).stored;
    return QString::number(static_cast<const CheckBox &>(*editor.control).Value());
}

frmManage::ItemList frmManage::snapshot(const QString &ItemType)
{
    auto items = std::make_shared<Collection>();
    FrmItemValue(*items, ItemType);
    return items;
}

int16_t frmManage::FrmItemRest()
{
    mUnshownValues.clear();
    for (const Editor &editor : editors()) {
        switch (editor.kind) {
        case EditorKind::TextBox:
            editor.control->setText(QString());
            break;
        case EditorKind::ComboBox: {
            // The first entry, as the window always did; an empty list has none, so the combo
            // is left with no selection and an empty text.
            auto &combo = static_cast<ComboBox &>(*editor.control);
            combo.setListIndex(combo.ListCount() > 0 ? 0 : -1);
            break;
        }
        case EditorKind::CheckBox:
            static_cast<CheckBox &>(*editor.control).setValue(0);
            break;
        }
    }
    return 0;
}

int16_t frmManage::FrmItemValue(Collection &ItemProperty, const QString &ItemType)
{
    const bool all = ItemType == u"All";
    const bool uniqueOnly = ItemType == u"Only";
    for (const Editor &editor : editors()) {
        const bool wanted = all || (uniqueOnly && editor.control->ToolTipText().contains(u"唯一"));
        if (wanted)
            ItemProperty.Add(ItemPair::make(editor.field, editorValue(editor)));
    }
    return 0;
}

int16_t frmManage::FrmItemSelect(QString &AnyText, QString &AnySelText)
{
    Control *active = ActiveControl();
    if (!active || active->Name() == Tag())
        return 0;
    // Each step may fail on a control without text (a check box, the list); the others still run.
    auto attempt = [](auto &&step) {
        try {
            step();
        } catch (const Error &) {
        }
    };
    if (auto *box = qobject_cast<TextBox *>(active)) {
        box->setSelStart(0);
        box->setSelLength(int(box->Text().size()));
        AnySelText = box->SelText();
    } else if (auto *combo = qobject_cast<ComboBox *>(active)) {
        attempt([&] {
            combo->setSelStart(0);
            combo->setSelLength(int(combo->Text().size()));
            AnySelText = combo->SelText();
        });
    }
    attempt([&] { AnyText = active->Text(); });
    setTag(active->Name());
    return 0;
}

} // namespace velmarith
