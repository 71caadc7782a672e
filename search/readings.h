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
#include <string_view>

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

// NeutralReading returns the reading of the word of `first` and `second`
// when it is a reviewed neutral-tone word (data/neutral-tone.txt): its two
// syllables packed as ReadingsOf packs one, the first in the high half; 0
// for other words.
uint64_t NeutralReading(char32_t first, char32_t second);

// IsReorderedPair tells whether two idioms whose characters are the same
// in another order are a reviewed pair of two idioms
// (data/reordered-pairs.txt), in either order.
bool IsReorderedPair(std::u16string_view a, std::u16string_view b);

}  // namespace tessaly
