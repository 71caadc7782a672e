// Chinese text between its two scripts, through OpenCC: simplified
// characters for 简繁通查, traditional ones for the dictionaries that are
// written in them.
//
//   Result<std::u16string> s = ToSimplified(u"愛不釋手");    // u"爱不释手"
//   Result<std::u16string> t = ToTraditional(u"爱不释手");   // u"愛不釋手"
#pragma once

#include <string>
#include <string_view>

#include "error.h"

namespace tessaly {

// ToSimplified returns `text` in simplified characters (OpenCC's t2s:
// characters and phrases); ToTraditional in traditional characters
// (OpenCC's s2t). Without OpenCC's data each is a MissingData error. `text`
// must not hold NUL (OpenCC reads C strings). Both may be called from
// several threads.
Result<std::u16string> ToSimplified(std::u16string_view text);
Result<std::u16string> ToTraditional(std::u16string_view text);

}  // namespace tessaly
