#include "maintenance/frmManage.h"

#include <velmarith/DataBridge.h>

#include "support/MaintenanceDb.h"
#include "support/ScriptedDesktop.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <array>
#include <memory>

using namespace velmarith;
using namespace Qt::StringLiterals;

namespace {

// Windows on the test cluster through the private pgbouncer in transaction mode, which has two
// server connections for them all.
class PooledWindows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (test::pgbouncerUri().isEmpty())
            GTEST_SKIP() << "no private pgbouncer: run the suite with ctest, which starts it";
        db.exec({u"create table T(编号 varchar(4) primary key, 名称 varchar(20))"_s, u"insert into T values('0001','甲')"_s});
        db.relation(u"T"_s, u"编号"_s, 7);
        for (auto &form : forms) {
            form = std::make_unique<frmManage>();
            form->ManageTable(u"T"_s);
        }
    }
    void TearDown() override { DataBridge::setBusyTimeout(5000); }

    static void add(frmManage &form, const QString &code)
    {
        form.control(u"txt编号"_s)->setText(code);
        form.control(u"txt名称"_s)->setText(u"名"_s + code);
        form.cmdAdd_Click();
    }

    test::ScriptedDesktop desktop;
    test::MaintenanceDb db{test::Backend::Postgres, test::Route::Pooler};
    std::array<std::unique_ptr<frmManage>, 3> forms;
};

TEST_F(PooledWindows, severalWindowsShareTwoServerConnectionsAndALockElsewhereEndsTheWaitInTime)
{
    for (int round = 0; round < 2; ++round) {
        for (size_t window = 0; window < forms.size(); ++window)
            add(*forms[window], u"%1%2"_s.arg(round + 1).arg(qulonglong(window), 3, 10, QChar(u'0')));
    }
    EXPECT_TRUE(desktop.messages().empty()) << desktop.messages().front().text.toStdString();
    EXPECT_EQ(db.column(u"select count(*) from T"_s), QStringList{u"7"_s});

    // Another program writes the table in a transaction it keeps open, beside the pooler.
    DataBridge holder;
    holder.Open(db.nativePath());
    ASSERT_EQ(holder.Execute(u"begin"_s), 0);
    ASSERT_EQ(holder.Execute(u"lock table T in exclusive mode"_s), 0);
    DataBridge::setBusyTimeout(1000);
    desktop.answer(MessageAnswer::Ok);
    QElapsedTimer clock;
    clock.start();
    add(*forms[0], u"3000"_s);
    EXPECT_LT(clock.elapsed(), 2000) << "the limit holds in each of the pooler's transactions";
    ASSERT_EQ(desktop.messages().size(), 1u);
    EXPECT_TRUE(desktop.messages().back().text.startsWith(u"数据库正被其他程序使用，这项修改没有完成："_s))
        << desktop.messages().back().text.toStdString();
    holder.Execute(u"rollback"_s);
    EXPECT_EQ(db.column(u"select count(*) from T"_s), QStringList{u"7"_s});
}

} // namespace
