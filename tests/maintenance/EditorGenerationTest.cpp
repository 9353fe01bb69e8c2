#include "MaintenanceFixture.h"

#include "toolkit/Label.h"

#include "support/QtPrinting.h"

using namespace velmarith;
using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;

namespace {

class EditorGeneration : public test::MaintenanceTest
{
};

QStringList entries(const ComboBox &combo)
{
    QStringList list;
    for (int i = 0; i < combo.ListCount(); ++i)
        list.append(combo.List(i));
    return list;
}

} // namespace

TEST_F(EditorGeneration, theHighestRelationTypeDecidesTheEditorAndEveryTypeItsWord)
{
    db.exec({u"create table 部门表(部门编号 varchar(10), 部门名称 varchar(20))"_s,
             u"insert into 部门表 values('D01','销售部')"_s, u"insert into 部门表 values('D02','财务部')"_s,
             u"create table t(编号 varchar(4), 绑定非空 varchar(10), 预设 varchar(10), 预设唯一 varchar(10), "
             u"编码 varchar(4), 复制 varchar(10), 译形 varchar(10), 枚举 varchar(10), 绑定 varchar(10), "
             u"隐藏 varchar(10), 隐藏唯一 varchar(10))"_s});
    db.relation(u"t"_s, u"绑定非空"_s, 4, u"部门表"_s, u"部门编号"_s, u"部门名称"_s);
    db.relation(u"t"_s, u"绑定非空"_s, 8);
    db.relation(u"t"_s, u"预设"_s, 1, {}, u"0001"_s);
    db.relation(u"t"_s, u"预设唯一"_s, 1, {}, u"0001"_s);
    db.relation(u"t"_s, u"预设唯一"_s, 7);
    for (int type : {2, 7, 8})
        db.relation(u"t"_s, u"编码"_s, type);
    db.relation(u"t"_s, u"复制"_s, 5, {}, u"编号"_s);
    db.relation(u"t"_s, u"译形"_s, 6, {}, u"拼音"_s);
    db.relation(u"t"_s, u"枚举"_s, 3);
    db.entry(u"t"_s, u"枚举"_s, u"1"_s, u"男"_s);
    db.entry(u"t"_s, u"枚举"_s, u"2"_s);
    db.relation(u"t"_s, u"绑定"_s, 4, u"部门表"_s, u"部门编号"_s, u"部门名称"_s);
    db.relation(u"t"_s, u"隐藏"_s, 0);
    db.relation(u"t"_s, u"隐藏唯一"_s, 0);
    db.relation(u"t"_s, u"隐藏唯一"_s, 7);
    auto form = start(u"t"_s);

    auto *boundRequired = editor<TextBox>(*form, u"txt绑定非空"_s);
    ASSERT_NE(boundRequired, nullptr) << "4 and 8: the higher type makes a text box";
    EXPECT_EQ(boundRequired->ToolTipText(), u"绑定/非空");
    auto *preset = editor<TextBox>(*form, u"txt预设"_s);
    ASSERT_NE(preset, nullptr);
    EXPECT_EQ(preset->Text(), u"0001");
    EXPECT_EQ(preset->ToolTipText(), u"");
    auto *presetUnique = editor<TextBox>(*form, u"txt预设唯一"_s);
    EXPECT_EQ(presetUnique->ToolTipText(), u"0001/唯一");
    EXPECT_EQ(presetUnique->Text(), u"");
    EXPECT_EQ(editor<TextBox>(*form, u"txt编码"_s)->ToolTipText(), u"自增/唯一/非空");
    EXPECT_EQ(editor<TextBox>(*form, u"txt复制"_s)->ToolTipText(), u"等同到[编号]");
    EXPECT_EQ(editor<TextBox>(*form, u"txt译形"_s)->ToolTipText(), u"译形到[拼音]");
    auto *enumeration = editor<ComboBox>(*form, u"cbo枚举"_s);
    ASSERT_NE(enumeration, nullptr);
    EXPECT_EQ(enumeration->ToolTipText(), u"枚举");
    EXPECT_EQ(entries(*enumeration), (QStringList{u"1(男)"_s, u"2"_s}));
    EXPECT_EQ(enumeration->style(), ComboBox::Style::DropDownCombo);
    auto *bound = editor<ComboBox>(*form, u"cbo绑定"_s);
    ASSERT_NE(bound, nullptr);
    EXPECT_EQ(entries(*bound), (QStringList{u"D01(销售部)"_s, u"D02(财务部)"_s}));
    EXPECT_EQ(form->control(u"lab隐藏"_s), nullptr);
    EXPECT_EQ(form->control(u"txt隐藏"_s), nullptr);
    EXPECT_TRUE(form->control(u"txt隐藏唯一"_s)->Visible()) << "a higher type shows a hidden field";
    EXPECT_EQ(form->mItemWidth, form->control(u"txt编号"_s)->Width());
    EXPECT_EQ(form->control(u"cbo绑定"_s)->Width(), form->mItemWidth);
}

TEST_F(EditorGeneration, fieldsWithoutRelationsGetTheirEditorFromTypeSizeAndPosition)
{
    db.exec({u"create table t(标志 char(1), 状态 char(1), 代码 varchar(1), 数量 integer, 在用 boolean, 日期 date, "
             u"客户联系电话号码 varchar(20), 六个字的字段 varchar(5))"_s});
    auto form = start(u"t"_s);
    EXPECT_NE(editor<TextBox>(*form, u"txt标志"_s), nullptr) << "char(1) in first place";
    auto *flag = editor<CheckBox>(*form, u"chk状态"_s);
    ASSERT_NE(flag, nullptr) << "char(1) elsewhere";
    EXPECT_EQ(flag->Caption(), u"是√/否□");
    EXPECT_EQ(flag->ToolTipText(), u"");
    EXPECT_NE(editor<TextBox>(*form, u"txt代码"_s), nullptr) << "varchar(1)";
    EXPECT_EQ(editor<TextBox>(*form, u"txt数量"_s)->ToolTipText(), u"数量") << "a type's text box carries the field name";
    EXPECT_NE(editor<CheckBox>(*form, u"chk在用"_s), nullptr);
    EXPECT_NE(editor<TextBox>(*form, u"txt日期"_s), nullptr);
    EXPECT_EQ(static_cast<Label *>(form->control(u"lab客户联系电话号码"_s))->Caption(), u"客户联系电…");
    EXPECT_EQ(static_cast<Label *>(form->control(u"lab六个字的字段"_s))->Caption(), u"六个字的字段");
}

TEST_F(EditorGeneration, anUnsupportedTypeIsReportedAndTheNextFieldTakesItsPlace)
{
    db.exec({u"create table t(编号 varchar(4), 大数 bigint, 名称 varchar(10))"_s});
    desktop.answer(MessageAnswer::Ok);
    auto form = start(u"t"_s);
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages()[0].text,
              u"系统发现您的数据库中有一个目前还不支持的数据类型它的编号为[20]请联系软件开发者，以便加入程序以获得后续支持！谢谢");
    EXPECT_EQ(desktop.messages()[0].title, u"提示");
    EXPECT_FALSE(form->control(u"lab大数"_s)->Visible());
    EXPECT_EQ(form->control(u"txt大数"_s), nullptr);
    EXPECT_EQ(form->control(u"txt名称"_s)->TabIndex(), 2);
    EXPECT_EQ(form->control(u"txt名称"_s)->Left(), QString(form->mRightX).toInt() + 1200);
}
