// The mixed search: every character of the keyword, in any order, each
// occurrence in the idiom used once.
#include <algorithm>
#include <vector>

#include "matcher.h"
#include "messages.h"
#include "search_engine.h"

namespace tessaly {
namespace {

// The rule uses each occurrence in the idiom once: it holds exactly when
// every distinct keyword character occurs in the idiom at least as often
// as in the keyword. Counting needs no working copy of the idiom.
struct CharNeed {
  char16_t c;
  size_t count;
};

std::vector<CharNeed> NeedsOf(std::u16string_view key) {
  std::u16string sorted(key);
  std::sort(sorted.begin(), sorted.end());
  std::vector<CharNeed> needs;
  for (char16_t c : sorted) {
    if (needs.empty() || needs.back().c != c) {
      needs.push_back({c, 1});
    } else {
      ++needs.back().count;
    }
  }
  return needs;
}

bool MixedMatch(std::u16string_view chars, const std::vector<CharNeed>& needs, size_t keyLength) {
  if (chars.size() < keyLength) return false;
  for (const CharNeed& need : needs) {
    size_t found = 0;
    for (char16_t c : chars) {
      if (c == need.c && ++found == need.count) break;
    }
    if (found < need.count) return false;
  }
  return true;
}

Error MatchMixed(const SearchContext& on, std::u16string_view key, SearchOutcome& out) {
  const std::vector<CharNeed> needs = NeedsOf(key);
  MarkEach(on.table.size(), out,
           [&, chars = on.table.chars().view()](int32_t i) { return MixedMatch(chars.at(i), needs, key.size()); });
  return {};
}

}  // namespace

extern const SearchKind kMixedSearch{
    .mode = SearchMode::Mixed,
    .name = "mixed",
    .help = N_("every character of the keyword, in any order          意一 finds 一心一意"),
    .example = u"意一",
    .match = MatchMixed,
    .noHits = kMixedTooltip,
};

}  // namespace tessaly
