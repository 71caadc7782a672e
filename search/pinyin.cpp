// Pinyin letters, tones and syllables.
#include "pinyin.h"

#include <cstdint>
#include <iterator>

namespace tessaly {

namespace {

// Each non-ASCII pinyin letter up to U+024F with its plain letter and tone,
// packed as letter << 3 | tone; 0 for anything else.
struct LetterTable {
  uint8_t packed[0x250] = {};

  LetterTable() {
    struct Marked {
      char letter;
      std::u16string_view tones;  // tone 1 to 4, then the same in upper case (U+FFFF: none)
    };
    static constexpr Marked kMarked[] = {
        {'a', u"āáǎàĀÁǍÀ"}, {'e', u"ēéěèĒÉĚÈ"}, {'i', u"īíǐìĪÍǏÌ"}, {'o', u"ōóǒòŌÓǑÒ"},
        {'u', u"ūúǔùŪÚǓÙ"}, {'v', u"ǖǘǚǜǕǗǙǛ"}, {'n', u"\uFFFFńňǹ\uFFFFŃŇǸ"}};
    for (const Marked& m : kMarked) {
      for (size_t at = 0; at < m.tones.size(); ++at) {
        const char16_t u = m.tones[at];
        if (u < 0x250) packed[u] = static_cast<uint8_t>((m.letter - 'a' + 1) << 3 | (at % 4 + 1));
      }
    }
    for (char16_t u : {u'ü', u'Ü'}) packed[u] = static_cast<uint8_t>(('v' - 'a' + 1) << 3);
    for (char16_t u : {u'ê', u'Ê'}) packed[u] = static_cast<uint8_t>(('e' - 'a' + 1) << 3);
  }
};

}  // namespace

char PinyinLetter(char16_t u, int& tone) {
  tone = 0;
  if (u < 0x80) {
    if (u >= u'a' && u <= u'z') return static_cast<char>(u);
    if (u >= u'A' && u <= u'Z') return static_cast<char>(u - u'A' + u'a');
    return 0;
  }
  if (u < 0x250) {
    static const LetterTable table;
    const uint8_t p = table.packed[u];
    if (p == 0) return 0;
    tone = p & 7;
    return static_cast<char>('a' + (p >> 3) - 1);
  }
  switch (u) {
    case u'ḿ': case u'Ḿ': tone = 2; return 'm';
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
  Syllables(pinyin, out);
  return out;
}

void Syllables(std::u16string_view pinyin, std::vector<Syllable>& out) {
  out.clear();
  bool inSyllable = false;
  size_t begin = 0;
  for (size_t at = 0; at < pinyin.size(); ++at) {
    const char16_t u = pinyin[at];
    if (const int mark = CombiningMark(u); mark != 0) {
      // A combining mark belongs to the letter before it.
      if (!inSyllable) continue;
      Syllable& s = out.back();
      s.text = pinyin.substr(begin, at + 1 - begin);
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
    if (!inSyllable) {
      out.emplace_back();
      begin = at;
    }
    inSyllable = true;
    Syllable& s = out.back();
    s.text = pinyin.substr(begin, at + 1 - begin);
    s.letters.push_back(letter);
    if (tone != 0 && s.marks++ == 0) {
      s.tone = tone;
      s.markedLetter = static_cast<int>(s.letters.size()) - 1;
    }
  }
}

std::u16string InitialsFromPinyin(std::u16string_view pinyin) {
  std::u16string initials;
  for (const Syllable& s : Syllables(pinyin)) initials.push_back(static_cast<char16_t>(s.letters[0]));
  return initials;
}

}  // namespace tessaly
