#include "data/SqlDialect.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace velmarith;

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
