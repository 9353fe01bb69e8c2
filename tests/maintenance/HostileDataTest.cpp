// Values, names and database states that a hostile or faulty world brings: each case checks
// that nothing is lost or misread, with the database compared whole before and after.
#include "MaintenanceFixture.h"

#include <velmarith/SqlText.h>

#include "toolkit/CommandButton.h"
#include "toolkit/ListView.h"

#include <QScopeGuard>

#include "support/Errors.h"
#include "support/QtPrinting.h"

using namespace velmarith;
using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;
using velmarith::test::errorMessageOf;
using velmarith::test::errorNumberOf;

namespace {

class HostileData : public test::MaintenanceTest
{
protected:
    QString lastMessage() const { return desktop.messages().empty() ? QString() : desktop.messages().back().text; }
    QString onlyValue(const QString &query) const
    {
        const QStringList values = db.column(query);
        return values.size() == 1 ? values.first() : u"<%1 rows>"_s.arg(values.size());
    }
    static void press(frmManage &form, const QString &button) { form.controlAs<CommandButton>(button).click(); }
};

} // namespace

TEST_F(HostileData, editorsTakeValuesLongerThanALineEditsDefaultLimit)
{
    db.exec({u"create table L(编号 varchar(4), 内容 text, 备用 varchar(10))"_s,
             u"insert into L values('0001','%1','a')"_s.arg(QString(40000, u'长'))});
    db.relation(u"L"_s, u"编号"_s, 7);
    auto form = start(u"L"_s);
    form->control(u"txt编号"_s)->setText(u"0002"_s);
    form->control(u"txt内容"_s)->setText(QString(100000, u'x'));
    form->cmdAdd_Click();
    EXPECT_EQ(onlyValue(u"select length(内容) from L where 编号='0002'"_s), u"100000");

    form->list().clickItem(1);
    EXPECT_EQ(form->control(u"txt内容"_s)->Text().size(), 40000);
    form->control(u"txt备用"_s)->setText(u"b"_s);
    form->cmdEdit_Click();
    EXPECT_EQ(onlyValue(u"select length(内容) || 备用 from L where 编号='0001'"_s), u"40000b")
        << "editing another field writes the long value back whole";
}

TEST_F(HostileData, aLeadingByteOrderMarkIsKeptSoAnEditChangesOnlyItsOwnRow)
{
    const QString marked = QChar(0xFEFF) + u"0001"_s;
    db.exec({u"create table B(编号 varchar(10), 名称 varchar(10))"_s,
             u"insert into B values(%1,'marked')"_s.arg(sqlString(marked)), u"insert into B values('0001','plain')"_s});
    db.relation(u"B"_s, u"编号"_s, 7);
    auto form = start(u"B"_s);
    ASSERT_EQ(form->list().itemCount(), 2);
    EXPECT_EQ(form->list().item(2).Text(), marked) << "listed exactly as stored";
    form->list().clickItem(2);
    form->control(u"txt名称"_s)->setText(u"changed"_s);
    form->cmdEdit_Click();
    EXPECT_EQ(db.column(u"select 名称 from B order by 编号"_s), (QStringList{u"plain"_s, u"changed"_s}));
}

TEST_F(HostileData, aNumberBeyondADoubleIsRefusedWithAMessageAndNothingIsSent)
{
    db.exec({u"create table N(编号 varchar(4), 工资 numeric(10,2))"_s});
    auto form = start(u"N"_s);
    const QString before = db.dump();
    for (const QString &huge : {u"1e999"_s, u"-1e999"_s, u"1"_s + QString(309, u'0') + u"e-0"_s}) {
        form->control(u"txt编号"_s)->setText(u"0001"_s);
        form->control(u"txt工资"_s)->setText(huge);
        test::StatementLog log;
        desktop.answer(MessageAnswer::Ok);
        form->cmdAdd_Click();
        EXPECT_EQ(lastMessage(), u"[工资]的内容[%1]超出了数值的范围！"_s.arg(huge));
        EXPECT_FALSE(log.statements().join(u'\n').contains(u"insert")) << huge.toStdString();
        EXPECT_EQ(form->ActiveControl(), form->control(u"txt工资"_s));
    }
    EXPECT_EQ(db.dump(), before);
    EXPECT_EQ(errorNumberOf([&] {
                  QString statement, columns, values;
                  form->FrmToInsert(u"N"_s, form->mFieldList, form->mTypeList, statement, columns, values);
              }),
              ErrorNumber::Overflow)
        << "the statement builder itself never writes inf";

    form->control(u"txt工资"_s)->setText(u"0."_s + QString(323, u'0') + u"1"_s);
    form->cmdAdd_Click();
    EXPECT_EQ(onlyValue(u"select 工资 from N"_s), u"0") << "a tiny number is zero, not an overflow";
}

TEST_F(HostileData, namesThatAreNotPlainIdentifiersAreQuotedAndCannotWidenADelete)
{
    db.exec({u"create table \"W as a --\"(编号 varchar(4), \"select\" varchar(10), \"a\"\"b\" varchar(10))"_s,
             u"insert into \"W as a --\" values('0001','x','y')"_s, u"insert into \"W as a --\" values('0002','x','y')"_s,
             u"create table W(编号 varchar(4))"_s, u"insert into W values('0001')"_s, u"insert into W values('0002')"_s});
    db.relation(u"W as a --"_s, u"编号"_s, 7);
    auto form = start(u"W as a --"_s);
    EXPECT_EQ(form->list().itemCount(), 2);
    form->control(u"txt编号"_s)->setText(u"0003"_s);
    form->control(u"txtselect"_s)->setText(u"s"_s);
    form->control(u"txta\"b"_s)->setText(u"q"_s);
    test::StatementLog log;
    form->cmdAdd_Click();
    EXPECT_TRUE(log.statements().contains(u"insert into \"W as a --\"(编号,\"select\",\"a\"\"b\") values('0003','s','q')"_s));

    form->list().clickItem(1);
    desktop.answer(MessageAnswer::Yes);
    form->cmdDelete_Click();
    EXPECT_EQ(db.column(u"select 编号 from \"W as a --\" order by 1"_s), (QStringList{u"0002"_s, u"0003"_s}));
    EXPECT_EQ(db.column(u"select 编号 from W order by 1"_s), (QStringList{u"0001"_s, u"0002"_s}));

    const QString before = db.dump();
    EXPECT_TRUE(errorMessageOf([&] { start(u"V as a --"_s); }).contains(u"no such table: V as a --"))
        << "a name that names no table fails before the window opens";
    EXPECT_EQ(db.dump(), before);
}

TEST_F(HostileData, aLockedDatabaseSaysSoInChineseAndWritesNothing)
{
    db.exec({u"create table T(编号 varchar(4), 名称 varchar(10))"_s, u"insert into T values('0001','a')"_s});
    auto form = start(u"T"_s);
    DataBridge::setBusyTimeout(100);
    const auto restore = qScopeGuard([] { DataBridge::setBusyTimeout(5000); });
    DataBridge otherProgram;
    otherProgram.Open();
    ASSERT_EQ(otherProgram.Execute(u"begin immediate"_s), 0);
    const QString before = db.dump();

    form->control(u"txt编号"_s)->setText(u"0002"_s);
    desktop.answer(MessageAnswer::Ok);
    press(*form, u"cmdAdd"_s);
    EXPECT_EQ(lastMessage(), u"数据库正被其他程序使用，这项修改没有完成：database is locked");

    ASSERT_EQ(otherProgram.Execute(u"commit"_s), 0);
    ASSERT_EQ(otherProgram.Execute(u"begin exclusive"_s), 0);
    ASSERT_EQ(otherProgram.Execute(u"update T set 名称='a'"_s), 0);
    desktop.answer(MessageAnswer::Ok);
    press(*form, u"cmdAdd"_s);
    EXPECT_EQ(lastMessage(), u"数据库正被其他程序使用，这项修改没有完成：database is locked")
        << "a lock met while opening is the same message, not a runtime error";
    EXPECT_EQ(desktop.messages().back().title, u"提示");
    EXPECT_EQ(desktop.messages().back().icon, MessageIcon::Information);
    ASSERT_EQ(otherProgram.Execute(u"rollback"_s), 0);
    EXPECT_EQ(db.dump(), before);
}

TEST_F(HostileData, aReadOnlyDatabaseSaysItCannotBeWritten)
{
    db.exec({u"create table T(编号 varchar(4), 名称 varchar(10))"_s, u"insert into T values('0001','a')"_s});
    auto form = start(u"T"_s);
    const QString before = db.dump();
    DataBridge::setDefaultDatabase(u"file:%1?mode=ro"_s.arg(db.path()));
    form->control(u"txt编号"_s)->setText(u"0002"_s);
    desktop.answer(MessageAnswer::Ok);
    form->cmdAdd_Click();
    EXPECT_EQ(lastMessage(), u"数据库不能写入：attempt to write a readonly database");
    EXPECT_EQ(db.dump(), before);
}
