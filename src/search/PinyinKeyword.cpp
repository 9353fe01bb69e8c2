#include "search/PinyinKeyword.h"

#include "search/PinyinReadings.h"
#include "search/PinyinTable.h"

#include <cstdint>

namespace velmarith::search {
namespace {

// Longer keywords are not pinyin anyone types; the reached positions fit one machine word.
constexpr size_t kLongestKeyword = 63;

char16_t foldedCharacter(char16_t character)
{
    if (character >= 0xFF01 && character <= 0xFF5E)
        return char16_t(character - 0xFF01 + 0x21);
    return character == 0x3000 ? u' ' : character;
}

char lowerAsciiLetter(char16_t character)
{
    if (character >= u'A' && character <= u'Z')
        return char(character - u'A' + 'a');
    return character >= u'a' && character <= u'z' ? char(character) : '\0';
}

// A keyword's u also finds the ü that pinyin is typed as v.
bool sameLetter(char typed, char reading)
{
    return typed == reading || (typed == 'u' && reading == 'v');
}

} // namespace

QString foldWidth(QStringView text)
{
    QString folded(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        folded[i] = QChar(foldedCharacter(text[i].unicode()));
    return folded;
}

PinyinKeyword::PinyinKeyword(QStringView keyword)
{
    if (keyword.size() < 2 || size_t(keyword.size()) > kLongestKeyword)
        return;
    for (const QChar character : keyword) {
        const char letter = lowerAsciiLetter(foldedCharacter(character.unicode()));
        if (!letter) {
            mLetters.clear();
            return;
        }
        mLetters.push_back(letter);
    }
    // A typed u also stands for the ü written v, though no syllable begins with it.
    const char first = mLetters.front();
    const uint32_t firstLetters = uint32_t(1) << (first - 'a') | (first == 'u' ? uint32_t(1) << ('v' - 'a') : 0);
    for (char16_t ideograph = pinyin_table::kFirst; ideograph <= pinyin_table::kLast; ++ideograph)
        mBeginners[ideograph] = (mReadings.initials(ideograph) & firstLetters) != 0;
    // The letter itself, in either case and either width.
    for (const char16_t letter : {char16_t(first), char16_t(first - 'a' + 'A')}) {
        mBeginners[letter] = true;
        mBeginners[letter - 0x21 + 0xFF01] = true;
    }
}

bool PinyinKeyword::matches(QStringView text) const
{
    if (!usable())
        return false;
    for (qsizetype start = 0; start < text.size(); ++start) {
        if (canBegin(text[start].unicode()) && matchesFrom(text, start))
            return true;
    }
    return false;
}

bool PinyinKeyword::canBegin(char16_t character) const
{
    return mBeginners[character];
}

bool PinyinKeyword::matchesFrom(QStringView text, qsizetype start) const
{
    const size_t length = mLetters.size();
    uint64_t reached = 1; // bit p: the first p letters of the keyword are read
    for (qsizetype i = start; i < text.size() && reached; ++i) {
        const char16_t character = foldedCharacter(text[i].unicode());
        uint64_t next = 0;
        for (size_t p = 0; p < length; ++p) {
            if (!(reached >> p & 1))
                continue;
            if (const char letter = lowerAsciiLetter(character)) {
                if (letter == mLetters[p]) {
                    if (p + 1 == length)
                        return true;
                    next |= uint64_t(1) << (p + 1);
                }
                continue;
            }
            const std::span<const uint16_t> syllables = mReadings.of(character);
            if (syllables.empty())
                return false; // neither an ideograph nor a letter: the run ends here
            for (const uint16_t index : syllables) {
                const std::string_view syllable = PinyinReadings::syllable(index);
                size_t common = 0;
                while (common < syllable.size() && p + common < length && sameLetter(mLetters[p + common], syllable[common]))
                    ++common;
                if (common == 0)
                    continue;
                if (p + common == length)
                    return true; // the keyword ends at or inside this syllable
                next |= uint64_t(1) << (p + 1); // the initial
                if (common == syllable.size())
                    next |= uint64_t(1) << (p + common); // the whole syllable
            }
        }
        reached = next;
    }
    return false;
}

} // namespace velmarith::search
