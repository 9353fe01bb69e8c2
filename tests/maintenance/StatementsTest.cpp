#include "MaintenanceFixture.h"

#include "support/QtPrinting.h"

using namespace velmarith;
using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;

namespace {

class Statements : public test::MaintenanceTest
{
protected:
    // The example table: codes and names as text, a small-integer enumeration, a numeric flag.
    void SetUp() override
    {
        db.exec({u"create table T(编号 varchar(4), 名称 varchar(10), 性别 smallint, 在职 numeric(1))"_s});
        db.relation(u"T"_s, u"性别"_s, 3);
        db.entry(u"T"_s, u"性别"_s, u"1"_s, u"男"_s);
        db.entry(u"T"_s, u"性别"_s, u"2"_s, u"女"_s);
    }

    std::unique_ptr<frmManage> exampleForm()
    {
        auto form = start(u"T"_s);
        form->control(u"txt编号"_s)->setText(u"0012"_s);
        form->control(u"txt名称"_s)->setText(u"abc"_s);
        editor<ComboBox>(*form, u"cbo性别"_s)->setListIndex(0);
        editor<CheckBox>(*form, u"chk在职"_s)->setValue(1);
        return form;
    }

    static QString insertOf(frmManage &form)
    {
        QString sql, columns, values;
        form.FrmToInsert(form.mTableName, form.mFieldList, form.mTypeList, sql, columns, values);
        return sql;
    }
    static QString updateOf(frmManage &form)
    {
        QString sql;
        form.FrmToUpdata(form.mTableName, form.mFieldList, form.mTypeList, sql);
        return sql;
    }
};

} // namespace

TEST_F(Statements, quoteTextAndWriteNumbersAndFlagsAsNumbers)
{
    auto form = exampleForm();
    EXPECT_EQ(insertOf(*form), u"insert into T(编号,名称,性别,在职) values('0012','abc',1,1)");
    EXPECT_EQ(updateOf(*form), u"update T set 编号='0012',名称='abc',性别=1,在职=1");
    form->cmdAdd_Click();
    EXPECT_EQ(db.column(u"select 编号||'/'||名称||'/'||性别||'/'||在职 from T"_s), QStringList{u"0012/abc/1/1"_s});
}

TEST_F(Statements, passExtraColumnsAndHandTheListsBackWhenNoneAreGiven)
{
    db.exec({u"create table V(a varchar(5), b smallint, c integer)"_s});
    db.relation(u"V"_s, u"c"_s, 0);
    auto form = start(u"V"_s);
    form->control(u"txta"_s)->setText(u"x"_s);
    form->control(u"txtb"_s)->setText(u"1"_s);
    QString sql, columns = u"c"_s, values = u"9"_s;
    form->FrmToInsert(u"V"_s, form->mFieldList, form->mTypeList, sql, columns, values);
    EXPECT_EQ(sql, u"insert into V(a,b,c) values('x',1,9)");
    EXPECT_EQ(columns, u"c");
    columns.clear();
    values.clear();
    form->FrmToInsert(u"V"_s, form->mFieldList, form->mTypeList, sql, columns, values);
    EXPECT_EQ(sql, u"insert into V(a,b) values('x',1)");
    EXPECT_EQ(columns, u"a,b");
    EXPECT_EQ(values, u"'x',1");
}

TEST_F(Statements, leaveAnIntegerFirstFieldToTheDatabaseOnInsertOnly)
{
    db.exec({u"create table U(id integer primary key, a varchar(5))"_s});
    auto form = start(u"U"_s);
    form->control(u"txtid"_s)->setText(u"5"_s);
    form->control(u"txta"_s)->setText(u"x"_s);
    EXPECT_EQ(insertOf(*form), u"insert into U(a) values('x')");
    EXPECT_EQ(updateOf(*form), u"update U set id=5,a='x'");
}

TEST_F(Statements, keepNationalTextDatesAndLongTextAsText)
{
    db.exec({u"create table W(名 nvarchar(10), 日期 date, 说明 text, 标记 char(1))"_s});
    auto form = start(u"W"_s);
    form->control(u"txt名"_s)->setText(u"张三"_s);
    form->control(u"txt日期"_s)->setText(u"2024-05-01"_s);
    form->control(u"txt说明"_s)->setText(u"长"_s);
    editor<CheckBox>(*form, u"chk标记"_s)->setValue(1);
    EXPECT_EQ(insertOf(*form), u"insert into W(名,日期,说明,标记) values('张三','2024-05-01','长','1')");
    form->cmdAdd_Click();
    EXPECT_EQ(db.column(u"select 名||日期 from W"_s), QStringList{u"张三2024-05-01"_s});
}

TEST_F(Statements, readNumbersFromTextsAndKeyPartsWithoutLettingTextIntoTheStatement)
{
    auto form = exampleForm();
    form->control(u"txt编号"_s)->setText(u"O'Brien"_s);
    editor<ComboBox>(*form, u"cbo性别"_s)->setText(u"3(三)"_s);
    EXPECT_EQ(insertOf(*form), u"insert into T(编号,名称,性别,在职) values('O''Brien','abc',3,1)");
    editor<ComboBox>(*form, u"cbo性别"_s)->setText(u"0) or 1=1 --(x)"_s);
    EXPECT_EQ(updateOf(*form), u"update T set 编号='O''Brien',名称='abc',性别='0) or 1=1 --',在职=1");
    editor<ComboBox>(*form, u"cbo性别"_s)->setText(QString());
    EXPECT_EQ(insertOf(*form), u"insert into T(编号,名称,性别,在职) values('O''Brien','abc',,1)")
        << "an empty key part of a number is passed on for the database to refuse";

    db.exec({u"create table N(a varchar(5), n integer)"_s});
    auto numbers = start(u"N"_s);
    numbers->control(u"txta"_s)->setText(u"x"_s);
    numbers->control(u"txtn"_s)->setText(u"1,000"_s);
    EXPECT_EQ(insertOf(*numbers), u"insert into N(a,n) values('x',1)");
}
