// The strict check of an idiom table: what a table can get wrong although
// it loads, line by line (tessaly-find --check --strict, tessaly-import
// --strict).
//
//   for (const Finding& f : CheckRecords(table)) print(f.record + 1, f.what);
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// Report hands `sink` the report, one line per finding, "第 N 行
// idiom：kind：what", a large piece at a time.
void Report(const std::vector<Finding>& findings, const IdiomTable& table,
            const std::function<void(std::string_view)>& sink);

// IsPinyinSyllable tells whether `letters` (plain lower-case letters, ü as
// v) is a syllable of Hanyu Pinyin.
bool IsPinyinSyllable(std::string_view letters);

// ToneMarkLetter returns the index in `letters` of the letter that carries
// the tone mark in Hanyu Pinyin: a or e where there is one, the o of "ou",
// otherwise the last vowel (so "iu" marks u and "ui" marks i); the m or n of
// a syllable without vowel.
int ToneMarkLetter(std::string_view letters);

// CheckRecords returns every fault of every record of `table`, in record
// order, and in `counts` how many of each kind. A large table is checked
// as two halves at once.
std::vector<Finding> CheckRecords(const IdiomTable& table, std::array<int64_t, kFindingKinds>& counts);

}  // namespace tessaly
