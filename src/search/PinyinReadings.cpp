#include "search/PinyinReadings.h"

#include "search/PinyinTable.h"

namespace velmarith::search {
namespace {

using namespace pinyin_table;

size_t number(std::string_view digits)
{
    size_t value = 0;
    for (const char digit : digits)
        value = value * kDigits.size() + kDigits.find(digit);
    return value;
}

} // namespace

const PinyinReadings &PinyinReadings::table()
{
    static const PinyinReadings readings;
    return readings;
}

PinyinReadings::PinyinReadings()
{
    constexpr size_t kFirstDigits = 2, kCharacterDigits = 3, kFurtherDigits = 5;
    const size_t characters = size_t(kLast - kFirst) + 1;
    size_t further = 0;
    mStarts.reserve(characters + 1);
    for (size_t at = 0; at < characters; ++at) {
        mStarts.push_back(uint32_t(mSyllables.size()));
        const size_t first = number(kFirstReadings.substr(at * kFirstDigits, kFirstDigits));
        if (first == kSyllableCount)
            continue;
        mSyllables.push_back(uint16_t(first));
        for (; further < kFurtherReadings.size(); further += kFurtherDigits) {
            const std::string_view entry = kFurtherReadings.substr(further, kFurtherDigits);
            if (number(entry.substr(0, kCharacterDigits)) != at)
                break;
            mSyllables.push_back(uint16_t(number(entry.substr(kCharacterDigits))));
        }
    }
    mStarts.push_back(uint32_t(mSyllables.size()));
    mInitials.reserve(characters);
    for (size_t at = 0; at < characters; ++at) {
        uint32_t letters = 0;
        for (uint32_t i = mStarts[at]; i < mStarts[at + 1]; ++i)
            letters |= uint32_t(1) << (kSyllables[mSyllables[i]].front() - 'a');
        mInitials.push_back(letters);
    }
}

std::span<const uint16_t> PinyinReadings::of(char16_t character) const
{
    if (character < kFirst || character > kLast)
        return {};
    const size_t at = character - kFirst;
    return std::span<const uint16_t>(mSyllables).subspan(mStarts[at], mStarts[at + 1] - mStarts[at]);
}

uint32_t PinyinReadings::initials(char16_t character) const
{
    return character < kFirst || character > kLast ? 0 : mInitials[character - kFirst];
}

std::string_view PinyinReadings::syllable(uint16_t index)
{
    return kSyllables[index];
}

std::vector<std::string_view> pinyinReadings(char16_t character)
{
    std::vector<std::string_view> readings;
    for (const uint16_t index : PinyinReadings::table().of(character))
        readings.push_back(PinyinReadings::syllable(index));
    return readings;
}

} // namespace velmarith::search
