// The query check: the text of the query box becomes Keywords.
//
//   Result<Query> q = CheckQuery(u"天　地");
//   // q.ok(), q->keywords == {u"天", u"地"}, q->text == u"天　地"
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "error.h"

namespace tessaly {

// The keywords of the last query that passed the check, in query order.
using Keywords = std::vector<std::u16string>;

// What CheckQuery made of a query.
struct Query {
  std::u16string text;  // what the query box shows now: keywords joined by U+3000
  Keywords keywords;    // never empty, and no keyword is empty
};

// CheckQuery normalises a typed query: lower case, the ideographic space as
// a separator, the typed alternatives ？ ? 。 . as "*", CR LF pairs removed,
// spaces trimmed and every run of spaces collapsed. Spaces are trimmed again
// after the CR LF pairs are gone, so a line break next to a space at either
// end never leaves an empty keyword. When nothing is left it is an
// EmptyQuery error: nothing to search, everything stays as it was.
Result<Query> CheckQuery(std::u16string_view typed);

}  // namespace tessaly
