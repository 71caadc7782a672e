// Pinyin letters, tones and syllables.
#include "pinyin.h"

#include <iterator>

namespace tessaly {

char PinyinLetter(char16_t u, int& tone) {
  tone = 0;
  if (u >= u'a' && u <= u'z') return static_cast<char>(u);
  if (u >= u'A' && u <= u'Z') return static_cast<char>(u - u'A' + u'a');
  if (u < 0xC0) return 0;
  // Each row: the plain letter, then its four tones in lower and upper case.
  struct Marked {
    char letter;
    std::u16string_view tones;  // tone 1 to 4, then the same in upper case (U+FFFF: none)
  };
  static constexpr Marked kMarked[] = {
      {'a', u"āáǎàĀÁǍÀ"}, {'e', u"ēéěèĒÉĚÈ"}, {'i', u"īíǐìĪÍǏÌ"}, {'o', u"ōóǒòŌÓǑÒ"},
      {'u', u"ūúǔùŪÚǓÙ"}, {'v', u"ǖǘǚǜǕǗǙǛ"}, {'n', u"\uFFFFńňǹ\uFFFFŃŇǸ"}, {'m', u"\uFFFFḿ\uFFFF\uFFFF\uFFFFḾ\uFFFF\uFFFF"}};
  for (const Marked& m : kMarked) {
    const size_t at = m.tones.find(u);
    if (at != std::u16string_view::npos) {
      tone = static_cast<int>(at % 4) + 1;
      return m.letter;
    }
  }
  switch (u) {
    case u'ü': case u'Ü': return 'v';
    case u'ê': case u'Ê': return 'e';
    case u'ɑ': return 'a';
    case u'ɡ': return 'g';
    default: return 0;
  }
}

int CombiningMark(char16_t u) {
  switch (u) {
    case u'\u0304': return 1;
    case u'\u0301': return 2;
    case u'\u030C': return 3;
    case u'\u0300': return 4;
    case u'\u0308': return 6;
    default: return 0;
  }
}

std::vector<Syllable> Syllables(std::u16string_view pinyin) {
  std::vector<Syllable> out;
  bool inSyllable = false;
  for (char16_t u : pinyin) {
    if (const int mark = CombiningMark(u); mark != 0) {
      // A combining mark belongs to the letter before it.
      if (!inSyllable) continue;
      Syllable& s = out.back();
      if (mark == 6) {
        if (!s.letters.empty() && s.letters.back() == 'u') s.letters.back() = 'v';
      } else {
        if (s.marks++ == 0) {
          s.tone = mark;
          s.markedLetter = static_cast<int>(s.letters.size()) - 1;
        }
      }
      continue;
    }
    int tone = 0;
    const char letter = PinyinLetter(u, tone);
    if (letter == 0) {
      inSyllable = false;
      continue;
    }
    if (!inSyllable) out.emplace_back();
    inSyllable = true;
    Syllable& s = out.back();
    s.letters.push_back(letter);
    if (tone != 0 && s.marks++ == 0) {
      s.tone = tone;
      s.markedLetter = static_cast<int>(s.letters.size()) - 1;
    }
  }
  return out;
}

std::u16string InitialsFromPinyin(std::u16string_view pinyin) {
  std::u16string initials;
  for (const Syllable& s : Syllables(pinyin)) initials.push_back(static_cast<char16_t>(s.letters[0]));
  return initials;
}

}  // namespace tessaly
