// The search engine: keyword rules and the marking of hits.
#include "search_engine.h"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "folding.h"
#include "syllable_index.h"
#include "messages.h"

namespace tessaly {
namespace {

constexpr char16_t kStar = u'*';

bool IsLowerAscii(char16_t u) { return u >= u'a' && u <= u'z'; }

std::u16string Decimal(int64_t n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

// Calls `match(i)` for every record not yet marked and marks it on true.
template <typename Match>
void MarkEach(int32_t size, HitMarks& marks, int32_t& hits, Match&& match) {
  for (int32_t i = 0; i < size; ++i) {
    if (!marks[i] && match(i)) {
      marks[i] = 1;
      ++hits;
    }
  }
}

bool WildcardPrefixMatch(std::u16string_view chars, std::u16string_view key) {
  if (chars.size() < key.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    if (key[i] != kStar && key[i] != chars[i]) return false;
  }
  return true;
}

bool OrderedFuzzyMatch(std::u16string_view chars, std::u16string_view key) {
  size_t p = 0;
  for (char16_t c : chars) {
    if (c == key[p] && ++p == key.size()) return true;
  }
  return false;
}

// The mixed rule uses each occurrence in the idiom once: it holds exactly
// when every distinct keyword character occurs in the idiom at least as
// often as in the keyword. Counting needs no working copy of the idiom.
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

// A structure pattern turned into the checks a record must pass: the
// characters it names, the positions that must hold the same character
// (the places of one letter), and those that must differ (the first places
// of two letters).
struct Pattern {
  size_t length = 0;
  std::vector<std::pair<size_t, char16_t>> characters;
  std::vector<std::pair<size_t, size_t>> same;
  std::vector<std::pair<size_t, size_t>> different;

  explicit Pattern(std::u16string_view key) : length(key.size()) {
    size_t first[26];
    bool seen[26] = {};
    std::vector<size_t> letters;  // first place of each letter, in order
    for (size_t i = 0; i < key.size(); ++i) {
      const char16_t k = key[i];
      if (k == kStar) continue;
      if (!IsLowerAscii(k)) {
        characters.emplace_back(i, k);
        continue;
      }
      const int letter = k - u'a';
      if (seen[letter]) {
        same.emplace_back(first[letter], i);
        continue;
      }
      seen[letter] = true;
      first[letter] = i;
      for (size_t other : letters) different.emplace_back(other, i);
      letters.push_back(i);
    }
  }

  bool matches(std::u16string_view chars) const {
    if (chars.size() != length) return false;
    for (const auto& [i, c] : characters) {
      if (chars[i] != c) return false;
    }
    for (const auto& [i, j] : same) {
      if (chars[i] != chars[j]) return false;
    }
    for (const auto& [i, j] : different) {
      if (chars[i] == chars[j]) return false;
    }
    return true;
  }
};

std::u16string Ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

// The idiom texts the precise rules read: a table's own, or its idioms in
// simplified characters.
struct IdiomTexts {
  const TextColumn& idioms;
  const TextColumn& chars;
};

// The idiom chain from `text`; see RunSearch.
void RunChain(const IdiomTable& table, const SyllableIndex& index, std::u16string_view text, SearchOutcome& out) {
  std::u16string chars(text);
  std::erase(chars, kIdiomComma);
  if (chars.empty()) return;
  // The last character, a surrogate pair taken whole.
  const size_t last = chars.size() >= 2 && chars.back() >= 0xDC00 && chars.back() <= 0xDFFF ? chars.size() - 2
                                                                                            : chars.size() - 1;
  const std::u16string link = chars.substr(last);
  const int32_t size = table.size();
  auto other = [&](int32_t i) { return table.field(i, Field::Idiom) != text; };
  MarkEach(size, out.Matched, out.hitCount, [&](int32_t i) {
    return table.IdiomChars(i).substr(0, link.size()) == link && other(i);
  });
  if (out.hitCount > 0) {
    out.notice = u"接“" + link + u"”字：" + Decimal(out.hitCount);
    return;
  }
  int32_t self = 0;
  while (self < size && table.field(self, Field::Idiom) != text) ++self;
  const std::string_view syllable = self < size ? index.lastSyllable(self) : std::string_view();
  if (syllable.empty()) {
    out.notice = u"接“" + link + u"”字：0";
    return;
  }
  MarkEach(size, out.Matched, out.hitCount,
           [&](int32_t i) { return index.firstSyllable(i) == syllable && other(i); });
  out.notice = u"同音接“" + Ascii(syllable) + u"”：" + Decimal(out.hitCount);
}

// The pinyin search reads the spaces of a query as syllable ends, like
// the apostrophe, so that syllables typed apart form one keyword; its
// keywords are separated by "，", "、" or "," instead. CheckQuery has
// split the query at its spaces: the keywords are joined again with "'"
// and split at those separators.
Keywords PinyinKeywords(const Keywords& keywords) {
  Keywords out(1);
  for (const std::u16string& keyword : keywords) {
    if (!out.back().empty()) out.back() += u'\'';
    for (const char16_t u : keyword) {
      if (u != kIdiomComma && u != kListSeparator && u != u',') {
        out.back() += u;
      } else if (!out.back().empty()) {
        out.emplace_back();
      }
    }
  }
  if (out.back().empty()) out.pop_back();
  return out;
}

}  // namespace

KeywordRule ClassifyKeyword(std::u16string_view keyword, SearchMode mode) {
  switch (mode) {
    case SearchMode::Fuzzy: return KeywordRule::OrderedFuzzy;
    case SearchMode::Mixed: return KeywordRule::Mixed;
    case SearchMode::Meaning: return KeywordRule::MeaningContains;
    case SearchMode::Source: return KeywordRule::SourceContains;
    case SearchMode::Pinyin: return KeywordRule::PinyinSyllables;
    case SearchMode::Pattern: return KeywordRule::StructurePattern;
    case SearchMode::Precise:
    case SearchMode::Chain:
    case SearchMode::Folded: break;
  }
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

Error PrepareViews(IdiomViews& views, const IdiomTable& table, SearchMode mode) {
  switch (mode) {
    case SearchMode::Pinyin:
    case SearchMode::Chain:
      views.buildSyllables(table);
      return {};
    case SearchMode::Folded:
      return views.buildFolded(table);
    default:
      return {};
  }
}

Result<SearchOutcome> RunSearch(const IdiomTable& table, const IdiomViews& views, const Keywords& keywords,
                                SearchMode mode) {
  SearchOutcome out;
  const int32_t size = table.size();
  const bool folded = mode == SearchMode::Folded;
  const bool syllables = mode == SearchMode::Pinyin || mode == SearchMode::Chain;
  if ((folded && (views.folded() == nullptr || views.folded()->idioms().size() != size)) ||
      (syllables && (views.syllables() == nullptr || views.syllables()->size() != size))) {
    return MakeError(ErrorKind::BadInput, TR("the views this search reads were not made for this table"));
  }
  out.Matched.assign(static_cast<size_t>(size), 0);
  HitMarks& marks = out.Matched;
  int32_t& hits = out.hitCount;

  // The idiom text the precise rules read: the table's own, or its idioms
  // in simplified characters.
  const IdiomTexts idioms = folded ? IdiomTexts{views.folded()->idioms(), views.folded()->chars()}
                                   : IdiomTexts{table.column(Field::Idiom), table.chars()};
  if (mode == SearchMode::Chain) {
    const auto first = std::find_if(keywords.begin(), keywords.end(), [](const auto& k) { return !k.empty(); });
    if (first != keywords.end() && size > 0) RunChain(table, *views.syllables(), *first, out);
  }

  // A keyword typed twice finds nothing new: each is searched once, so no
  // query makes a search cost more than one pass per distinct keyword.
  std::unordered_set<std::u16string_view> searched;
  // The chain has taken its keyword already; the loop is for the others.
  const Keywords none;
  const Keywords pinyin = mode == SearchMode::Pinyin ? PinyinKeywords(keywords) : none;
  if (mode == SearchMode::Pinyin && pinyin.empty()) out.notice = std::u16string(kPinyinNotice);
  for (const std::u16string& keyword : mode == SearchMode::Chain    ? none
                                       : mode == SearchMode::Pinyin ? pinyin
                                                                    : keywords) {
    if (keyword.empty() || !searched.insert(keyword).second) continue;
    std::u16string simplified;
    if (folded) {
      // OpenCC reads C strings: a NUL would cut the keyword short, and what
      // is left could find far more than was asked for.
      if (keyword.find(u'\0') != std::u16string::npos) continue;
      Result<std::u16string> s = ToSimplified(keyword);
      if (!s.ok()) return s.error();
      simplified = std::move(s).value();
      if (simplified.empty()) continue;
    }
    const std::u16string_view key = folded ? std::u16string_view(simplified) : std::u16string_view(keyword);
    const KeywordRule rule = ClassifyKeyword(key, mode);
    if (rule == KeywordRule::All) {
      if (keywords.size() > 1) out.notice = std::u16string(kLoneStarNotice);
      std::fill(marks.begin(), marks.end(), uint8_t{1});
      hits = size;
      out.all = true;
      break;
    }
    switch (rule) {
      case KeywordRule::TextContains:
        idioms.idioms.markContaining(key, marks, hits);
        // A record is found by its other written forms too: its variants,
        // the first list of the rest of its line ("#variants#near#...").
        if (!folded && key.find(kListSeparator) == std::u16string_view::npos) {
          table.rest().markContainingWhere(key, marks, hits, [&](std::u16string_view rest, size_t at) {
            return at > 0 && rest.substr(1, at - 1).find(kFieldSeparator) == std::u16string_view::npos &&
                   rest.substr(1, at + key.size() - 1).find(kFieldSeparator) == std::u16string_view::npos;
          });
        }
        break;
      case KeywordRule::MeaningContains:
        table.column(Field::Meaning).markContaining(key, marks, hits);
        break;
      case KeywordRule::SourceContains:
        table.column(Field::Source).markContaining(key, marks, hits);
        break;
      case KeywordRule::InitialsContains:
        table.column(Field::Initials).markContaining(key.substr(1), marks, hits);
        break;
      case KeywordRule::InitialsPrefix:
        MarkEach(size, marks, hits, [&, initials = table.column(Field::Initials).view()](int32_t i) {
          return initials.at(i).substr(0, key.size()) == key;
        });
        break;
      case KeywordRule::WildcardPrefix:
        MarkEach(size, marks, hits,
                 [&, chars = idioms.chars.view()](int32_t i) { return WildcardPrefixMatch(chars.at(i), key); });
        break;
      case KeywordRule::Length: {
        const int32_t last = static_cast<int32_t>(key.size()) - 1;
        MarkEach(size, marks, hits,
                 [&, chars = idioms.chars.view()](int32_t i) { return static_cast<int32_t>(chars.length(i)) - 1 == last; });
        break;
      }
      case KeywordRule::OrderedFuzzy:
        MarkEach(size, marks, hits,
                 [&, chars = table.chars().view()](int32_t i) { return OrderedFuzzyMatch(chars.at(i), key); });
        break;
      case KeywordRule::Mixed: {
        const std::vector<CharNeed> needs = NeedsOf(key);
        MarkEach(size, marks, hits, [&, chars = table.chars().view()](int32_t i) {
          return MixedMatch(chars.at(i), needs, key.size());
        });
        break;
      }
      case KeywordRule::PinyinSyllables:
        if (const Result<PinyinKey> parsed = ParsePinyinKey(key); !parsed.ok()) {
          out.notice = std::u16string(kPinyinNotice);
        } else if (size > 0) {
          views.syllables()->markMatching(*parsed, marks, hits);
        }
        break;
      case KeywordRule::StructurePattern: {
        const Pattern pattern(key);
        MarkEach(size, marks, hits,
                 [&, chars = table.chars().view()](int32_t i) { return pattern.matches(chars.at(i)); });
        break;
      }
      case KeywordRule::MisplacedPinyinWildcard:
        out.notice = std::u16string(kPinyinWildcardNotice);
        break;
      case KeywordRule::All:
        break;
    }
  }

  out.label = out.all ? u"全部成语，一共 " + Decimal(hits) + u" 个！"
                      : u"共查到 " + Decimal(hits) + u" 个成语！";
  if (hits > 0) {
    out.FillBatch = hits >= kSliceThreshold ? kSliceRecords : size;
  } else if (mode == SearchMode::Fuzzy) {
    out.notice = std::u16string(kFuzzyTooltip);
  } else if (mode == SearchMode::Mixed) {
    out.notice = std::u16string(kMixedTooltip);
  }
  return out;
}

}  // namespace tessaly
