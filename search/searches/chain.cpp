// The idiom chain (成语接龙): idioms that begin where the first keyword
// ends, or failing those, with its last syllable.
#include <algorithm>
#include <string>

#include "matcher.h"
#include "messages.h"
#include "syllable_index.h"

namespace tessaly {
namespace {

std::u16string Ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

// The chain goes on from the first keyword alone.
Keywords FirstKeyword(const Keywords& typed, SearchOutcome&) {
  const auto first = std::find_if(typed.begin(), typed.end(), [](const auto& k) { return !k.empty(); });
  return first == typed.end() ? Keywords() : Keywords{*first};
}

// The records whose idiom begins with the last character of `text` (the
// text itself excepted); when there is none and the text is an idiom of
// the table, those whose first syllable has the letters of its last one.
// The notice says which link was used, and how many records it found.
Error MatchChain(const SearchContext& on, std::u16string_view text, SearchOutcome& out) {
  const IdiomTable& table = on.table;
  std::u16string chars(text);
  std::erase(chars, kIdiomComma);
  const int32_t size = table.size();
  if (chars.empty() || size == 0) return {};
  // The last character, a surrogate pair taken whole.
  const size_t last = chars.size() >= 2 && chars.back() >= 0xDC00 && chars.back() <= 0xDFFF ? chars.size() - 2
                                                                                            : chars.size() - 1;
  const std::u16string link = chars.substr(last);
  auto other = [&](int32_t i) { return table.field(i, Field::Idiom) != text; };
  MarkEach(size, out, [&](int32_t i) { return table.IdiomChars(i).substr(0, link.size()) == link && other(i); });
  if (out.hitCount > 0) {
    out.notice = u"接“" + link + u"”字：" + Decimal(out.hitCount);
    return {};
  }
  int32_t self = 0;
  while (self < size && table.field(self, Field::Idiom) != text) ++self;
  const SyllableIndex& index = *on.views.syllables();
  const std::string_view syllable = self < size ? index.lastSyllable(self) : std::string_view();
  if (syllable.empty()) {
    out.notice = u"接“" + link + u"”字：0";
    return {};
  }
  MarkEach(size, out, [&](int32_t i) { return index.firstSyllable(i) == syllable && other(i); });
  out.notice = u"同音接“" + Ascii(syllable) + u"”：" + Decimal(out.hitCount);
  return {};
}

}  // namespace

extern const SearchKind kChainSearch{
    .mode = SearchMode::Chain,
    .name = "chain",
    .help = N_("idioms that begin with the last character of the first keyword;\n"
               "when there is none, with its last syllable   一心一意"),
    .example = u"一心一意",
    .menu = u"成语接龙（接当前成语）",
    .fromShown = true,
    .views = kSyllableView,
    .group = FirstKeyword,
    .match = MatchChain,
};

}  // namespace tessaly
