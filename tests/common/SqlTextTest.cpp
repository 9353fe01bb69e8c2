#include <velmarith/SqlText.h>

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace velmarith;
using namespace Qt::StringLiterals;

TEST(SqlName, leavesPlainAndQuotedNamesAndQuotesEveryOther)
{
    for (const QString &plain : {u"名称"_s, u"T"_s, u"部门表"_s, u"_x1"_s, u"a_b"_s})
        EXPECT_EQ(sqlName(plain), plain);
    for (const QString &quoted : {u"\"my table\""_s, u"[my table]"_s, u"`my table`"_s, u"\"a\"\"b\""_s})
        EXPECT_EQ(sqlName(quoted), quoted) << "a name the host quoted whole stays as it is";
    EXPECT_EQ(sqlName(u"W as a --"_s), u"\"W as a --\"");
    EXPECT_EQ(sqlName(u"select"_s), u"\"select\"") << "a keyword, in any letter case";
    EXPECT_EQ(sqlName(u"Order"_s), u"\"Order\"");
    EXPECT_EQ(sqlName(u"a\"b"_s), u"\"a\"\"b\"");
    EXPECT_EQ(sqlName(u"\"a\"b\""_s), u"\"\"\"a\"\"b\"\"\"") << "not quoted as a whole";
    EXPECT_EQ(sqlName(u"1abc"_s), u"\"1abc\"");
    EXPECT_EQ(sqlName(u"[a]b]"_s), u"\"[a]b]\"");
}
