#include "data/AssignedValues.h"
#include "data/CatalogText.h"
#include "data/SqlDialect.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace velmarith;
using namespace velmarith::detail;

TEST(SqlDialect, turnsPlusNextToAStringLiteralIntoConcatenation)
{
    EXPECT_EQ(rewriteConcatenation(QStringLiteral("select a.编号,a.部门+'('+b.部门名称+')' as 部门 from 员工 a")),
              u"select a.编号,a.部门||'('||b.部门名称||')' as 部门 from 员工 a");
    EXPECT_EQ(rewriteConcatenation(QStringLiteral("select x + /* note */ 'y'")), u"select x || /* note */ 'y'");
}

TEST(SqlDialect, leavesArithmeticLiteralsIdentifiersAndCommentsAlone)
{
    const QStringList untouched{
        QStringLiteral("select a+b from t"),
        QStringLiteral("select 1 + 2"),
        QStringLiteral("select 'a+b' from t"),
        QStringLiteral("select 'it''s + ok' from t"),
        QStringLiteral("select \"a+'\" + 1 from t"),
        QStringLiteral("select [x+'y] + 1 from t"),
        QStringLiteral("select `x+'` + 1 from t"),
        QStringLiteral("select x -- + 'y'\n + 1"),
        QStringLiteral("select x /* + 'y' */ + 1"),
    };
    for (const QString &statement : untouched)
        EXPECT_EQ(rewriteConcatenation(statement), statement);
}

TEST(SqlDialect, seesTheLiteralAfterADoubledQuote)
{
    EXPECT_EQ(rewriteConcatenation(QStringLiteral("select 'O''Brien'+x")), u"select 'O''Brien'||x");
}

TEST(SqlDialect, rewritesOnlyAPlusBetweenTwoOperands)
{
    EXPECT_EQ(rewriteConcatenation(QStringLiteral("select +'5'")), u"select +'5'") << "a unary plus stays";
    EXPECT_EQ(rewriteConcatenation(QStringLiteral("select x from t where y = +'5' or + '6'")),
              u"select x from t where y = +'5' or + '6'");
    EXPECT_EQ(rewriteConcatenation(QStringLiteral("select (a)+'b'")), u"select (a)||'b'");
    EXPECT_EQ(rewriteConcatenation(QStringLiteral("select case when x then 'a' end + 'b'")),
              u"select case when x then 'a' end || 'b'");
    EXPECT_EQ(rewriteConcatenation(QStringLiteral("select 'a' + + 'b'")), u"select 'a' + + 'b'");
    EXPECT_EQ(rewriteConcatenation(QStringLiteral("select a.\"my name\"+'('")), u"select a.\"my name\"||'('");
    const QString once = rewriteConcatenation(QStringLiteral("select a+'('+b+')', +'x' from t"));
    EXPECT_EQ(once, u"select a||'('||b||')', +'x' from t");
    EXPECT_EQ(rewriteConcatenation(once), once) << "rewriting is idempotent";
}

TEST(SqlDialect, writesConcatenationAsACallWhereBarsMeanOr)
{
    EXPECT_EQ(rewriteConcatenationAsCall(QStringLiteral("select a.编号,a.部门+'('+b.部门名称+')' as 部门 from 员工 a")),
              u"select a.编号,CONCAT(a.部门, '(', b.部门名称, ')') as 部门 from 员工 a");
    EXPECT_EQ(rewriteConcatenationAsCall(QStringLiteral("select trim(x) + '-' + (y + 1), 'a' + (b + 'c') from t")),
              u"select CONCAT(trim(x), '-', (y + 1)), CONCAT('a', (CONCAT(b, 'c'))) from t");
    EXPECT_EQ(rewriteConcatenationAsCall(QStringLiteral("select case when x then 'a' end + 'b' where c = 'O''B' + d")),
              u"select CONCAT(case when x then 'a' end, 'b') where c = CONCAT('O''B', d)");
    EXPECT_EQ(rewriteConcatenationAsCall(QStringLiteral("select 'a' + (b ;")), u"select CONCAT('a', (b) ;")
        << "an operand left open keeps the final semicolon outside the call";
    for (const QString &untouched : {QStringLiteral("select a+b from t"), QStringLiteral("select +'5'"),
                                     QStringLiteral("select 'a+b', x -- + 'y'\n + 1")})
        EXPECT_EQ(rewriteConcatenationAsCall(untouched), untouched);
}

TEST(SqlDialect, findsASecondStatementOnlyOutsideLiteralsNamesAndComments)
{
    EXPECT_TRUE(isSingleStatement(QStringLiteral("select 1")));
    EXPECT_TRUE(isSingleStatement(QStringLiteral("select 1; ; -- done\n")));
    EXPECT_TRUE(isSingleStatement(QStringLiteral("select ';drop table t' from \"a;b\" /* ; x */")));
    EXPECT_FALSE(isSingleStatement(QStringLiteral("select 1; drop table t")));
    EXPECT_FALSE(isSingleStatement(QStringLiteral("select 'x';/**/delete from t")));
}

TEST(AssignedValues, tellWhichColumnEachValueOfAnInsertOrUpdateGoesTo)
{
    const QString insert = QStringLiteral("insert into s.\"T\"\"x\"(编号, \"名 称\") values ('a,b', coalesce(1, -2)), (-5, 'it''s')");
    const std::optional<Assignments> inserted = assignmentsOf(insert);
    ASSERT_TRUE(inserted);
    EXPECT_EQ(inserted->table, u"T\"x");
    EXPECT_EQ(inserted->tableAsWritten, u"s.\"T\"\"x\"");
    ASSERT_EQ(inserted->values.size(), 4u);
    const std::vector<std::pair<QString, QString>> expected{
        {QStringLiteral("编号"), QStringLiteral("a,b")}, {QStringLiteral("名 称"), QStringLiteral("coalesce(1, -2)")},
        {QStringLiteral("编号"), QStringLiteral("-5")}, {QStringLiteral("名 称"), QStringLiteral("it's")}};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(inserted->values[i].column, expected[i].first);
        EXPECT_EQ(inserted->values[i].value, expected[i].second);
    }
    EXPECT_TRUE(inserted->values[0].quoted);
    EXPECT_FALSE(inserted->values[1].quoted);
    EXPECT_EQ(insert.mid(inserted->values[1].begin, inserted->values[1].end - inserted->values[1].begin), u"coalesce(1, -2)");

    const std::optional<Assignments> updated = assignmentsOf(QStringLiteral("UPDATE T SET a='x where y', b = 2 WHERE a = 'z'"));
    ASSERT_TRUE(updated);
    ASSERT_EQ(updated->values.size(), 2u);
    EXPECT_EQ(updated->values[0].value, u"x where y");
    EXPECT_EQ(updated->values[1].column, u"b");
    EXPECT_EQ(updated->values[1].value, u"2");

    for (const QString &other : {QStringLiteral("insert into T values (1)"), QStringLiteral("select 1"),
                                 QStringLiteral("insert into T(a, b) values (1)"), QStringLiteral("delete from T")})
        EXPECT_FALSE(assignmentsOf(other)) << other.toStdString();
}

TEST(CatalogText, readsDefaultsValueListsAndChecksAsTheCatalogsWriteThem)
{
    EXPECT_EQ(textLiteral(QStringLiteral("'中国'")), u"中国");
    EXPECT_EQ(textLiteral(QStringLiteral("('it''s')")), u"it's") << "SQLite keeps the brackets of a default";
    EXPECT_EQ(textLiteral(QStringLiteral("'023-'::character varying")), u"023-") << "PostgreSQL's cast";
    for (const QString &other : {QStringLiteral("0"), QStringLiteral("NULL"), QStringLiteral("current_timestamp"),
                                 QStringLiteral("'a' || 'b'"), QStringLiteral("nextval('s'::regclass)"), QString()})
        EXPECT_FALSE(textLiteral(other)) << other.toStdString();

    const auto grade = valueListOf(QStringLiteral("`等级` in ('A','B','C')"));
    ASSERT_TRUE(grade);
    EXPECT_EQ(grade->first, u"等级");
    EXPECT_EQ(grade->second, (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    EXPECT_TRUE(valueListOf(QStringLiteral("(\"x\" IN ('1'))")));
    for (const QString &other : {QStringLiteral("a in (1, 2)"), QStringLiteral("a in ('1') and b > 0"), QStringLiteral("a > 'x'"),
                                 QStringLiteral("a in (select b from t)")})
        EXPECT_FALSE(valueListOf(other)) << other.toStdString();

    EXPECT_EQ(checksIn(QStringLiteral("create table t(a text check (a in ('x', 'y(z)')), b int, check (b > (1)), c text "
                                      "default 'check (no)')")),
              (QStringList{QStringLiteral("a in ('x', 'y(z)')"), QStringLiteral("b > (1)")}));
    EXPECT_EQ(literalsIn(QStringLiteral("enum('甲','乙''丙')")), (QStringList{QStringLiteral("甲"), QStringLiteral("乙'丙")}));
}
