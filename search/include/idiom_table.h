// The idiom table: every record of cy.dat in file order, kept column by
// column. The table is plain data; what searches derive from it (the
// syllable index, the idioms in simplified characters) lives beside it in
// IdiomViews (idiom_views.h).
//
// A record is one line of cy.dat, split at every "#":
//
//   idiom#initials#pinyin#meaning#source#example[#variants#near#opposite...]
//
//   Result<IdiomTable> loaded = LoadIdiomFile("cy.dat");   // idiom_file.h
//   std::u16string_view meaning = loaded->field(0, Field::Meaning);
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// The six fields every record has, in the order of the line.
enum class Field : int {
  Idiom = 0,     // the idiom as shown, a longer saying with "，" between its halves
  Initials = 1,  // pinyin initials, lower-case ASCII letters
  Pinyin = 2,    // pinyin with tone marks
  Meaning = 3,
  Source = 4,
  Example = 5,
};
inline constexpr int kFieldCount = 6;

// Every "#" of a line separates fields; "，" between the halves of a longer
// saying is skipped by the searches that read characters (IdiomChars).
inline constexpr char16_t kFieldSeparator = u'#';
inline constexpr char16_t kIdiomComma = u'\uFF0C';

// Fields a record may carry after the six, by number: other written forms
// of the idiom, idioms of near and of opposite meaning, each a list
// separated by "、". Older readers keep them as they keep any further field.
inline constexpr int kVariantsField = 6;
inline constexpr int kNearField = 7;
inline constexpr int kOppositeField = 8;
inline constexpr char16_t kListSeparator = u'\u3001';  // 、

// The search mark of each record, indexed like the table: 1 for a hit of
// the last search, 0 otherwise.
using HitMarks = std::vector<uint8_t>;

// The table index behind each row of the result list, rising strictly.
using ResultRows = std::vector<int32_t>;

// IdiomRecord is one line of cy.dat. The texts are views into the table
// that made the record and stay valid as long as that table.
struct IdiomRecord {
  std::vector<std::u16string_view> Fields;  // every field as split, 0 up
  std::u16string_view IdiomChars;           // field 0 without any "，"
  int32_t IdiomLast = 0;                    // last index of IdiomChars
  bool Matched = false;                     // the record's hit mark
};

// TextColumn holds one text of every record back to back; record i's text
// is [starts[i], starts[i + 1]). Buffers grow with realloc, which moves
// large blocks by remapping pages instead of copying them, and nothing is
// zero-filled: a column costs its text and four bytes per record.
class TextColumn {
 public:
  TextColumn() = default;
  ~TextColumn();
  TextColumn(TextColumn&& other) noexcept;
  TextColumn& operator=(TextColumn&& other) noexcept;
  TextColumn(const TextColumn&) = delete;             // owns its buffers
  TextColumn& operator=(const TextColumn&) = delete;  // owns its buffers

  int32_t size() const { return static_cast<int32_t>(m_count); }
  std::u16string_view text() const { return {m_text, m_size}; }
  std::u16string_view at(int32_t i) const { return {m_text + m_starts[i], length(i)}; }
  uint32_t length(int32_t i) const { return m_starts[i + 1] - m_starts[i]; }
  // The column as two plain pointers, for loops over every record: held in
  // locals, they are not read again after each byte a loop writes (a byte
  // store may alias anything reached through a reference).
  struct View {
    const char16_t* text;
    const uint32_t* starts;
    std::u16string_view at(int32_t i) const { return {text + starts[i], starts[i + 1] - starts[i]}; }
    uint32_t length(int32_t i) const { return starts[i + 1] - starts[i]; }
  };
  View view() const { return {m_text, m_starts}; }

  // markContaining sets the mark of every record not yet marked whose text
  // contains `needle`, and counts them in `hits`. One find runs over the
  // whole column; a find that straddles two records is not a hit.
  void markContaining(std::u16string_view needle, std::vector<uint8_t>& marks, int32_t& hits) const {
    markContainingWhere(needle, marks, hits, [](std::u16string_view, size_t) { return true; });
  }
  // markContainingWhere does the same for the records where
  // `counts(text, at)` holds for the find at `at` of the record's `text`.
  template <typename Counts>
  void markContainingWhere(std::u16string_view needle, std::vector<uint8_t>& marks, int32_t& hits,
                           Counts&& counts) const;

  size_t bytes() const { return m_capacity * sizeof(char16_t) + m_startsCapacity * sizeof(uint32_t); }

 private:
  // The loader and the views write a column through ColumnWriter
  // (table_writer.h); readers see only what is written.
  friend class ColumnWriter;
  friend class TableWriter;

  // Writing. room() makes sure `units` more
  // code units fit after the open text (end()); extend() moves the open
  // text's end after units written there; close() ends the open text as
  // the next record's. Room a text does not use is never touched.
  void room(size_t units) {
    if (m_capacity - m_size < units) grow(units);
  }
  char16_t* end() { return m_text + m_size; }
  void extend(const char16_t* end) { m_size = static_cast<size_t>(end - m_text); }
  void close(const char16_t* end) {
    if (m_startsCapacity < m_count + 2) growStarts();
    m_size = static_cast<size_t>(end - m_text);
    m_starts[++m_count] = static_cast<uint32_t>(m_size);
  }
  void close() { close(this->end()); }
  // closeReserved is close() where startsLeft() is known to be above 0.
  void closeReserved(const char16_t* end) {
    m_size = static_cast<size_t>(end - m_text);
    m_starts[++m_count] = static_cast<uint32_t>(m_size);
  }
  // startsLeft is how many more records fit before the offsets grow;
  // reserveStarts makes room for `records` more.
  size_t startsLeft() const { return m_startsCapacity > m_count + 1 ? m_startsCapacity - m_count - 1 : 0; }
  void reserveStarts(size_t records) {
    while (startsLeft() < records) growStarts();
  }
  // truncate forgets the records from `records` on, and the open text.
  void truncate(size_t records);
  // append puts the records of `tail` behind this column's.
  void append(const TextColumn& tail);
  // fit gives back the room growth left unused.
  void fit();
  void grow(size_t units);
  void growStarts();

  char16_t* m_text = nullptr;
  size_t m_size = 0;
  size_t m_capacity = 0;
  uint32_t* m_starts = nullptr;  // m_count + 1 entries; starts[0] is 0
  size_t m_count = 0;            // records
  size_t m_startsCapacity = 0;
};

template <typename Counts>
void TextColumn::markContainingWhere(std::u16string_view needle, std::vector<uint8_t>& marks, int32_t& hits,
                                     Counts&& counts) const {
  if (m_count == 0 || needle.empty()) return;
  const std::u16string_view all = text();
  const uint32_t* const starts = m_starts;
  const uint32_t* const startsEnd = starts + m_count + 1;
  const uint32_t* record = starts;
  size_t pos = 0;
  while ((pos = all.find(needle, pos)) != std::u16string_view::npos) {
    record = std::upper_bound(record, startsEnd, pos) - 1;
    const auto r = static_cast<size_t>(record - starts);
    const size_t begin = *record;
    const size_t end = *(record + 1);
    if (pos + needle.size() <= end && !marks[r] && counts(all.substr(begin, end - begin), pos - begin)) {
      marks[r] = 1;
      ++hits;
      // After a hit the search goes on at the next record.
      pos = end;
    } else if (pos + needle.size() <= end && marks[r]) {
      pos = end;
    } else {
      ++pos;
    }
  }
}

// IdiomTable holds all records. The text of each field of all records
// lies back to back in one column, so that a contains-search is one find
// over a whole column, and a record costs a few offsets besides its text:
// two bytes per UTF-16 code unit and 32 bytes per record, nothing else.
class IdiomTable {
 public:
  IdiomTable() = default;
  IdiomTable(IdiomTable&& other) noexcept;
  IdiomTable& operator=(IdiomTable&& other) noexcept;
  IdiomTable(const IdiomTable&) = delete;             // tables are large: move them
  IdiomTable& operator=(const IdiomTable&) = delete;  // tables are large: move them

  int32_t size() const { return m_size; }
  bool empty() const { return m_size == 0; }

  // field returns field `f` of record `i`.
  std::u16string_view field(int32_t i, Field f) const { return column(f).at(i); }
  // IdiomChars returns field 0 of record `i` without its "，".
  std::u16string_view IdiomChars(int32_t i) const { return chars().at(i); }
  // IdiomLast returns the last index of IdiomChars(i).
  int32_t IdiomLast(int32_t i) const { return static_cast<int32_t>(chars().length(i)) - 1; }
  // extra returns field `number` (6 and up) of record `i`, empty when the
  // record has no such field.
  std::u16string_view extra(int32_t i, int number) const;

  // record returns record `i` with all its fields; Matched is read from
  // `marks` when given.
  IdiomRecord record(int32_t i, const HitMarks* marks = nullptr) const;

  // The columns: one per field, IdiomChars, and the rest of each line ("#"
  // and fields 6 and up, or nothing).
  const TextColumn& column(Field f) const { return m_columns[static_cast<size_t>(f)]; }
  const TextColumn& chars() const { return m_columns[kChars]; }
  const TextColumn& rest() const { return m_columns[kRest]; }

  // memoryBytes returns the heap memory the table holds: once loaded, two
  // bytes per UTF-16 code unit of text plus 32 bytes of offsets per record.
  size_t memoryBytes() const;

 private:
  friend class TableWriter;  // the loader's way in (table_writer.h)

  static constexpr size_t kChars = kFieldCount;     // IdiomChars
  static constexpr size_t kRest = kFieldCount + 1;  // "#" and fields 6 and up
  static constexpr size_t kColumns = kFieldCount + 2;

  std::array<TextColumn, kColumns> m_columns;
  int32_t m_size = 0;
};

}  // namespace tessaly
