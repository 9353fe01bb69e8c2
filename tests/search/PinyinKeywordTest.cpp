// A keyword read as pinyin: initials, syllables and their mix, every reading of a polyphone,
// and the same answers as a brute-force reading of every combination.
#include "search/PinyinKeyword.h"
#include "search/PinyinReadings.h"

#include "support/QtPrinting.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <functional>

using namespace velmarith::search;
using namespace Qt::StringLiterals;

namespace {

bool finds(const QString &keyword, const QString &text)
{
    return PinyinKeyword(keyword).matches(text);
}

// Every string a run of characters can be typed as: each character by the initial or the whole
// syllable of a reading, the last also by any beginning of one; a letter by itself.
bool bruteForce(const std::string &keyword, const QString &text)
{
    std::function<bool(qsizetype, const std::string &)> from = [&](qsizetype at, const std::string &typed) {
        if (typed.size() >= keyword.size() || at >= text.size())
            return false;
        const char16_t character = text[at].unicode();
        std::vector<std::string> whole;
        std::vector<std::string> last;
        if (character < 128 && std::isalpha(int(character))) {
            whole.push_back(std::string(1, char(std::tolower(int(character)))));
            last = whole;
        }
        for (const std::string_view reading : pinyinReadings(character)) {
            whole.emplace_back(reading.substr(0, 1));
            whole.emplace_back(reading);
            for (size_t length = 1; length <= reading.size(); ++length)
                last.emplace_back(reading.substr(0, length));
        }
        for (const std::string &piece : last) {
            if (typed + piece == keyword)
                return true;
        }
        for (const std::string &piece : whole) {
            if (keyword.compare(0, typed.size() + piece.size(), typed + piece) == 0 && from(at + 1, typed + piece))
                return true;
        }
        return false;
    };
    for (qsizetype start = 0; start < text.size(); ++start) {
        if (from(start, std::string()))
            return true;
    }
    return false;
}

} // namespace

TEST(PinyinKeyword, everyReadingOfAPolyphoneFindsItsWord)
{
    for (const QString &keyword : {u"cq"_s, u"zq"_s, u"chongqing"_s, u"zhongqing"_s, u"chongq"_s, u"CQ"_s})
        EXPECT_TRUE(finds(keyword, u"重庆"_s)) << keyword.toStdString();
    for (const QString &keyword : {u"yh"_s, u"yinhang"_s, u"yinxing"_s, u"yinh"_s})
        EXPECT_TRUE(finds(keyword, u"中国银行"_s)) << keyword.toStdString();
    for (const QString &keyword : {u"cc"_s, u"zc"_s, u"changcheng"_s})
        EXPECT_TRUE(finds(keyword, u"长城"_s)) << keyword.toStdString();
    for (const QString &keyword : {u"yy"_s, u"yl"_s, u"yinyue"_s, u"yinle"_s})
        EXPECT_TRUE(finds(keyword, u"音乐"_s)) << keyword.toStdString();
    for (const QString &keyword : {u"xing"_s, u"hang"_s, u"jtbw"_s, u"jtbawang"_s, u"jietoubaw"_s})
        EXPECT_TRUE(finds(keyword, u"街头霸王行"_s)) << keyword.toStdString();
    EXPECT_TRUE(finds(u"ｚｓ"_s, u"张三"_s)) << "full width folds";
    EXPECT_TRUE(finds(u"lv"_s, u"绿色"_s));
    EXPECT_TRUE(finds(u"ab"_s, u"AB1"_s)) << "a letter stands for itself";

    EXPECT_FALSE(finds(u"z"_s, u"张三"_s)) << "one letter is not pinyin";
    EXPECT_FALSE(finds(u"zs1"_s, u"张三"_s)) << "nor a keyword with a digit";
    EXPECT_FALSE(finds(u"zhs"_s, u"张三"_s)) << "zh is neither the initial z nor the syllable zhang";
    EXPECT_FALSE(finds(u"zs"_s, u"张 三"_s)) << "a space ends the run";
    EXPECT_FALSE(finds(u"qc"_s, u"重庆"_s)) << "in order";
    EXPECT_FALSE(finds(u"xyh"_s, u"中国银行"_s));
}

TEST(PinyinKeyword, findsExactlyWhatEveryCombinationOfReadingsWouldRead)
{
    const QString pool = u"重庆银行长城音乐街头霸王张三中国和了乐a B"_s;
    QRandomGenerator random(20261209);
    int found = 0;
    for (int round = 0; round < 3000; ++round) {
        QString text;
        for (int i = random.bounded(1, 6); i > 0; --i)
            text += pool[random.bounded(pool.size())];
        std::string keyword;
        // Half the keywords are typed from the text's own readings, so that many match.
        for (const QChar character : text.mid(random.bounded(text.size()))) {
            const auto readings = pinyinReadings(character.unicode());
            if (readings.empty() || keyword.size() > 10)
                break;
            const std::string_view reading = readings[size_t(random.bounded(int(readings.size())))];
            keyword += random.bounded(2) ? std::string(reading) : std::string(reading.substr(0, 1));
        }
        if (random.bounded(2) || keyword.size() < 2)
            for (int i = random.bounded(2, 6); i > 0; --i)
                keyword += char('a' + random.bounded(26));
        const bool expected = bruteForce(keyword, text);
        found += expected;
        ASSERT_EQ(finds(QString::fromStdString(keyword), text), expected) << keyword << " in " << text.toStdString();
    }
    EXPECT_GT(found, 300) << "the test must try matching keywords too";
}

TEST(PinyinKeyword, foldsFullWidthAndTheIdeographicSpace)
{
    EXPECT_EQ(foldWidth(u"ＡＢ１　ａ！～"_s), u"AB1 a!~");
    EXPECT_EQ(foldWidth(u"财务部"_s), u"财务部");
}
