#include "data/TypeCodes.h"

#include "support/TempDatabase.h"

#include <velmarith/DataBridge.h>

#include <gtest/gtest.h>

using namespace velmarith;

TEST(TypeCodes, everyDeclaredTypeGivesItsCodeAndSizeThroughQuery)
{
    struct Expected {
        const char *declaration;
        int32_t code;
        int32_t size;
    };
    const std::vector<Expected> table{
        {"char(8)", 129, 8},          {"CHARACTER(3)", 129, 3},     {"varchar(20)", 200, 20},
        {"nchar(4)", 130, 4},         {"nvarchar(30)", 202, 30},    {"text", 201, 2147483647},
        {"clob", 201, 2147483647},    {"varchar", 201, 2147483647}, {"smallint", 2, 2},
        {"int", 3, 4},                {"INTEGER", 3, 4},            {"bigint", 20, 8},
        {"decimal(12,2)", 131, 12},   {"numeric(10, 2)", 131, 10},  {"real", 131, 15},
        {"float", 131, 15},           {"double", 131, 15},          {"money", 6, 8},
        {"currency", 6, 8},           {"date", 135, 16},            {"time", 135, 16},
        {"datetime", 135, 16},        {"timestamp", 135, 16},       {"blob", 204, 2147483647},
        {"binary(16)", 204, 16},      {"varbinary(32)", 204, 32},   {"boolean", 129, 1},
        {"bool", 129, 1},             {"bit", 129, 1},
    };
    QStringList columns;
    for (size_t i = 0; i < table.size(); ++i)
        columns.append(QStringLiteral("c%1 %2").arg(i).arg(QString::fromLatin1(table[i].declaration)));
    test::TempDatabase db;
    db.exec({QStringLiteral("create table t(%1)").arg(columns.join(u','))});

    DataBridge bridge;
    bridge.Open();
    ResultRows rows;
    Collection names, codes, sizes;
    bridge.Query(QStringLiteral("select * from t"), &rows, &names, &codes, &sizes);
    ASSERT_EQ(codes.Count(), int(table.size()));
    for (size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(table[i].declaration);
        EXPECT_EQ(codes.Item(int(i) + 1).toString(), QString::number(table[i].code));
        EXPECT_EQ(codes.Item(QStringLiteral("C%1").arg(i)).toString(), QString::number(table[i].code)) << "keyed by name";
        EXPECT_EQ(sizes.Item(int(i) + 1).toString(), QString::number(table[i].size));
    }
}

TEST(TypeCodes, expressionColumnsTakeTheirCodeFromTheFirstValue)
{
    test::TempDatabase db;
    DataBridge bridge;
    bridge.Open();
    Collection codes, sizes;
    bridge.Query(QStringLiteral("select 1, 2.5, 'x', null"), nullptr, nullptr, &codes, &sizes);
    EXPECT_EQ(codes.Item(1).toString(), u"3");
    EXPECT_EQ(codes.Item(2).toString(), u"131");
    EXPECT_EQ(codes.Item(3).toString(), u"200");
    EXPECT_EQ(codes.Item(4).toString(), u"200");
    EXPECT_EQ(sizes.Item(1).toString(), u"255");

    bridge.Query(QStringLiteral("select 1 as n where 0"), nullptr, nullptr, &codes, nullptr);
    EXPECT_EQ(codes.Item(1).toString(), u"200") << "no row: text";
}

TEST(TypeCodes, unknownNamesFollowSqliteAffinity)
{
    EXPECT_EQ(columnTypeFromDeclaration(u"mediumint"), (ColumnType{3, 4}));
    EXPECT_EQ(columnTypeFromDeclaration(u"string"), (ColumnType{131, 18}));
    EXPECT_EQ(columnTypeFromDeclaration(u"native text"), (ColumnType{201, 2147483647}));
}
