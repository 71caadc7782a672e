// The list of every search.
#include "searches.h"

#include <array>

namespace tessaly {

// Each row is defined beside its matcher, in search/searches/.
extern const SearchKind kPreciseSearch;
extern const SearchKind kFuzzySearch;
extern const SearchKind kMixedSearch;
extern const SearchKind kMeaningSearch;
extern const SearchKind kSourceSearch;
extern const SearchKind kPinyinSearch;
extern const SearchKind kPatternSearch;
extern const SearchKind kChainSearch;
extern const SearchKind kFoldedSearch;

namespace {

const std::array<const SearchKind*, 9> kSearches = {
    &kPreciseSearch, &kFuzzySearch,   &kMixedSearch, &kMeaningSearch, &kSourceSearch,
    &kPinyinSearch,  &kPatternSearch, &kChainSearch, &kFoldedSearch,
};

}  // namespace

std::span<const SearchKind* const> Searches() { return kSearches; }

const SearchKind* FindSearch(SearchMode mode) {
  for (const SearchKind* kind : kSearches) {
    if (kind->mode == mode) return kind;
  }
  return nullptr;
}

const SearchKind* FindSearch(std::string_view name) {
  for (const SearchKind* kind : kSearches) {
    if (kind->name == name) return kind;
  }
  return nullptr;
}

}  // namespace tessaly
