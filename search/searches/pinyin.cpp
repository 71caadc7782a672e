// The search by full pinyin, tones optional.
#include "matcher.h"
#include "messages.h"
#include "search_engine.h"
#include "syllable_index.h"

namespace tessaly {
namespace {

// The pinyin search reads the spaces of a query as syllable ends, like
// the apostrophe, so that syllables typed apart form one keyword; its
// keywords are separated by "，", "、" or "," instead. CheckQuery has
// split the query at its spaces: the keywords are joined again with "'"
// and split at those separators.
Keywords PinyinKeywords(const Keywords& keywords, SearchOutcome& out) {
  Keywords grouped(1);
  for (const std::u16string& keyword : keywords) {
    if (!grouped.back().empty()) grouped.back() += u'\'';
    for (const char16_t u : keyword) {
      if (u != kIdiomComma && u != kListSeparator && u != u',') {
        grouped.back() += u;
      } else if (!grouped.back().empty()) {
        grouped.emplace_back();
      }
    }
  }
  if (grouped.back().empty()) grouped.pop_back();
  if (grouped.empty()) out.notice = std::u16string(kPinyinNotice);
  return grouped;
}

Error MatchPinyin(const SearchContext& on, std::u16string_view key, SearchOutcome& out) {
  const Result<PinyinKey> parsed = ParsePinyinKey(key);
  if (!parsed.ok()) {
    out.notice = std::u16string(kPinyinNotice);
  } else if (on.table.size() > 0) {
    on.views.syllables()->markMatching(*parsed, out.Matched, out.hitCount);
  }
  return {};
}

}  // namespace

extern const SearchKind kPinyinSearch{
    .mode = SearchMode::Pinyin,
    .name = "pinyin",
    .help = N_("full pinyin, tones optional (1-5 after a syllable, 0 for the neutral\n"
               "tone; ' or a space ends a syllable; keywords separated by ，)\n"
               "                                     yixinyiyi, yi xin yi yi, yi1xin1"),
    .example = u"yi1xin1",
    .menu = u"按拼音查找（如 yixinyiyi、yi1xin1）",
    .views = kSyllableView,
    .group = PinyinKeywords,
    .match = MatchPinyin,
};

}  // namespace tessaly
