// Pinyin as the data writes it: letters with tone marks, syllables split by
// spaces and punctuation.
//
//   Syllables(u"yī xīn yī yì")      // yi/1 xin/1 yi/1 yi/4
//   InitialsFromPinyin(u"lǜ shuǐ")   // u"ls"
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// PinyinLetter reads one character of a pinyin text: returns its plain
// letter (lower case, ü as v; "ɑ" and "ɡ" as a and g) and sets `tone` to
// the tone its mark gives (1 to 4), or 0 for an unmarked letter. Returns 0
// for anything that is not a pinyin letter: a syllable ends there.
// Combining tone marks (U+0300, U+0301, U+0304, U+030C) and the combining
// diaeresis are not letters; see CombiningMark.
char PinyinLetter(char16_t u, int& tone);

// CombiningMark returns the tone (1 to 4) of a combining tone mark, 6 for
// the combining diaeresis (ü written as u and U+0308), 0 for anything else.
int CombiningMark(char16_t u);

// One syllable of a pinyin text.
struct Syllable {
  std::u16string_view text;  // the syllable as written, marks included
  std::string letters;  // lower case, marks removed, ü as v
  int tone = 5;         // 1 to 4 from its marked letter, 5 (neutral) without one
  int marks = 0;        // tone marks it carries; good pinyin has at most one
  int markedLetter = -1;  // index in `letters` of the (first) marked letter
};

// Syllables splits `pinyin` into syllables at every character that is not
// a letter. The second form fills `out`, reusing its room.
std::vector<Syllable> Syllables(std::u16string_view pinyin);
void Syllables(std::u16string_view pinyin, std::vector<Syllable>& out);

// InitialsFromPinyin returns the first letter of every syllable of
// `pinyin`: "lǜ shuǐ qīng shān" gives "lsqs".
std::u16string InitialsFromPinyin(std::u16string_view pinyin);

}  // namespace tessaly
