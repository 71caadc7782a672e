// The query check.
#include "query.h"

#include <algorithm>

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include "text.h"
#include "messages.h"

namespace tessaly {
namespace {

constexpr char16_t kSpace = u' ';
constexpr char16_t kIdeographicSpace = u'\u3000';

// Simple (one-to-one) lower-case mapping per code point: the query keeps its
// length, as the query box's own lower-casing does.
std::u16string ToLower(std::u16string_view in) {
  std::u16string out;
  out.reserve(in.size());
  const auto length = static_cast<int32_t>(in.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U16_NEXT(in.data(), i, length, c);
    const UChar32 lower = u_tolower(c);
    if (U_IS_BMP(lower)) {
      out.push_back(static_cast<char16_t>(lower));
    } else {
      out.push_back(U16_LEAD(lower));
      out.push_back(U16_TRAIL(lower));
    }
  }
  return out;
}

void TrimSpaces(std::u16string& s) {
  const size_t first = s.find_first_not_of(kSpace);
  if (first == std::u16string::npos) {
    s.clear();
    return;
  }
  s.erase(s.find_last_not_of(kSpace) + 1);
  s.erase(0, first);
}

}  // namespace

Result<Query> CheckQuery(std::u16string_view typed) {
  Query result;
  std::u16string s = ToLower(typed);
  for (char16_t& u : s) {
    if (u == kIdeographicSpace) u = kSpace;
  }
  TrimSpaces(s);

  // CR LF pairs go first; then the typed alternatives become "*".
  std::u16string t = RemoveCrLfPairs(s);
  for (char16_t& u : t) {
    if (u == u'\uFF1F' || u == u'?' || u == u'\u3002' || u == u'.') u = u'*';
  }
  TrimSpaces(t);
  if (t.empty()) return MakeError(ErrorKind::EmptyQuery, TR("empty query: nothing to search for"));

  // Collapse runs of spaces while splitting.
  size_t pos = 0;
  while (pos < t.size()) {
    const size_t end = std::min(t.find(kSpace, pos), t.size());
    result.keywords.emplace_back(t, pos, end - pos);
    pos = t.find_first_not_of(kSpace, end);
    if (pos == std::u16string::npos) break;
  }
  for (size_t k = 0; k < result.keywords.size(); ++k) {
    if (k > 0) result.text.push_back(kIdeographicSpace);
    result.text += result.keywords[k];
  }
  return result;
}

}  // namespace tessaly
