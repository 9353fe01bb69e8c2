// A value a column cannot hold as it is given is refused, with a message that names the field
// and what it could not hold, on every server whatever its mode (the MariaDB test server is not
// strict); nothing is cut, clamped, zeroed or stored as "?". SQLite holds any value and keeps it
// exactly as given.
#include <velmarith/DataBridge.h>

#include "support/RecordingFeedback.h"
#include "support/TempDatabase.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace velmarith;
using namespace Qt::StringLiterals;

namespace {

struct GivenValue {
    QString column;
    QString literal;  ///< as the statement writes it
    QString given;    ///< as SQLite keeps it
    QString postgres; ///< what a person is told; empty where the backend has no such column
    QString mariaDb;
};

const QString kTooLong = u"[姓名]的内容太长：最多只能有 10 个字符，没有保存！"_s;

std::vector<GivenValue> givenValues()
{
    const QString thirty = QString(30, u'长');
    const QString notADate = u"]不是有效的日期或时间，没有保存！"_s;
    return {
        {u"姓名"_s, u"'%1'"_s.arg(thirty), thirty, kTooLong, kTooLong},
        {u"姓名"_s, u"'abcdefghijk'"_s, u"abcdefghijk"_s, kTooLong, kTooLong},
        {u"工龄"_s, u"99999999999"_s, u"99999999999"_s, u"[工龄]的内容[99999999999]超出了能保存的范围，没有保存！"_s,
         u"[工龄]的内容[99999999999]超出了能保存的范围，没有保存！"_s},
        {u"工龄"_s, u"-99999999999"_s, u"-99999999999"_s, u"[工龄]的内容[-99999999999]超出了能保存的范围，没有保存！"_s,
         u"[工龄]的内容[-99999999999]超出了能保存的范围，没有保存！"_s},
        {u"年龄"_s, u"40000"_s, u"40000"_s, u"[年龄]的内容[40000]超出了能保存的范围，没有保存！"_s,
         u"[年龄]的内容[40000]超出了能保存的范围，没有保存！"_s},
        {u"工资"_s, u"12345.6"_s, u"12345.6"_s, u"[工资]的内容[12345.6]超出了能保存的范围，没有保存！"_s,
         u"[工资]的内容[12345.6]超出了能保存的范围，没有保存！"_s},
        {u"工龄"_s, u"'abc'"_s, u"abc"_s, u"[工龄]的内容[abc]不是有效的数字，没有保存！"_s, u"[工龄]的内容[abc]不是有效的数字，没有保存！"_s},
        {u"工龄"_s, u"'1,000'"_s, u"1,000"_s, u"[工龄]的内容[1,000]不是有效的数字，没有保存！"_s,
         u"[工龄]的内容[1,000]不能照原样保存，没有保存！"_s},
        {u"生日"_s, u"'2026-02-30'"_s, u"2026-02-30"_s, u"[生日]的内容[2026-02-30"_s + notADate, u"[生日]的内容[2026-02-30"_s + notADate},
        {u"生日"_s, u"'0000-00-00'"_s, u"0000-00-00"_s, u"[生日]的内容[0000-00-00"_s + notADate, u"[生日]的内容[0000-00-00"_s + notADate},
        {u"时间"_s, u"'2026-13-01 10:00'"_s, u"2026-13-01 10:00"_s, u"[时间]的内容[2026-13-01 10:00"_s + notADate,
         u"[时间]的内容[2026-13-01 10:00"_s + notADate},
        // Columns of a character set of their own, which only MariaDB has.
        {u"说明"_s, u"'中文'"_s, u"中文"_s, {}, u"[说明]的内容中的字符“中”无法保存（字符集 latin1 中没有这个字符），没有保存！"_s},
        {u"旧名"_s, u"'张𠀀'"_s, u"张𠀀"_s, {}, u"[旧名]的内容中的字符“𠀀”无法保存（字符集 utf8mb3 中没有这个字符），没有保存！"_s},
        {u"旧名"_s, u"'好😀'"_s, u"好😀"_s, {}, u"[旧名]的内容中的字符“😀”无法保存（字符集 utf8mb3 中没有这个字符），没有保存！"_s},
        {u"简称"_s, u"'中国😀'"_s, u"中国😀"_s, {}, u"[简称]的内容中的字符“😀”无法保存（字符集 gbk 中没有这个字符），没有保存！"_s},
    };
}

class ValuesAsGiven : public ::testing::TestWithParam<test::Backend>
{
protected:
    void SetUp() override
    {
        VELMARITH_SKIP_WITHOUT_SERVER(GetParam());
        const bool mariaDb = GetParam() == test::Backend::MariaDb;
        const QString ownSets = mariaDb ? u", 说明 varchar(10) character set latin1, 旧名 varchar(10) character set utf8mb3, "
                                          u"简称 varchar(10) character set gbk"_s
                                        : QString();
        db.exec({u"create table 职员 (编号 integer primary key, 姓名 varchar(10), 工龄 int, 年龄 smallint, 工资 decimal(5,2), "
                 u"生日 date, 时间 %1%2)"_s.arg(GetParam() == test::Backend::Postgres ? u"timestamp"_s : u"datetime"_s, ownSets),
                 u"insert into 职员 (编号, 姓名, 工龄, 年龄, 工资, 生日, 时间) values (1, '张三', 5, 30, 100.5, '2020-01-01', "
                 u"'2020-01-01 08:00:00')"_s});
    }
    [[nodiscard]] QString expected(const GivenValue &value) const
    {
        return GetParam() == test::Backend::Postgres ? value.postgres : value.mariaDb;
    }

    test::TempDatabase db{GetParam()};
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, ValuesAsGiven,
                         ::testing::Values(test::Backend::Sqlite, test::Backend::Postgres, test::Backend::MariaDb), test::backendName);

TEST_P(ValuesAsGiven, aValueItsColumnCannotHoldIsRefusedNamingTheFieldAndNothingIsChanged)
{
    const QString before = db.dump();
    DataBridge bridge;
    bridge.Open();
    for (const GivenValue &value : givenValues()) {
        if (GetParam() != test::Backend::MariaDb && value.postgres.isEmpty())
            continue;
        const QStringList statements{u"insert into 职员 (编号, %1) values (2, %2)"_s.arg(value.column, value.literal),
                                     u"update 职员 set %1 = %2 where 编号 = 1"_s.arg(value.column, value.literal)};
        for (const QString &statement : statements) {
            const std::string shown = statement.toStdString();
            test::RecordingFeedback feedback;
            const int16_t status = bridge.Execute(statement);
            if (GetParam() == test::Backend::Sqlite) {
                EXPECT_EQ(status, 0) << shown;
                const QString row = statement.startsWith(u"insert") ? u"2"_s : u"1"_s;
                EXPECT_EQ(db.column(u"select %1 from 职员 where 编号 = %2"_s.arg(value.column, row)), QStringList{value.given})
                    << shown;
                bridge.Execute(u"delete from 职员 where 编号 = 2"_s);
                continue;
            }
            EXPECT_NE(status, 0) << shown;
            ASSERT_EQ(feedback.messages.size(), 1u) << shown;
            EXPECT_EQ(feedback.messages[0].first, expected(value)) << shown;
            EXPECT_EQ(db.dump(), before) << shown;
        }
    }
}

TEST(ValuesAsGivenOnPostgres, aCharacterTheDatabasesEncodingLacksIsRefusedBeforeItIsSent)
{
    VELMARITH_SKIP_WITHOUT_SERVER(test::Backend::Postgres);
    const QString name = u"velmarith_euc_%1"_s.arg(QRandomGenerator::global()->bounded(1 << 30));
    DataBridge server;
    server.Open(test::serverUri(test::Backend::Postgres));
    ASSERT_EQ(server.Execute(u"create database %1 encoding 'EUC_CN' template template0 lc_collate 'C' lc_ctype 'C'"_s.arg(name)), 0);
    {
        const QString uri = test::serverUri(test::Backend::Postgres).replace(u":///postgres"_s, u":///"_s + name);
        DataBridge bridge;
        bridge.Open(uri);
        ASSERT_EQ(bridge.Execute(u"create table 职员 (编号 integer, 姓名 varchar(10))"_s), 0);
        EXPECT_EQ(bridge.Execute(u"insert into 职员 values (1, '中国')"_s), 0) << "GB2312 holds 中国";
        test::RecordingFeedback feedback;
        EXPECT_NE(bridge.Execute(u"insert into 职员 (编号, 姓名) values (2, '张𠀀')"_s), 0);
        EXPECT_NE(bridge.Execute(u"update 职员 set 姓名 = '😀' where 编号 = 1"_s), 0);
        // Without a column list the statement does not say which field; the server refuses it.
        EXPECT_NE(bridge.Execute(u"insert into 职员 values (3, '𠀀')"_s), 0);
        ASSERT_EQ(feedback.messages.size(), 3u);
        EXPECT_EQ(feedback.messages[0].first, u"[姓名]的内容中的字符“𠀀”无法保存（字符集 EUC_CN 中没有这个字符），没有保存！"_s);
        EXPECT_EQ(feedback.messages[1].first, u"[姓名]的内容中的字符“😀”无法保存（字符集 EUC_CN 中没有这个字符），没有保存！"_s);
        EXPECT_EQ(feedback.messages[2].first, u"内容中的字符“𠀀”无法保存（字符集 EUC_CN 中没有这个字符），没有保存！"_s);
        ResultRows rows;
        bridge.Query(u"select 姓名 from 职员"_s, &rows);
        ASSERT_EQ(rows.Count(), 1);
        EXPECT_EQ(rows.text(0, 0), u"中国");
    }
    server.Execute(u"drop database %1 with (force)"_s.arg(name));
}

TEST(ValuesAsGivenOnSqlite, aStrictTablesRefusalOfAValueNamesTheField)
{
    test::TempDatabase db;
    db.exec({u"create table 职员 (编号 integer, 工龄 integer, 备注 text) strict"_s});
    DataBridge bridge;
    bridge.Open();
    test::RecordingFeedback feedback;
    EXPECT_NE(bridge.Execute(u"insert into 职员 (编号, 工龄) values (1, 'abc')"_s), 0);
    EXPECT_EQ(bridge.Execute(u"insert into 职员 (编号, 工龄) values (2, '12')"_s), 0) << "text that is a number is taken";
    EXPECT_NE(bridge.Execute(u"update 职员 set 备注 = x'00' where 编号 = 2"_s), 0);
    ASSERT_EQ(feedback.messages.size(), 2u);
    EXPECT_EQ(feedback.messages[0].first, u"[工龄]的内容[abc]不是有效的数字，没有保存！"_s);
    EXPECT_EQ(feedback.messages[1].first, u"[备注]的内容[x'00']不能照原样保存，没有保存！"_s);
    EXPECT_EQ(db.column(u"select 工龄 || '/' || coalesce(备注, '') from 职员"_s), QStringList{u"12/"_s});
}
