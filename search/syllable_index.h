// The pinyin of every record read once as syllables, for the searches by
// full pinyin and the idiom chain. One of the views kept in IdiomViews.
//
//   SyllableIndex index(table);
//   index.markMatching(ParsePinyinKey(u"yi1xin1").value(), marks, hits);
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "error.h"
#include "idiom_table.h"

namespace tessaly {

// A keyword of the pinyin search: letters a to z, each of which may carry
// what must hold where it stands (a tone digit after it, an apostrophe).
struct PinyinKey {
  std::string letters;        // the keyword's letters
  std::vector<uint8_t> ends;  // per letter: 0, or 1 to 5 (the syllable ends here, in that tone), or kEnds
  static constexpr uint8_t kEnds = 8;  // the syllable ends here, in any tone
};

// ParsePinyinKey reads a keyword as CheckQuery leaves it: letters, tone
// digits 1 to 5 (0 also means the neutral tone, 5) right after a letter,
// and apostrophes after a letter or a digit. Typed forms count as their
// plain ones: full-width letters and digits, the apostrophes ’ ‘ ＇, and
// letters as the data's pinyin writes them (PinyinLetter: ü, marked vowels,
// upper case; a combining mark after a letter), a tone mark asking for no
// tone. Anything else is a BadKeyword error.
Result<PinyinKey> ParsePinyinKey(std::u16string_view keyword);

// SyllableIndex holds the plain letters of every record's pinyin back to
// back (lower case, ü as v), and per letter whether a syllable starts there
// and, where one ends, its tone: two bytes per letter and four per record.
class SyllableIndex {
 public:
  explicit SyllableIndex(const IdiomTable& table);

  int32_t size() const { return static_cast<int32_t>(m_starts.size()) - 1; }
  // markMatching marks every record not yet marked in which `key` matches,
  // reading on from the first letter of one of its syllables without gaps
  // (the key may end inside a syllable), and counts them in `hits`.
  void markMatching(const PinyinKey& key, HitMarks& marks, int32_t& hits) const;
  // firstSyllable and lastSyllable return the letters of record `i`'s first
  // and last syllable (empty for a pinyin without letters).
  std::string_view firstSyllable(int32_t i) const;
  std::string_view lastSyllable(int32_t i) const;
  size_t memoryBytes() const;

 private:
  static constexpr uint8_t kStart = 0x80;     // a syllable starts at this letter
  static constexpr uint8_t kToneMask = 0x07;  // the tone of the syllable ending here, 0 inside one

  std::string m_letters;
  std::vector<uint8_t> m_marks;
  std::vector<uint32_t> m_starts{0};
};

}  // namespace tessaly
