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
};
inline constexpr int kFindingKinds = 6;

// FindingName returns the kind's name for a report, in Chinese (UTF-8).
const char* FindingName(FindingKind kind);

// One fault of one record. What it names lies in the table it was found
// in; Describe says it in words.
struct Finding {
  int32_t record = 0;  // table index; the line number is record + 1
  FindingKind kind = FindingKind::Initials;
  std::u16string_view text;  // the syllable or the field at fault
  int32_t other = 0;         // Duplicate: the record of the first one; EmptyOfText: the field
};

// Describe returns what is wrong, in Chinese (UTF-8): the initials the
// pinyin gives, the syllable, the numbers of syllables and characters, the
// line of the first one, the field.
std::string Describe(const Finding& finding, const IdiomTable& table);

// AppendReportLine appends the report's line for `finding` to `out`:
// "第 N 行 idiom：kind：what" and a line end.
void AppendReportLine(std::string& out, const Finding& finding, const IdiomTable& table);

// How many findings of each kind, indexed by FindingKind.
using StrictCounts = std::array<int64_t, kFindingKinds>;

using FindingSink = std::function<void(const Finding&)>;

// CheckRecords hands `onFinding` every fault of every record of `table`,
// in record order (within a record in the order of the kinds, the
// duplicate before the fields without text), always on the calling thread, and returns the counts per kind.
// A large table is checked as two halves at once where a second thread can
// be started; what the second half finds waits in a queue of bounded size,
// so memory stays bounded however many faults there are.
Result<StrictCounts> CheckRecords(const IdiomTable& table, const FindingSink& onFinding);

// ReportRecords writes the report of CheckRecords to `sink`, one line per
// finding (AppendReportLine), in pieces of about 64 KiB.
Result<StrictCounts> ReportRecords(const IdiomTable& table, const std::function<void(std::string_view)>& sink);

}  // namespace tessaly
