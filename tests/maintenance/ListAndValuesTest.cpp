#include "MaintenanceFixture.h"

#include "maintenance/ItemPair.h"
#include "toolkit/ListView.h"

#include "support/QtPrinting.h"

#include <QFontMetrics>

using namespace velmarith;
using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;

namespace {

class ListAndValues : public test::MaintenanceTest
{
protected:
    void SetUp() override
    {
        db.exec({u"create table 部门表(部门编号 varchar(10), 部门名称 varchar(20))"_s,
                 u"insert into 部门表 values('D01','销售部')"_s, u"insert into 部门表 values('D02','财务部')"_s,
                 u"create table 员工(编号 varchar(4), 部门 varchar(10), 性别 varchar(2), 在职 char(1), 备注 text)"_s,
                 u"insert into 员工 values('0001','D01','1','1','甲')"_s,
                 u"insert into 员工 values('0002','D02','','0','乙')"_s});
        db.relation(u"员工"_s, u"部门"_s, 4, u"部门表"_s, u"部门编号"_s, u"部门名称"_s);
        db.relation(u"员工"_s, u"性别"_s, 3);
        db.entry(u"员工"_s, u"性别"_s, u"1"_s, u"男"_s);
        db.entry(u"员工"_s, u"性别"_s, u"2"_s, u"女"_s);
    }

    static QStringList pairs(const Collection &items)
    {
        QStringList texts;
        for (int i = 1; i <= items.Count(); ++i) {
            const auto pair = items.Item(i).toObject();
            texts.append(ItemPair::field(*pair) + u"="_s + ItemPair::value(*pair));
        }
        return texts;
    }
};

} // namespace

TEST_F(ListAndValues, listsBoundFieldsAsCodeWithDescriptionThroughAJoin)
{
    test::StatementLog log;
    auto form = start(u"员工"_s);
    EXPECT_TRUE(log.statements().contains(u"select a.编号,a.部门+'('+b.部门名称+')' as 部门,a.性别,a.在职,a.备注 "
                                          u"from 员工 a,部门表 b where a.部门=b.部门编号 order by 编号"_s));
    ASSERT_EQ(form->list().itemCount(), 2);
    EXPECT_EQ(form->list().item(1).SubItems(1), u"D01(销售部)");
    EXPECT_EQ(form->list().column(1).text, u"编号") << "without display rows each field is a column";
    const QFontMetrics metrics(form->list().widget()->font());
    EXPECT_GT(form->list().column(2).width, toolkit::toTwips(metrics.horizontalAdvance(u"D01(销售部)"_s)))
        << "a column without a display row is wide enough for a typical value";
    EXPECT_EQ(form->mTypeList.Item(u"在职"_s).toString(), u"129");
    EXPECT_EQ(form->mSizeList.Item(4).toString(), u"1");

    db.exec({u"create table 简单(编号 varchar(4), 名称 varchar(10))"_s});
    auto plain = start(u"简单"_s);
    EXPECT_TRUE(log.statements().contains(u"select a.编号,a.名称 from 简单 a order by 编号"_s)) << "no where part";
}

TEST_F(ListAndValues, headersComeFromDisplayRowsWithAStarOnTheFirstAndUnknownAlignmentsHidden)
{
    db.displayColumn(u"员工"_s, 1, u"编号"_s, u"员工编号"_s, u"Right"_s, u"700"_s);
    db.displayColumn(u"员工"_s, 2, u"部门"_s, u"所在部门"_s, u"middle"_s);
    db.displayColumn(u"员工"_s, 3, u"在职"_s, u"在职"_s, u"Center"_s);
    auto form = start(u"员工"_s);
    ASSERT_EQ(form->list().columnCount(), 3);
    EXPECT_EQ(form->list().column(1).text, u"员工编号*");
    EXPECT_EQ(form->list().column(1).alignment, Qt::AlignLeft) << "the first column keeps the default alignment";
    EXPECT_EQ(form->list().column(1).key, u"K1");
    EXPECT_EQ(form->list().column(1).width, 700) << "a display row's width is kept as given";
    EXPECT_TRUE(form->list().column(2).hidden);
    EXPECT_EQ(form->list().column(3).alignment, Qt::AlignHCenter);
    EXPECT_EQ(form->mFieldList.Count(), 3);

    form->list().clickItem(1);
    EXPECT_EQ(form->control(u"cbo部门"_s)->Text(), u"D01(销售部)");
    EXPECT_EQ(static_cast<CheckBox *>(form->control(u"chk在职"_s))->Value(), 1) << "the columns after the hidden one line up";
}

TEST_F(ListAndValues, aRowClickLoadsEveryEditorAndRenewsSnapshotAndKey)
{
    auto form = start(u"员工"_s);
    EXPECT_EQ(pairs(*form->mItemSnap), (QStringList{u"编号="_s, u"部门="_s, u"性别="_s, u"在职=0"_s}));
    EXPECT_EQ(form->mItemKey, nullptr);

    form->list().clickItem(1);
    auto *department = editor<ComboBox>(*form, u"cbo部门"_s);
    EXPECT_EQ(department->ListIndex(), 0) << "D01(销售部) selects the entry that contains it";
    EXPECT_EQ(editor<ComboBox>(*form, u"cbo性别"_s)->Text(), u"1(男)");
    EXPECT_EQ(editor<TextBox>(*form, u"txt编号"_s)->Text(), u"0001");
    EXPECT_EQ(pairs(*form->mItemSnap), (QStringList{u"编号=0001"_s, u"部门=D01(销售部)"_s, u"性别=1(男)"_s, u"在职=1"_s}));
    EXPECT_EQ(form->mItemKey, form->mItemSnap) << "without unique fields the whole row is the key";

    form->list().clickItem(2);
    EXPECT_EQ(editor<ComboBox>(*form, u"cbo性别"_s)->Text(), u"1(男)") << "an empty cell selects the first entry";
    EXPECT_EQ(editor<CheckBox>(*form, u"chk在职"_s)->Value(), 0);
}

TEST_F(ListAndValues, aValueFoundInNoEntryBecomesTheComboText)
{
    db.exec({u"insert into 员工 values('0003','D01','9','1','')"_s});
    auto form = start(u"员工"_s);
    form->list().clickItem(3);
    EXPECT_EQ(editor<ComboBox>(*form, u"cbo性别"_s)->Text(), u"9");
    EXPECT_EQ(editor<ComboBox>(*form, u"cbo性别"_s)->ListIndex(), -1);
}

TEST_F(ListAndValues, theKeyHoldsOnlyUniqueFieldsWhenThereAreSome)
{
    db.relation(u"员工"_s, u"编号"_s, 7);
    auto form = start(u"员工"_s);
    form->list().clickItem(2);
    EXPECT_EQ(pairs(*form->mItemKey), QStringList{u"编号=0002"_s});
    EXPECT_NE(form->mItemKey, form->mItemSnap);
    Collection lowerCase;
    form->FrmItemValue(lowerCase, u"all"_s);
    EXPECT_EQ(lowerCase.Count(), 0);
}

TEST_F(ListAndValues, eachFieldLoadsIntoItsOwnEditorEvenWhenItsNameEndsAnother)
{
    db.exec({u"create table 客户(客户名称 varchar(10), 名称 varchar(10), label1 varchar(5), matchkey varchar(5))"_s,
             u"insert into 客户 values('甲公司','甲','L','M')"_s});
    auto form = start(u"客户"_s);
    form->list().clickItem(1);
    EXPECT_EQ(editor<TextBox>(*form, u"txt客户名称"_s)->Text(), u"甲公司");
    EXPECT_EQ(editor<TextBox>(*form, u"txt名称"_s)->Text(), u"甲");
    EXPECT_EQ(editor<TextBox>(*form, u"txtlabel1"_s)->Text(), u"L");
    EXPECT_EQ(editor<TextBox>(*form, u"txtmatchkey"_s)->Text(), u"M");
    EXPECT_EQ(pairs(*form->mItemSnap),
              (QStringList{u"客户名称=甲公司"_s, u"名称=甲"_s, u"label1=L"_s, u"matchkey=M"_s}));
}

TEST_F(ListAndValues, resetClearsEveryEditorAndAnEmptyComboToNoSelection)
{
    db.exec({u"alter table 员工 add column 职务 varchar(10)"_s});
    db.relation(u"员工"_s, u"职务"_s, 3); // an enumeration without entries
    auto form = start(u"员工"_s);
    form->list().clickItem(1);
    editor<ComboBox>(*form, u"cbo职务"_s)->setText(u"x"_s);
    form->FrmItemRest();
    EXPECT_EQ(editor<TextBox>(*form, u"txt编号"_s)->Text(), u"");
    EXPECT_EQ(editor<ComboBox>(*form, u"cbo部门"_s)->Text(), u"D01(销售部)") << "a combo goes to its first entry";
    EXPECT_EQ(editor<CheckBox>(*form, u"chk在职"_s)->Value(), 0);
    EXPECT_EQ(editor<ComboBox>(*form, u"cbo职务"_s)->Text(), u"");
    EXPECT_EQ(editor<ComboBox>(*form, u"cbo职务"_s)->ListIndex(), -1);
}

TEST_F(ListAndValues, selectingOnEntrySelectsTheWholeTextOncePerEditor)
{
    auto form = start(u"员工"_s);
    form->list().clickItem(1);
    auto *code = editor<TextBox>(*form, u"txt编号"_s);
    code->SetFocus();
    QString text, selected;
    form->FrmItemSelect(text, selected);
    EXPECT_EQ(text, u"0001");
    EXPECT_EQ(selected, u"0001");
    EXPECT_EQ(code->SelLength(), 4);
    EXPECT_EQ(form->Tag(), u"txt编号");
    code->setSelLength(0);
    text.clear();
    form->FrmItemSelect(text, selected);
    EXPECT_EQ(code->SelLength(), 0) << "the second time nothing is selected";
    EXPECT_EQ(text, u"");

    editor<CheckBox>(*form, u"chk在职"_s)->SetFocus();
    text = u"kept"_s;
    form->FrmItemSelect(text, selected);
    EXPECT_EQ(text, u"kept") << "a check box has no text";
    EXPECT_EQ(form->Tag(), u"chk在职");
}

TEST_F(ListAndValues, aColumnClickSortsTheList)
{
    auto form = start(u"员工"_s);
    form->list().clickColumn(1);
    form->list().clickColumn(1);
    EXPECT_EQ(form->list().item(1).Text(), u"0002");
}
