// The strict check of an idiom table: what a table can get wrong although
// it loads, line by line (tessaly-find --check --strict, tessaly-import
// --strict).
//
//   Result<StrictCounts> counts = ReportRecords(table, [](std::string_view lines) { print(lines); });
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "error.h"
#include "idiom_table.h"

namespace tessaly {

// The kinds of fault the strict check finds.
enum class FindingKind {
  Initials,      // the initials are not the first letters of the pinyin's syllables
  NotPinyin,     // a syllable that is not Hanyu Pinyin, or a letter pinyin has not
  ToneMark,      // a tone mark on the wrong letter, or more than one in a syllable
  Syllables,     // not one syllable per character of the idiom ("，" skipped)
  Duplicate,     // the idiom stands on an earlier line already
  EmptyOfText,   // a field of nothing but punctuation, or "无" where text is needed
  Reading,       // a syllable that is none of its character's readings
  WordReading,   // a two-character word read otherwise than where it first stood
  Example,       // the example uses neither the idiom nor one of its variants
  SourceFormat,  // a source that is neither "无" nor 朝代·作者《书名·篇名》…：“原文”
  UnknownRelative,    // a near or opposite idiom that is no record of the table
  OneWayRelative,     // a near or opposite idiom that does not name this one back
  VariantIsHeadword,  // a variant that is a record of the table itself
  VariantIsPart,      // a variant that is a part of its own idiom
  Reordered,          // the idiom is another's characters in another order (not a reviewed pair)
  TooManyNames,       // a list of near or opposite idioms longer than kMaxRelatives
  NeutralTone,        // a reviewed neutral-tone word read otherwise than listed
};
inline constexpr int kFindingKinds = 17;

// The most near or opposite idioms a record lists: the closest few.
inline constexpr int kMaxRelatives = 8;

// FindingName returns the kind's name for a report, in Chinese (UTF-8).
const char* FindingName(FindingKind kind);

// One fault of one record. What it names lies in the table it was found
// in; Describe says it in words.
struct Finding {
  int32_t record = 0;  // table index; the line number is record + 1
  FindingKind kind = FindingKind::Initials;
  // The syllable, the field, the word or the name at fault.
  std::u16string_view text;
  // Duplicate, WordReading and Reordered: the record where it first stood;
  // EmptyOfText, the relatives and TooManyNames: the field; Reading: the
  // character's index in the idiom; VariantIsHeadword: the variant's
  // record; NeutralTone: the index of the word's first character.
  int32_t other = 0;
};

// Describe returns what is wrong, in Chinese (UTF-8): the initials the
// pinyin gives, the syllable, the numbers of syllables and characters, the
// line of the first one, the field, the character's readings, the word's
// readings, the name.
std::string Describe(const Finding& finding, const IdiomTable& table);

// How many findings of each kind, indexed by FindingKind.
using StrictCounts = std::array<int64_t, kFindingKinds>;

// CheckRecords hands `onFinding` every fault of every record of `table`,
// in record order (within a record in the order of the kinds, the
// duplicate before the fields without text), always on the calling thread, and returns the counts per kind.
// Besides each record's own fields it holds every syllable against its
// character's readings, every two-character word against its reading
// where it first stood, and the near and opposite idioms against the
// table. A large table is checked as two halves at once where a second
// thread can be started; what the second half finds waits in a queue of bounded size,
// so memory stays bounded however many faults there are.
Result<StrictCounts> CheckRecords(const IdiomTable& table, const std::function<void(const Finding&)>& onFinding);

// ReportRecords writes the report of CheckRecords to `sink`, one line per
// finding, "line N idiom: kind: what" (a line break in a quoted text
// written \\n), in pieces of about 64 KiB.
Result<StrictCounts> ReportRecords(const IdiomTable& table, const std::function<void(std::string_view)>& sink);

}  // namespace tessaly
