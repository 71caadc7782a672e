// Every search of the program in one list: the five of the window's
// buttons and the four of its menu 更多查找. Each is a row: its mode, its
// name on the command line, what --help and the menu say of it, the views
// it reads and its matcher. The window's menu, the command-line parser and
// its --help, the bash completion, the fuzz target and the benchmark all
// read this list; RunSearch (search_engine.h) runs a row.
//
//   for (const SearchKind* kind : Searches()) print(kind->name);
//   const SearchKind* pinyin = FindSearch("pinyin");
//
// A new search is one more row: its matcher file in search/searches/
// defines the row, searches.cpp lists it, and its test rows go into
// tests/search_engine_test.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "error.h"
#include "idiom_table.h"
#include "query.h"

namespace tessaly {

// The searches by number: the five buttons number theirs 1, 2, 3, 20 and
// 30; the menu's are numbered on from 40.
enum class SearchMode : int32_t {
  Precise = 1,   // the form of each keyword picks the rule
  Fuzzy = 2,     // keyword characters in order, not necessarily adjacent
  Mixed = 3,     // keyword characters in any order, each occurrence used once
  Meaning = 20,  // the meaning field contains the keyword
  Source = 30,   // the source field contains the keyword
  Pinyin = 40,   // full pinyin, tones optional: yixinyiyi, yi1xin1, xi'an
  Pattern = 50,  // the idiom's shape: aabb, abac, 一a一b, ****
  Chain = 60,    // 成语接龙: idioms that begin where the first keyword ends
  Folded = 70,   // the precise search with traditional and simplified alike
};

// What a search found and what the window shows for it.
struct SearchOutcome {
  HitMarks Matched;      // one mark per record of the table
  int32_t hitCount = 0;
  bool all = false;      // a lone "*" listed the whole table
  std::u16string label;  // the hit-count caption
  // The notice for the status line; none leaves the author line on show.
  std::optional<std::u16string> notice;
  // Records per filling tick (see ResultFiller); 0 when there is nothing to
  // list.
  int32_t FillBatch = 0;
};

// The views of a table a search reads (IdiomViews, idiom_views.h), as bits.
enum SearchViews : uint8_t {
  kNoViews = 0,
  kSyllableView = 1,  // every record's pinyin read as syllables
  kFoldedView = 2,    // every idiom in simplified characters
};

// What a matcher sees: the table, its views, and the keywords as typed.
struct SearchContext;

// A matcher marks in `out` the records not marked yet that `keyword`
// finds, counts them and sets the notice where it has one; it may end the
// search (out.all). An Error stops the search.
using KeywordMatcher = Error (*)(const SearchContext& on, std::u16string_view keyword, SearchOutcome& out);
// A grouper makes the keywords a search looks for from those typed (the
// pinyin search reads spaces as syllable ends); it may set a notice.
using KeywordGrouper = Keywords (*)(const Keywords& typed, SearchOutcome& out);

struct SearchKind {
  SearchMode mode = SearchMode::Precise;
  std::string_view name = {};         // on the command line: --mode=NAME
  const char* help = nullptr;         // what --help says of it (English; the catalogue translates)
  std::u16string_view example = {};  // a keyword that shows what it does
  std::u16string_view menu = {};     // its item in the menu 更多查找; empty for a button's search
  bool fromShown = false;       // run from the idiom on show (the chain)
  uint8_t views = kNoViews;     // SearchViews it reads
  KeywordGrouper group = nullptr;  // null: each typed keyword as it is
  KeywordMatcher match = nullptr;
  std::u16string_view noHits = {};  // the status line when nothing is found; empty: none
};

// Searches returns every search, the buttons' first, then the menu's in
// menu order.
std::span<const SearchKind* const> Searches();

// FindSearch returns the search of `mode`, or of the command-line `name`;
// null when there is none.
const SearchKind* FindSearch(SearchMode mode);
const SearchKind* FindSearch(std::string_view name);

}  // namespace tessaly
