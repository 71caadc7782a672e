// The precise search: the keyword's form picks the rule.
#include <algorithm>

#include "matcher.h"
#include "messages.h"
#include "search_engine.h"

namespace tessaly {
namespace {

bool WildcardPrefixMatch(std::u16string_view chars, std::u16string_view key) {
  if (chars.size() < key.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    if (key[i] != kStar && key[i] != chars[i]) return false;
  }
  return true;
}

// A record is found by its other written forms too: its variants, the
// first list of the rest of its line ("#variants#near#...").
void MarkByVariants(const IdiomTable& table, std::u16string_view key, SearchOutcome& out) {
  if (key.find(kListSeparator) != std::u16string_view::npos) return;
  table.rest().markContainingWhere(key, out.Matched, out.hitCount, [&](std::u16string_view rest, size_t at) {
    return at > 0 && rest.substr(1, at - 1).find(kFieldSeparator) == std::u16string_view::npos &&
           rest.substr(1, at + key.size() - 1).find(kFieldSeparator) == std::u16string_view::npos;
  });
}

Error MatchPrecise(const SearchContext& on, std::u16string_view key, SearchOutcome& out) {
  MarkPrecise(on, IdiomTexts{on.table.column(Field::Idiom), on.table.chars()}, true, key, out);
  return {};
}

}  // namespace

KeywordRule ClassifyKeyword(std::u16string_view keyword) {
  int32_t stars = 0;
  int32_t others = 0;
  for (char16_t u : keyword) {
    if (u == kStar) {
      ++stars;
    } else if (!IsLowerAscii(u)) {
      ++others;
    }
  }
  const int32_t nonStars = static_cast<int32_t>(keyword.size()) - stars;
  if (stars == 0 && others > 0) return KeywordRule::TextContains;
  if (stars > 0 && nonStars > 0 && others > 0) return KeywordRule::WildcardPrefix;
  if (stars > 1 && nonStars == 0) return KeywordRule::Length;
  if (stars == 1 && nonStars == 0) return KeywordRule::All;
  if (stars == 0 && others == 0) return KeywordRule::InitialsPrefix;
  if (keyword[0] == kStar && stars == 1) return KeywordRule::InitialsContains;
  return KeywordRule::MisplacedPinyinWildcard;
}

void MarkPrecise(const SearchContext& on, const IdiomTexts& texts, bool variants, std::u16string_view key,
                 SearchOutcome& out) {
  const IdiomTable& table = on.table;
  const int32_t size = table.size();
  switch (ClassifyKeyword(key)) {
    case KeywordRule::All:
      if (on.typed.size() > 1) out.notice = std::u16string(kLoneStarNotice);
      std::fill(out.Matched.begin(), out.Matched.end(), uint8_t{1});
      out.hitCount = size;
      out.all = true;
      break;
    case KeywordRule::TextContains:
      texts.idioms.markContaining(key, out.Matched, out.hitCount);
      if (variants) MarkByVariants(table, key, out);
      break;
    case KeywordRule::InitialsContains:
      table.column(Field::Initials).markContaining(key.substr(1), out.Matched, out.hitCount);
      break;
    case KeywordRule::InitialsPrefix:
      MarkEach(size, out, [&, initials = table.column(Field::Initials).view()](int32_t i) {
        return initials.at(i).substr(0, key.size()) == key;
      });
      break;
    case KeywordRule::WildcardPrefix:
      MarkEach(size, out, [&, chars = texts.chars.view()](int32_t i) { return WildcardPrefixMatch(chars.at(i), key); });
      break;
    case KeywordRule::Length:
      MarkEach(size, out, [&, chars = texts.chars.view()](int32_t i) { return chars.length(i) == key.size(); });
      break;
    case KeywordRule::MisplacedPinyinWildcard:
      out.notice = std::u16string(kPinyinWildcardNotice);
      break;
  }
}

extern const SearchKind kPreciseSearch{
    .mode = SearchMode::Precise,
    .name = "precise",
    .help = N_("the default; the keyword's form picks the rule:\n"
               "  天地      the idiom holds 天地 (or one of its other written forms)\n"
               "  *心*意    * stands for one character, the idiom may run on: 一心一意\n"
               "  *****     stars alone: every idiom of five characters; one * lists all\n"
               "  ysys      pinyin initials from the start: 一生一世\n"
               "  *hszyt    pinyin initials anywhere: 做一天和尚，撞一天钟"),
    .example = u"*心*意",
    .match = MatchPrecise,
};

}  // namespace tessaly
