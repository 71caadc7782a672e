// 简繁通查: the precise search with the keyword and the idioms compared in
// simplified characters.
#include "folding.h"
#include "matcher.h"
#include "messages.h"

namespace tessaly {
namespace {

Error MatchFolded(const SearchContext& on, std::u16string_view keyword, SearchOutcome& out) {
  // OpenCC reads C strings: a NUL would cut the keyword short, and what is
  // left could find far more than was asked for.
  if (keyword.find(u'\0') != std::u16string_view::npos) return {};
  Result<std::u16string> simplified = ToSimplified(keyword);
  if (!simplified.ok()) return simplified.error();
  if (simplified->empty()) return {};
  const FoldedIdioms& folded = *on.views.folded();
  MarkPrecise(on, IdiomTexts{folded.idioms(), folded.chars()}, false, *simplified, out);
  return {};
}

}  // namespace

extern const SearchKind kFoldedSearch{
    .mode = SearchMode::Folded,
    .name = "folded",
    .help = N_("precise, traditional and simplified characters alike   愛不釋手"),
    .example = u"愛不釋手",
    .menu = u"简繁通查（如 愛不釋手）",
    .views = kFoldedView,
    .match = MatchFolded,
};

}  // namespace tessaly
