// Traditional and simplified characters compared alike: texts converted to
// simplified characters with OpenCC's t2s conversion.
//
//   ToSimplified(u"愛不釋手")   // u"爱不释手"
#pragma once

#include <string>
#include <string_view>

#include "idiom_table.h"

namespace tessaly {

// ToSimplified returns `text` in simplified characters (OpenCC, t2s:
// characters and phrases). Without OpenCC's data the text comes back as it
// is.
std::u16string ToSimplified(std::u16string_view text);

// FoldIdioms returns a table of the same records whose idiom (field 0, and
// so IdiomChars) is in simplified characters; its other fields are "-". It
// is made in one conversion of all idioms.
IdiomTable FoldIdioms(const IdiomTable& table);

}  // namespace tessaly
