// The ordered fuzzy search: the keyword's characters in order, not
// necessarily side by side.
#include "matcher.h"
#include "messages.h"
#include "search_engine.h"

namespace tessaly {
namespace {

bool OrderedFuzzyMatch(std::u16string_view chars, std::u16string_view key) {
  size_t p = 0;
  for (char16_t c : chars) {
    if (c == key[p] && ++p == key.size()) return true;
  }
  return false;
}

Error MatchFuzzy(const SearchContext& on, std::u16string_view key, SearchOutcome& out) {
  MarkEach(on.table.size(), out,
           [&, chars = on.table.chars().view()](int32_t i) { return OrderedFuzzyMatch(chars.at(i), key); });
  return {};
}

}  // namespace

extern const SearchKind kFuzzySearch{
    .mode = SearchMode::Fuzzy,
    .name = "fuzzy",
    .help = N_("the keyword's characters in order, not side by side   一意 finds 一心一意"),
    .example = u"一意",
    .match = MatchFuzzy,
    .noHits = kFuzzyTooltip,
};

}  // namespace tessaly
