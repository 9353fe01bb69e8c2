#include "MaintenanceFixture.h"

#include "maintenance/ItemPair.h"
#include "search/frmDataSearch.h"
#include "toolkit/ListView.h"

#include "support/QtPrinting.h"

using namespace velmarith;
using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;
using velmarith::testing::FormDriver;

namespace {

QStringList pairsOf(const frmManage::ItemList &items)
{
    QStringList pairs;
    for (int i = 1; items && i <= items->Count(); ++i) {
        const auto pair = items->Item(i).toObject();
        pairs.append(ItemPair::field(*pair) + u'=' + ItemPair::value(*pair));
    }
    return pairs;
}

// Staff with a unique code, a name, a short name, a flag and an enumerated post.
class MaintenanceKeys : public test::MaintenanceTest
{
protected:
    void SetUp() override
    {
        db.exec({u"create table T(编号 varchar(4), 名称 varchar(20), 简称 varchar(20), 在职 char(1), 职务 varchar(10))"_s,
                 u"insert into T values('0001','Ann','An','1','经理')"_s,
                 u"insert into T values('0002','Bob','Pat','0','职员')"_s,
                 u"insert into T values('0003','bea','Be','1','职员')"_s});
        db.relation(u"T"_s, u"编号"_s, 7);
        db.relation(u"T"_s, u"职务"_s, 3);
        db.entry(u"T"_s, u"职务"_s, u"经理"_s);
        db.entry(u"T"_s, u"职务"_s, u"职员"_s);
    }
    // Shows the window for T and runs `script` on it.
    std::unique_ptr<frmManage> showWith(const std::function<void(FormDriver &)> &script)
    {
        auto form = start(u"T"_s);
        desktop.expectModal(u"frmManage"_s, script);
        form->ShowModal();
        return form;
    }
};

} // namespace

TEST_F(MaintenanceKeys, enterMovesOnByTabIndexAndSelectsTheNextEditorsText)
{
    showWith([](FormDriver &user) {
        user.setText(u"txt编号"_s, u"0009"_s);
        const QStringList expected{u"txt名称"_s, u"txt简称"_s, u"chk在职"_s};
        const int16_t shifts[] = {0, 1, 3}; // Enter, Shift+Enter, Ctrl+Shift+Enter
        for (int i = 0; i < 3; ++i) {
            user.pressKey(13, shifts[i]);
            EXPECT_EQ(user.activeControl(), expected[i]) << "shift " << shifts[i];
        }
        EXPECT_EQ(user.text(u"txt编号"_s), u"0009") << "the Enter character never reaches the editor";
        user.setText(u"txt名称"_s, u"abc"_s);
        user.setText(u"txt简称"_s, u"xy"_s);
        user.focus(u"txt编号"_s);
        user.pressKey(13);
        EXPECT_EQ(qobject_cast<TextBox *>(&user.control(u"txt名称"_s))->SelText(), u"abc")
            << "on release the new editor's whole text is selected, so typing replaces it";
        user.focus(u"txt简称"_s);
        user.pressKey(18);
        EXPECT_EQ(qobject_cast<TextBox *>(&user.control(u"txt简称"_s))->SelText(), u"xy") << "and after Alt";
        user.pressKey(27);
    });
    EXPECT_TRUE(desktop.messages().empty()) << "Escape closes at once, without the change review";
}

TEST_F(MaintenanceKeys, ctrlEnterShowsTheMaintenanceMessage)
{
    desktop.answer(MessageAnswer::Ok);
    showWith([](FormDriver &user) {
        user.focus(u"txt名称"_s);
        user.pressKey(13, 2);
        EXPECT_EQ(user.activeControl(), u"txt名称");
    });
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages()[0].text, u"维护");
    EXPECT_EQ(desktop.messages()[0].icon, MessageIcon::None);
}

TEST_F(MaintenanceKeys, altEnterOnACheckBoxOrTheListOpensNothing)
{
    auto form = showWith([](FormDriver &user) {
        user.focus(u"chk在职"_s);
        user.pressKey(13, 4);
        user.focus(u"lvwAny"_s);
        user.pressKey(13, 4);
    });
    EXPECT_EQ(desktop.modals().size(), 1u);
    EXPECT_EQ(form->MyDataSearch, nullptr);
}

TEST_F(MaintenanceKeys, altEnterLooksUpTheFieldsValuesAndLoadsTheChosenRowAsAClickWould)
{
    auto form = start(u"T"_s);
    form->list().clickItem(3);
    const QStringList clickedSnap = pairsOf(form->mItemSnap);
    const QStringList clickedKey = pairsOf(form->mItemKey);
    form->FrmItemRest();
    form->mItemKey.reset();

    test::StatementLog log;
    desktop.expectModal(u"frmManage"_s, [](FormDriver &user) {
        user.focus(u"txt名称"_s);
        user.pressKey(13, 4);
    });
    desktop.expectModal(u"请输入[名称]的名称"_s, [&](FormDriver &user) {
        EXPECT_EQ(form->MyDataSearch->SearchMainData, u"select 名称 from T");
        EXPECT_EQ(form->MyDataSearch->SearchQueryTerm, u"名称");
        EXPECT_EQ(form->MyDataSearch->SearchQueryKey, u"0");
        EXPECT_EQ(form->MyDataSearch->Width(), 3000);
        EXPECT_EQ(form->MyDataSearch->Height(), 6000);
        user.setText(u"txtQuery"_s, u"B"_s);
        EXPECT_EQ(user.items(u"lvwQuery"_s), (QStringList{u"Bob"_s, u"bea"_s}));
        user.doubleClickItem(u"lvwQuery"_s, 2);
    });
    form->ShowModal();
    EXPECT_TRUE(log.statements().contains(u"select 名称 from T where 名称 like ('%B%')"_s));
    EXPECT_EQ(form->control(u"txt编号"_s)->Text(), u"0003") << "the prefix search ignores letter case";
    EXPECT_EQ(pairsOf(form->mItemSnap), clickedSnap);
    EXPECT_EQ(pairsOf(form->mItemKey), clickedKey);
    ASSERT_TRUE(form->list().SelectedItem());
    EXPECT_EQ(form->list().SelectedItem()->Index(), 3);
}

TEST_F(MaintenanceKeys, aValueHeldOnlyByAnotherColumnSelectsThatRowAndNothingSelectsNothing)
{
    auto form = start(u"T"_s);
    desktop.expectModal(u"frmManage"_s, [](FormDriver &user) {
        user.focus(u"txt简称"_s);
        user.pressKey(13, 4);
        user.pressKey(13, 4);
    });
    desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) {
        user.setText(u"txtQuery"_s, u"Pat"_s);
        user.doubleClickItem(u"lvwQuery"_s, 1);
    });
    desktop.expectModal(u"frmDataSearch"_s, [](FormDriver &user) { user.click(u"cmdOK"_s); });
    form->ShowModal();
    EXPECT_EQ(form->control(u"txt编号"_s)->Text(), u"0002") << "Pat is no 编号 but Bob's 简称";
    EXPECT_EQ(form->list().SelectedItem()->Index(), 2) << "an empty choice leaves the loaded row";
}
