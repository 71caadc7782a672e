// Pinyin initials.
#include "pinyin.h"

#include <iterator>

namespace tessaly {
namespace {

// The plain letter of a pinyin letter with or without a tone mark, or 0
// for anything that is not a letter.
char16_t PlainLetter(char16_t u) {
  if (u >= u'a' && u <= u'z') return u;
  if (u >= u'A' && u <= u'Z') return static_cast<char16_t>(u - u'A' + u'a');
  static constexpr std::u16string_view kMarked[] = {
      u"āáǎàĀÁǍÀ", u"ēéěèĒÉĚÈêÊ", u"īíǐìĪÍǏÌ", u"ōóǒòŌÓǑÒ", u"ūúǔùŪÚǓÙ", u"üǖǘǚǜÜǕǗǙǛ",
      u"ńňǹŃŇǸ", u"ḿḾ", u"ɑ", u"ɡ"};
  static constexpr char16_t kPlain[] = {u'a', u'e', u'i', u'o', u'u', u'v', u'n', u'm', u'a', u'g'};
  for (size_t k = 0; k < std::size(kMarked); ++k) {
    if (kMarked[k].find(u) != std::u16string_view::npos) return kPlain[k];
  }
  return 0;
}

}  // namespace

std::u16string InitialsFromPinyin(std::u16string_view pinyin) {
  std::u16string initials;
  bool inSyllable = false;
  for (char16_t u : pinyin) {
    // A combining tone mark belongs to the letter before it.
    if (u >= 0x0300 && u <= 0x036F) continue;
    const char16_t letter = PlainLetter(u);
    if (letter != 0 && !inSyllable) initials.push_back(letter);
    inSyllable = letter != 0;
  }
  return initials;
}

}  // namespace tessaly
