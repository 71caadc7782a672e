// Pinyin as the data writes it: letters with tone marks, syllables split by
// spaces and punctuation.
//
//   Syllables(u"yī xīn yī yì")      // yi/1 xin/1 yi/1 yi/4
//   InitialsFromPinyin(u"lǜ shuǐ")   // u"ls"
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// One syllable of a pinyin text.
struct Syllable {
  std::u16string_view text;  // the syllable as written, marks included
  std::string letters;       // lower case, marks removed, ü as v
  int tone = 5;              // 1 to 4 from its marked letter, 5 (neutral) without one
  int marks = 0;             // tone marks it carries; good pinyin has at most one
  int markedLetter = -1;     // index in `letters` of the (first) marked letter
};

// Syllables splits `pinyin` into syllables at every character that is not
// a letter.
std::vector<Syllable> Syllables(std::u16string_view pinyin);

// InitialsFromPinyin returns the first letter of every syllable of
// `pinyin`: "lǜ shuǐ qīng shān" gives "lsqs".
std::u16string InitialsFromPinyin(std::u16string_view pinyin);

}  // namespace tessaly
