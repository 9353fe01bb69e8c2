#include "MaintenanceFixture.h"

#include "DemoDatabase.h"

#include "toolkit/ListView.h"

#include "support/Errors.h"
#include "support/QtPrinting.h"

#include <velmarith/WinMagnge.h>

#include <QHeaderView>
#include <QStyle>
#include <QTableView>

using namespace velmarith;
using namespace Qt::StringLiterals;
using velmarith::test::errorNumberOf;

namespace {

class MaintenanceStartup : public test::MaintenanceOnEachBackend
{
protected:
    void SetUp() override
    {
        MaintenanceOnEachBackend::SetUp();
        if (!IsSkipped())
            db.exec({u"create table t(a varchar(10))"_s});
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, MaintenanceStartup, ::testing::Values(test::Backend::Sqlite, test::Backend::Postgres, test::Backend::MariaDb),
                         test::backendName);

TEST_P(MaintenanceStartup, withoutAWindowRowKeepsTheDesignSizesAndLaysOutTwoColumns)
{
    auto form = start(u"t"_s);
    EXPECT_EQ(form->ScaleWidth(), 8010);
    EXPECT_EQ(form->mFormWidth, 8010 + toolkit::Form::kFrameWidth);
    EXPECT_EQ(form->list().Width(), form->mFormWidth - 510);
    EXPECT_EQ(form->list().Height(), 2700);
    EXPECT_EQ(form->mItemTop, 2700 + 570);
    const int half = (form->mFormWidth - 510) / 2;
    EXPECT_EQ(form->mLeftX, u"330");
    EXPECT_EQ(form->mRightX, QString::number(330 + half));
    EXPECT_EQ(form->mItemWidth, half - 1500);
}

TEST_P(MaintenanceStartup, takesWidthAndListHeightFromTheWindowRowRoundingHalvesToEven)
{
    db.exec({u"create table u(a varchar(10))"_s, u"create table v(a varchar(10))"_s});
    db.window(u"t"_s, u"8000.5"_s, u"0"_s);
    db.window(u"u"_s, u"8001.5"_s, u""_s);
    db.window(u"v"_s, u"9000"_s, u"3000abc"_s);
    auto t = start(u"t"_s);
    EXPECT_EQ(t->mFormWidth, 8000);
    EXPECT_EQ(t->Width(), 8000);
    EXPECT_EQ(t->list().Width(), 7490);
    EXPECT_EQ(t->list().Height(), 2700) << "列表高度 0 keeps the design height";
    EXPECT_EQ(start(u"u"_s)->mFormWidth, 8002);
    auto v = start(u"v"_s);
    EXPECT_EQ(v->list().Height(), 3000);
    EXPECT_EQ(v->mItemTop, 3570);
}

TEST_P(MaintenanceStartup, everyWindowStyleGetsTheTwoColumnLayout)
{
    db.window(u"t"_s, u"9000"_s, u"0"_s, u"2"_s);
    auto form = start(u"t"_s);
    EXPECT_EQ(form->mFormStyle, 2);
    EXPECT_EQ(form->mLeftX, u"330");
    EXPECT_EQ(form->mItemWidth, (9000 - 510) / 2 - 1500);
    EXPECT_EQ(form->control(u"txta"_s)->Left(), 1530);
}

TEST_P(MaintenanceStartup, offersTheButtonsByWorkModeAndCaptionsTheWindowByTable)
{
    auto enabled = [](frmManage &form) {
        QStringList names;
        for (const QString &name : {u"cmdAdd"_s, u"cmdDelete"_s, u"cmdEdit"_s, u"cmdCancel"_s}) {
            if (form.control(name)->Enabled())
                names.append(name);
        }
        return names;
    };
    EXPECT_EQ(enabled(*start(u"t"_s, u"Edit"_s)), (QStringList{u"cmdEdit"_s, u"cmdCancel"_s}));
    EXPECT_EQ(enabled(*start(u"t"_s, u"edit"_s)).size(), 4);
    EXPECT_EQ(enabled(*start(u"t"_s)).size(), 4);
    EXPECT_EQ(start(u"t"_s)->Caption(), u"t维护");
}

TEST_P(MaintenanceStartup, warnsWhenTheWindowIsAsTallAsTheScreen)
{
    const int height = start(u"t"_s)->Height();
    desktop.setScreenSize(28800, height + 1);
    (void)start(u"t"_s);
    EXPECT_TRUE(desktop.messages().empty());

    desktop.setScreenSize(28800, height);
    desktop.answer(MessageAnswer::Ok);
    (void)start(u"t"_s);
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_EQ(desktop.messages()[0].text,
              u"    请注意！即将打开的窗口将会超出了您显示器屏幕的可视范围，这\r\n可能是因为您所要维护的表中项目过多所致。\r\n"
              u"    一般这类表是由专门的程序进行维护的，这种程序可以把界面做得\r\n更加美观和方便。\r\n"
              u"    您可以通过按下[ESC]键，退出这个超出范围的窗口！"_s);
    EXPECT_EQ(desktop.messages()[0].title, u"提示");
    EXPECT_EQ(desktop.messages()[0].icon, MessageIcon::Information);
}

TEST_P(MaintenanceStartup, aSizeBeyondSixteenBitsEndsTheStartupBeforeTheWindowIsShown)
{
    db.window(u"t"_s, u"9000"_s, u"32767"_s);
    WinMagnge maintenance;
    try {
        maintenance.ManageTable(u"t"_s);
        ADD_FAILURE() << "the start-up went through";
    } catch (const Error &error) {
        EXPECT_EQ(error.number(), ErrorNumber::Overflow);
    }
    EXPECT_TRUE(desktop.modals().empty());
}

TEST_P(MaintenanceStartup, winMagngeKeepsItsPropertiesAndShowsANewWindowEachCall)
{
    WinMagnge maintenance;
    maintenance.setMagngeFormat(3);
    maintenance.setMagngeTablName(u"别的"_s);
    maintenance.setmDataSql(u"select 1"_s);
    maintenance.setMagngeMode(u"Edit"_s);
    EXPECT_EQ(maintenance.MagngeFormat(), 3);
    EXPECT_EQ(maintenance.property("MagngeTablName").toString(), u"别的");
    EXPECT_EQ(maintenance.mDataSql(), u"select 1");

    desktop.expectModal(u"frmManage"_s, [](velmarith::testing::FormDriver &user) {
        EXPECT_EQ(user.caption(), u"t维护");
        EXPECT_FALSE(user.isEnabled(u"cmdAdd"_s));
        EXPECT_FALSE(user.exists(u"txtb"_s));
        user.close();
    });
    maintenance.ManageTable(u"t"_s, 7);
    db.exec({u"alter table t add column b varchar(5)"_s});
    desktop.expectModal(u"frmManage"_s, [](velmarith::testing::FormDriver &user) { EXPECT_TRUE(user.exists(u"txtb"_s)); });
    maintenance.ManageTable(u"t"_s);
    EXPECT_EQ(desktop.modals().size(), 2u) << "each call builds a new window from the current metadata";
}

TEST_P(MaintenanceStartup, quotesInTheTableNameStayInsideTheirLiterals)
{
    test::StatementLog log;
    EXPECT_NE(errorNumberOf([&] { (void)start(u"it's"_s); }), 0) << "there is no such table to list";
    ASSERT_FALSE(log.entries.empty());
    EXPECT_EQ(log.entries[0].statement, u"select * from 系统窗体表 where 窗体名称='frmManage' and 识别码='it''s' ");
    EXPECT_TRUE(log.entries[0].succeeded);
    EXPECT_TRUE(log.entries[1].succeeded);
}

TEST_P(MaintenanceStartup, theDemoListShowsEveryColumnBesideAVerticalScrollBar)
{
    app::ensureDemoDatabase(db.folder() + u"/demo.sqlite"_s);
    DataBridge::setDefaultDatabase(db.folder() + u"/demo.sqlite"_s);
    auto form = start(u"员工"_s);
    const auto *view = qobject_cast<const QTableView *>(form->list().widget());
    ASSERT_TRUE(view);
    const int room = view->width() - 2 * view->frameWidth() - view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    EXPECT_LE(view->horizontalHeader()->length(), room) << "the columns need " << view->horizontalHeader()->length() << " pixels";
}

TEST_P(MaintenanceStartup, runsTheMetadataStatementsInTheirOrderOnTheDemoTable)
{
    app::ensureDemoDatabase(db.folder() + u"/demo.sqlite"_s);
    DataBridge::setDefaultDatabase(db.folder() + u"/demo.sqlite"_s);
    test::StatementLog log;
    (void)start(u"员工"_s);

    const QStringList fields{u"编号"_s, u"姓名"_s, u"简称"_s, u"部门"_s, u"性别"_s, u"职务"_s,
                             u"在职"_s, u"国籍"_s, u"内部码"_s, u"入职日期"_s, u"工资"_s, u"备注"_s};
    QStringList expected{
        u"select * from 系统窗体表 where 窗体名称='frmManage' and 识别码='员工' "_s,
        u"select * from 系统显示项目表 where 窗体名称='frmManage' and 显示区域名称='lvwAny' and 识别码='员工' "
        u"and 是否显示='1' order by 显示顺序"_s,
    };
    for (const QString &field : fields)
        expected.append(u"select * from 系统约束关联表 where 表名='员工' and 项目='%1' and 关联类型='4'"_s.arg(field));
    expected.append(u"select a.编号,a.姓名,a.简称,a.部门+'('+b.部门名称+')' as 部门,a.性别,a.职务,a.在职,a.国籍,"
                    u"a.内部码,a.入职日期,a.工资,a.备注 from 员工 a,部门表 b where a.部门=b.部门编号 order by 编号"_s);
    const QStringList selects{u"select 关联类型 "_s,           u"select 关联表名,关联项目,关联说明 "_s,
                              u"select 关联类型 "_s,           u"select 关联项目,关联说明,关联表名 "_s,
                              u"select 关联表名,关联项目,关联说明 "_s, u"select 关联表名,关联项目,关联说明 "_s,
                              u"select 关联表名,关联项目,关联说明 "_s, u"select 关联类型 "_s,
                              u"select 关联类型 "_s};
    for (const QString &field : fields.mid(0, fields.size() - 1)) {
        expected.append(u"select 0 from 系统约束关联表"_s);
        for (int type = 0; type <= 8; ++type) {
            expected.append(selects[type] + u"from 系统约束关联表 where 关联类型='%1' and 表名='员工' and 项目='%2'"_s.arg(type).arg(field));
            if (type == 3 && (field == u"性别" || field == u"职务"))
                expected.append(u"select 内容,说明 from 系统数据字典表 where 表名='员工' and 项目='%1'"_s.arg(field));
            if (type == 4 && field == u"部门")
                expected.append(u"select 部门编号,部门名称 from 部门表"_s);
        }
    }
    EXPECT_EQ(log.statements(), expected);
}
