#include <velmarith/FileNames.h>

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace velmarith;
using namespace Qt::StringLiterals;

TEST(FileNames, keepEveryByteAndShowTheUndecodableOnesEscaped)
{
    const QList<QByteArray> names{"plain.txt", "报表.txt", "caf\xE9.txt", "\xEF\xBB\xBF" "bom", "\xED\xA0\x80",
                                  "\xC0\xAF", "\xF4\x90\x80\x80", "trail\xE6\x8A", "\xF0\x90\x93\x93\xFF"};
    for (const QByteArray &name : names)
        EXPECT_EQ(encodeFileName(decodeFileName(name)), name) << name.toHex().toStdString();
    EXPECT_EQ(decodeFileName("报表.txt"), u"报表.txt");
    EXPECT_EQ(decodeFileName("\xEF\xBB\xBF" "bom"), u"\uFEFFbom") << "a leading BOM is part of the name";
    EXPECT_EQ(displayFileName(decodeFileName("caf\xE9.txt")), u"caf\\xE9.txt");
    EXPECT_EQ(displayFileName(decodeFileName("\xED\xA0\x80")), u"\\xED\\xA0\\x80") << "an encoded surrogate is no UTF-8";
    EXPECT_EQ(displayFileName(decodeFileName("trail\xE6\x8A")), u"trail\\xE6\\x8A");
    EXPECT_EQ(displayFileName(decodeFileName("\xF0\x90\x93\x93\xFF")), u"\U000104D3\\xFF")
        << "a character whose second half looks like an escape stays itself";
}
