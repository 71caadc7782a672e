// Pinyin initials: the initials field of cy.dat derived from the pinyin.
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// InitialsFromPinyin returns the first letter of every syllable of
// `pinyin`, tone marks removed and lower-cased, with ü written as v:
// "lǜ shuǐ qīng shān" gives "lsqs". Syllables are runs of letters; spaces,
// "，" and other marks only separate them.
std::u16string InitialsFromPinyin(std::u16string_view pinyin);

}  // namespace tessaly
