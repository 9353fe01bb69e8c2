// A query read a part at a time gives the rows and columns Query gives; a statement the database
// refuses, at once or after some rows, raises its error and leaves the connection ready for the
// next one.
#include "data/StreamedQuery.h"

#include <velmarith/DataBridge.h>
#include <velmarith/Error.h>

#include "support/TempDatabase.h"

#include <gtest/gtest.h>

using namespace velmarith;
using namespace Qt::StringLiterals;

namespace {

QStringList firstColumn(const ResultRows &rows)
{
    QStringList values;
    for (int row = 0; row < rows.Count(); ++row)
        values.append(rows.text(row, 0));
    return values;
}

class StreamedQueryOnEachBackend : public ::testing::TestWithParam<test::Backend>
{
protected:
    void SetUp() override
    {
        VELMARITH_SKIP_WITHOUT_SERVER(GetParam());
        QStringList digits{u"create table 位(d integer)"_s};
        for (int digit = 0; digit < 10; ++digit)
            digits.append(u"insert into 位 values(%1)"_s.arg(digit));
        db.exec(digits);
    }

    test::TempDatabase db{GetParam()};
    // 1,000 numbers, 0 to 999, in order.
    const QString numbers = u"select a.d * 100 + b.d * 10 + c.d as n, 'x' as 字 from 位 a, 位 b, 位 c order by n"_s;
};

TEST_P(StreamedQueryOnEachBackend, givesInPartsWhatQueryGivesWhole)
{
    DataBridge bridge;
    bridge.Open();
    ResultRows whole;
    Collection names, codes, sizes;
    bridge.Query(numbers, &whole, &names, &codes, &sizes);

    detail::StreamedQuery query(bridge, numbers);
    Collection streamedNames, streamedCodes, streamedSizes;
    query.describe(&streamedNames, &streamedCodes, &streamedSizes);
    EXPECT_EQ(streamedNames.Count(), 2);
    EXPECT_EQ(streamedNames.Item(2).toString(), names.Item(2).toString());
    EXPECT_EQ(streamedCodes.Item(1).toString(), codes.Item(1).toString());
    EXPECT_EQ(streamedSizes.Item(2).toString(), sizes.Item(2).toString());
    // An ODBC driver hands its result over whole.
    const bool atOnce = test::testRoute() == test::Route::Odbc;
    QStringList streamed;
    int parts = 0;
    while (!query.atEnd()) {
        const ResultRows part = query.next(300);
        EXPECT_LE(part.Count(), atOnce ? 1000 : 300);
        streamed += firstColumn(part);
        ++parts;
    }
    EXPECT_EQ(parts, atOnce ? 1 : 4);
    EXPECT_EQ(streamed, firstColumn(whole));
    EXPECT_EQ(query.next(300).Count(), 0);
}

TEST_P(StreamedQueryOnEachBackend, aRefusedStatementRaisesItsErrorOnceTracedAndTheConnectionServesOn)
{
    // Each database refuses a row of its own kind halfway: SQLite the absolute value of the
    // smallest integer, the servers a subquery of two rows where one value is wanted. A missing
    // table is refused before any row, once the statement is sent or when its columns are asked.
    const QString refusedAt500 = GetParam() == test::Backend::Sqlite
        ? u"select case when n = 500 then abs(-9223372036854775807 - 1) else n end from (%1) t"_s.arg(numbers)
        : u"select case when n = 500 then (select 1 union select 2) else n end from (%1) t"_s.arg(numbers);
    DataBridge bridge;
    bridge.Open();
    for (const QString &statement : {u"select n from 无此表"_s, refusedAt500}) {
        std::vector<StatementTrace> traced;
        auto previous = DataBridge::setStatementTrace([&](const StatementTrace &trace) {
            if (trace.statement == statement)
                traced.push_back(trace);
        });
        int rowsBeforeTheError = 0;
        std::optional<QString> refusal;
        try {
            detail::StreamedQuery query(bridge, statement);
            query.describe(nullptr, nullptr, nullptr);
            while (!query.atEnd())
                rowsBeforeTheError += query.next(10).Count();
        } catch (const Error &error) {
            refusal = error.message();
        }
        DataBridge::setStatementTrace(std::move(previous));
        ASSERT_TRUE(refusal) << "read " << rowsBeforeTheError << " rows without an error";
        EXPECT_TRUE(refusal->startsWith(u"数据库拒绝了这项操作：")) << refusal->toStdString();
        EXPECT_LE(rowsBeforeTheError, 500);
        ASSERT_EQ(traced.size(), 1u);
        EXPECT_FALSE(traced.front().succeeded);
        EXPECT_FALSE(traced.front().errorMessage.isEmpty());
        QString value;
        bridge.QueryValue(u"select count(*) from 位"_s, value);
        EXPECT_EQ(value, u"10"_s);
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, StreamedQueryOnEachBackend,
                         ::testing::Values(test::Backend::Sqlite, test::Backend::Postgres, test::Backend::MariaDb), test::backendName);

} // namespace
