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
