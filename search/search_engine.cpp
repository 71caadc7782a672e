// The search engine: one search's row run over the keywords.
#include "search_engine.h"

#include <unordered_set>

#include "folding.h"
#include "matcher.h"
#include "messages.h"
#include "syllable_index.h"

namespace tessaly {
namespace {

// Whether `views` hold what `kind` reads, made for `table`.
bool ViewsReady(const SearchKind& kind, const IdiomViews& views, const IdiomTable& table) {
  if ((kind.views & kSyllableView) != 0 && (views.syllables() == nullptr || views.syllables()->size() != table.size())) {
    return false;
  }
  return (kind.views & kFoldedView) == 0 ||
         (views.folded() != nullptr && views.folded()->idioms().size() == table.size());
}

Result<SearchOutcome> Run(const SearchKind& kind, const IdiomTable& table, const IdiomViews& views,
                          const Keywords& keywords) {
  if (!ViewsReady(kind, views, table)) {
    return MakeError(ErrorKind::BadInput, TR("the views this search reads were not made for this table"));
  }
  SearchOutcome out;
  out.Matched.assign(static_cast<size_t>(table.size()), 0);
  const SearchContext on{table, views, keywords};
  const Keywords grouped = kind.group != nullptr ? kind.group(keywords, out) : Keywords();
  // A keyword typed twice finds nothing new: each is searched once, so no
  // query makes a search cost more than one pass per distinct keyword.
  std::unordered_set<std::u16string_view> searched;
  for (const std::u16string& keyword : kind.group != nullptr ? grouped : keywords) {
    if (keyword.empty() || !searched.insert(keyword).second) continue;
    if (Error e = kind.match(on, keyword, out); !e.ok()) return e;
    if (out.all) break;
  }
  out.label = CountCaption(out.hitCount, out.all);
  if (out.hitCount > 0) {
    out.FillBatch = out.hitCount >= kSliceThreshold ? kSliceRecords : table.size();
  } else if (!kind.noHits.empty()) {
    out.notice = std::u16string(kind.noHits);
  }
  return out;
}

}  // namespace

std::u16string Decimal(int64_t n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string CountCaption(int32_t hits, bool all) {
  return all ? u"全部成语，一共 " + Decimal(hits) + u" 个！" : u"共查到 " + Decimal(hits) + u" 个成语！";
}

Error PrepareViews(IdiomViews& views, const IdiomTable& table, SearchMode mode) {
  const SearchKind* kind = FindSearch(mode);
  if (kind == nullptr) return {};
  return CatchOutOfMemory([&]() -> Error {
    if ((kind->views & kSyllableView) != 0) views.buildSyllables(table);
    if ((kind->views & kFoldedView) != 0) return views.buildFolded(table);
    return {};
  });
}

Result<SearchOutcome> RunSearch(const IdiomTable& table, const IdiomViews& views, const Keywords& keywords,
                                SearchMode mode) {
  const SearchKind* kind = FindSearch(mode);
  if (kind == nullptr) return MakeError(ErrorKind::BadInput, TR("no such search"));
  return CatchOutOfMemory([&] { return Run(*kind, table, views, keywords); });
}

}  // namespace tessaly
