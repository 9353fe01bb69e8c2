#pragma once

#include "search/PinyinReadings.h"

#include <QString>
#include <QStringView>

#include <bitset>
#include <string>

namespace velmarith::search {

/// Full-width ASCII (U+FF01–U+FF5E) and the ideographic space U+3000 in their half-width forms.
[[nodiscard]] QString foldWidth(QStringView text);

/// A lookup keyword read as pinyin. It matches a text when consecutive characters of the text
/// read as the keyword, each character by the initial or the whole syllable of any of its
/// readings, the last one also by the beginning of a syllable (jtbw, chongqing and jtbawang all
/// find 街头霸王); a Latin letter of the text stands for itself. Letter case and full width do
/// not matter. Only a keyword of at least two Latin letters is read as pinyin.
class PinyinKeyword
{
public:
    explicit PinyinKeyword(QStringView keyword);

    /// Whether the keyword is read as pinyin at all.
    [[nodiscard]] bool usable() const { return !mLetters.empty(); }
    [[nodiscard]] bool matches(QStringView text) const;
    /// Whether a reading of the keyword can begin at this character: most cannot, and a scan
    /// asks matchesFrom only where one can.
    [[nodiscard]] bool canBegin(char16_t character) const;
    /// Whether the characters of `text` from `start` on read as the keyword.
    [[nodiscard]] bool matchesFrom(QStringView text, qsizetype start) const;

private:
    std::string mLetters; ///< lower-case a–z; empty when the keyword is not pinyin
    const PinyinReadings &mReadings = PinyinReadings::table();
    std::bitset<0x10000> mBeginners; ///< canBegin of every UTF-16 code unit
};

} // namespace velmarith::search
