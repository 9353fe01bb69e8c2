// What assistive technology reads from a form: names from labels and captions as spoken, a
// combo box whose entries can be chosen, and only the controls a person can see.
#include "toolkit/ComboBox.h"
#include "toolkit/CommandButton.h"
#include "toolkit/Form.h"
#include "toolkit/Image.h"
#include "toolkit/Label.h"
#include "toolkit/SpokenText.h"
#include "toolkit/TextBox.h"

#include "support/QtPrinting.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;

namespace {

class LabelledForm final : public Form
{
public:
    LabelledForm() : Form(u"frmLabelled"_s)
    {
        designClientSize(4000, 2000);
        addControl<Image>(u"imgDecoration"_s, {0, 0, 4000, 2000});
        label = &addControl<Label>(u"lab姓名"_s, {120, 120, 600, 180});
        label->setCaption(u"姓名(&N)："_s);
        combo = &addControl<ComboBox>(u"cbo姓名"_s, {900, 60, 1500, 300}, ComboBox::Style::DropDownList);
        combo->AddItem(u"甲"_s);
        combo->AddItem(QString());
        label->setBuddy(*combo);
        hidden = &addControl<TextBox>(u"txt隐藏"_s, {900, 600, 1500, 300});
        hidden->setVisible(false);
        addControl<CommandButton>(u"cmd确定"_s, {900, 1200, 1200, 330}).setCaption(u"确定(&Y)"_s);
    }

    Label *label;
    ComboBox *combo;
    TextBox *hidden;
};

QStringList childNames(QAccessibleInterface *parent)
{
    QStringList names;
    for (int i = 0; i < parent->childCount(); ++i)
        names.append(parent->child(i)->text(QAccessible::Name));
    return names;
}

} // namespace

TEST(Accessibility, captionsAreSpokenWithoutAccessKeysOrColons)
{
    EXPECT_EQ(spokenText(u"确定(&Y)"_s), u"确定");
    EXPECT_EQ(spokenText(u"姓名（&N）："_s), u"姓名");
    EXPECT_EQ(spokenText(u"&Open"_s), u"Open");
    EXPECT_EQ(spokenText(u"R&&D:"_s), u"R&D");
}

TEST(Accessibility, aComboBoxIsNamedByItsLabelAndItsEntriesCanBeChosen)
{
    LabelledForm form;
    QAccessibleInterface *combo = QAccessible::queryAccessibleInterface(form.combo->widget());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->text(QAccessible::Name), u"姓名");
    EXPECT_EQ(childNames(combo), (QStringList{u"甲"_s, spokenBlank()})) << "an empty entry still has a name";

    QSignalSpy clicks(form.combo, &ComboBox::Click);
    QAccessibleInterface *entry = combo->child(0);
    entry->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(form.combo->ListIndex(), 0);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(combo->text(QAccessible::Value), u"甲");
    EXPECT_TRUE(entry->state().selected);

    form.label->setCaption(u"客户"_s);
    EXPECT_EQ(combo->text(QAccessible::Name), u"客户") << "the name follows the label";
}

TEST(Accessibility, onlyTheControlsAPersonCanSeeAreExposed)
{
    LabelledForm form;
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(form.window());
    EXPECT_EQ(window->role(), QAccessible::Dialog);
    EXPECT_EQ(childNames(window), (QStringList{u"姓名(N)："_s, u"姓名"_s, u"确定"_s}))
        << "no decoration, no hidden text box; the label reads as shown";
    form.hidden->setVisible(true);
    EXPECT_EQ(window->childCount(), 4);
    EXPECT_EQ(window->indexOfChild(QAccessible::queryAccessibleInterface(form.hidden->widget())), 2);
}
