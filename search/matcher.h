// What the matchers of search/searches/ share: the context they search in
// and the loop that marks records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "idiom_table.h"
#include "idiom_views.h"
#include "searches.h"

namespace tessaly {

struct SearchContext {
  const IdiomTable& table;
  const IdiomViews& views;
  const Keywords& typed;  // the keywords as typed, before any grouping
};

inline constexpr char16_t kStar = u'*';

inline bool IsLowerAscii(char16_t u) { return u >= u'a' && u <= u'z'; }

// Calls `match(i)` for every record not yet marked and marks it on true.
template <typename Match>
void MarkEach(int32_t size, SearchOutcome& out, Match&& match) {
  HitMarks& marks = out.Matched;
  int32_t hits = out.hitCount;
  for (int32_t i = 0; i < size; ++i) {
    if (!marks[i] && match(i)) {
      marks[i] = 1;
      ++hits;
    }
  }
  out.hitCount = hits;
}

// The idiom texts the precise rules read: a table's own, or its idioms in
// simplified characters.
struct IdiomTexts {
  const TextColumn& idioms;
  const TextColumn& chars;
};

// MarkPrecise marks what `key` finds by the precise rules in `texts`;
// `variants`: a text keyword finds a record by its other written forms
// too. The precise search and 简繁通查 both run it.
void MarkPrecise(const SearchContext& on, const IdiomTexts& texts, bool variants, std::u16string_view key,
                 SearchOutcome& out);

// Decimal returns `n` in decimal digits.
std::u16string Decimal(int64_t n);

}  // namespace tessaly
