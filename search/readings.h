// The readings of Chinese characters the strict check holds pinyin against:
// Unihan's Mandarin readings (kHanyuPinyin, kXHC1983, kMandarin, kTGHZ2013),
// built into the program from Debian's unicode-data at build time, with the
// reviewed readings of data/readings-beyond-unihan.txt; and the reviewed
// heteronyms of data/heteronyms.txt, two-character words rightly read
// differently in different idioms.
//
//   for (uint32_t r : ReadingsOf(U'乐')) ...   // SyllableCode(letters) << 3 | tone
#pragma once

#include <cstdint>
#include <span>

namespace tessaly {

// ReadingsOf returns the readings of `c`, each SyllableCode(letters) << 3 |
// tone (1 to 4, 5 for a neutral reading), in rising order; empty for a
// character the table does not know.
std::span<const uint32_t> ReadingsOf(char32_t c);

// HasReadingTable tells whether the program was built with Unihan's
// readings (without unicode-data the table is empty).
bool HasReadingTable();

// IsHeteronym tells whether the word of `first` and `second` is a reviewed
// heteronym.
bool IsHeteronym(char32_t first, char32_t second);

}  // namespace tessaly
