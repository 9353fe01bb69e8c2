#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace velmarith::search {

/// Every modern toneless reading of the ideographs U+3400–U+9FFF, ü written v, decoded once
/// from the generated table into one array the matcher walks without searching.
class PinyinReadings
{
public:
    [[nodiscard]] static const PinyinReadings &table();

    /// The indexes of a character's syllables, its most common reading first; none for a
    /// character that is not an ideograph.
    [[nodiscard]] std::span<const uint16_t> of(char16_t character) const;
    [[nodiscard]] static std::string_view syllable(uint16_t index);
    /// The first letters of a character's readings, bit 0 for a, bit 25 for z.
    [[nodiscard]] uint32_t initials(char16_t character) const;

private:
    PinyinReadings();

    std::vector<uint32_t> mStarts; ///< where each character's syllables start, and one end
    std::vector<uint16_t> mSyllables;
    std::vector<uint32_t> mInitials; ///< per character, as initials() gives them
};

/// The readings of a character as text ("zhong" and "chong" for 重).
[[nodiscard]] std::vector<std::string_view> pinyinReadings(char16_t character);

} // namespace velmarith::search
