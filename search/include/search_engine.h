// The search engine: marks the records of the idiom table that match the
// keywords of a query, and says what the window shows about it.
//
//   IdiomViews views;                      // nothing to build for the precise search
//   Result<SearchOutcome> o = RunSearch(table, views, CheckQuery(u"*心*意")->keywords,
//                                       SearchMode::Precise);
//   // o->hitCount, o->label == u"共查到 1 个成语！", o->Matched[i] for each record
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "error.h"
#include "idiom_table.h"
#include "idiom_views.h"
#include "query.h"
#include "searches.h"

namespace tessaly {

// The rule the precise search (and 简繁通查) matches a keyword with, by the
// keyword's form.
enum class KeywordRule {
  TextContains,             // field 0, "，" included, or one of its variants contains the keyword
  WildcardPrefix,           // "*" stands for one character, idiom may run on
  Length,                   // only stars: idioms of exactly that many characters
  All,                      // a lone "*": the whole table
  InitialsPrefix,           // only letters: the initials begin with them
  InitialsContains,         // "*" then letters: the initials contain the letters
  MisplacedPinyinWildcard,  // letters with a "*" elsewhere: finds nothing
};

// ClassifyKeyword returns the precise rule for `keyword`.
KeywordRule ClassifyKeyword(std::u16string_view keyword);

// The status line texts a search may print, and the two search buttons'
// tooltips (shown in the status line when their search finds nothing).
inline constexpr std::u16string_view kPinyinWildcardNotice =
    u"通配符 * 在拼音查询中只能放在第一个位置，表示所有包含这个拼音的成语；拼音中的其他位置 * 无效";
inline constexpr std::u16string_view kLoneStarNotice =
    u" * 作为单字通配符时不能前后同时空格。单个 * 关键字会显示全部词库，其他关键字将无效！";
// The pinyin search's notice for a keyword it cannot read as pinyin.
inline constexpr std::u16string_view kPinyinNotice =
    u"全拼查找，音节间可空格，声调可加数字 1-5；汉字或通配符无效，多个关键字用“，”或“、”分开";
inline constexpr std::u16string_view kFuzzyTooltip = u"顺序模糊包含关键字；拼音或通配符无效";
inline constexpr std::u16string_view kMixedTooltip = u"混序模糊包含关键字；拼音或通配符无效";

// Records looked at per filling tick once a search has this many hits.
inline constexpr int32_t kSliceThreshold = 2000;
inline constexpr int32_t kSliceRecords = 500;

// CountCaption returns the hit-count caption for `hits`: "共查到 n 个成语！",
// or after a lone "*" (`all`) "全部成语，一共 n 个！".
std::u16string CountCaption(int32_t hits, bool all);

// RunSearch matches `keywords` against `table` in `mode` (the row of
// searches.h). Keywords combine as a union; a record found by an earlier
// keyword is not looked at again, and a keyword typed twice is searched
// once. An empty keyword matches nothing; an empty table gives 0 hits.
// Running out of memory is an OutOfMemory error.
//
// Pinyin: a record's pinyin read as syllables (letters without marks, ü as
// v, each with the tone of its marked vowel, 5 without one); the keyword's
// letters equal the letters from the start of one syllable on, read on
// without gaps, and may end inside a syllable. A tone digit (1 to 5, 0 for
// 5) must follow the last letter of a syllable of that tone, an apostrophe
// the last letter of any syllable (ParsePinyinKey, syllable_index.h, reads
// the typed forms). The keywords are regrouped first: a space between two
// keywords ends a syllable as an apostrophe does, so "yi xin yi yi" is the
// one keyword "yi'xin'yi'yi", and "，", "、" or "," separate keywords
// instead. A keyword that is not pinyin finds nothing and gives the notice
// kPinyinNotice.
// Pattern: the idiom without "，" has the keyword's length; a lower-case
// letter stands for one character (the same letter for the same character,
// different letters for different ones), "*" for any, anything else for
// itself, one position per UTF-16 unit.
// Chain: from the first keyword, the text to chain from: the records whose
// idiom begins with its last character (the text itself excepted); when
// there is none and the text is an idiom of the table, the records whose
// first syllable has the letters of its last one. The notice says which
// link was used, and how many records it found.
// Folded: the precise search, the keyword and the idioms compared in
// simplified characters; a keyword holding NUL finds nothing.
//
// The pinyin search and the chain read the views' syllables, 简繁通查 its
// folded idioms: `views` must be the table's, prepared for `mode`
// (PrepareViews); otherwise RunSearch fails with BadInput. A keyword that
// cannot be folded for want of OpenCC's data is a MissingData error.
Result<SearchOutcome> RunSearch(const IdiomTable& table, const IdiomViews& views, const Keywords& keywords,
                                SearchMode mode);

// PrepareViews builds the views of `table` that `mode` reads and `views`
// does not hold yet: the syllables for Pinyin and Chain, the folded idioms
// for Folded (a MissingData error without OpenCC's data). The other
// searches read none.
Error PrepareViews(IdiomViews& views, const IdiomTable& table, SearchMode mode);

}  // namespace tessaly
