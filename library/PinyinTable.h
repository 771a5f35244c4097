#pragma once

#include <cstddef>

// The syllables, numbered from 1 (entry 0 is unused): lower case, no tones, ü written "v".
inline constexpr size_t kPinyinSyllableCount = 407;
extern const char* const kPinyinSyllables[kPinyinSyllableCount + 1];

// One syllable number per GBK double-byte code, 0 when no reading is known: 126 rows (lead
// bytes 0x81-0xFE) of 191 columns (trail bytes 0x40-0xFE), at (lead - 0x81) * 191 +
// (trail - 0x40).
inline constexpr size_t kPinyinIndexColumns = 191;
inline constexpr size_t kPinyinIndexSize = 126 * kPinyinIndexColumns;
extern const unsigned short kPinyinIndex[kPinyinIndexSize];
