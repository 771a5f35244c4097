#pragma once

#include <string>
#include <string_view>

// Turns GBK text into Latin letters so that a song can be found by the first letter of its
// name's pinyin: each Chinese character becomes its toneless Mandarin syllable (or its first
// letter), single-byte characters pass through in upper case.
class PinyinConverter {
public:
    // Option bits.
    static constexpr int kWholeSyllables = 1;  // else initials only
    static constexpr int kMarkUnknown = 2;     // a character without a reading gives "?"
    // Of the full-width characters keep only letters and digits (else every one of them).
    static constexpr int kLettersAndDigitsOnly = 4;

    // The Latin form of GBK bytes; a negative `options` gives "". Whole syllables are cut to
    // five letters ("chuang" gives "chuan"). Circled and roman numerals give their digits,
    // full-width characters their ASCII form, Greek letters their transliteration.
    std::string Convert(std::string_view gbk, int options) const;
    // The same for UTF-8 text, which is converted to GBK first.
    std::string ConvertUtf8(std::string_view utf8, int options) const;
};
