// The idiom table: every record of cy.dat in file order, kept column by
// column.
//
// A record is one line of cy.dat, split at every "#":
//
//   idiom#initials#pinyin#meaning#source#example[#anything more]
//
//   const IdiomTable& table = LoadIdiomFile("cy.dat").table;   // idiom_file.h
//   std::u16string_view meaning = table.field(0, Field::Meaning);
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

class SyllableIndex;

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

// IdiomTable holds all records. The text of each field of all records
// lies back to back in one buffer, so that a contains-search is one find
// over a whole column, and a record costs a few offsets besides its text:
// two bytes per UTF-16 code unit and 32 bytes per record, nothing else.
class IdiomTable {
 public:
  IdiomTable();
  ~IdiomTable();
  IdiomTable(IdiomTable&& other) noexcept;
  IdiomTable& operator=(IdiomTable&& other) noexcept;
  IdiomTable(const IdiomTable&) = delete;             // tables are large: move them
  IdiomTable& operator=(const IdiomTable&) = delete;  // tables are large: move them

  int32_t size() const { return m_size; }
  bool empty() const { return m_size == 0; }

  // field returns field `f` of record `i`.
  std::u16string_view field(int32_t i, Field f) const { return column(static_cast<int>(f)).at(i); }
  // IdiomChars returns field 0 of record `i` without its "，".
  std::u16string_view IdiomChars(int32_t i) const { return column(kChars).at(i); }
  // IdiomLast returns the last index of IdiomChars(i).
  int32_t IdiomLast(int32_t i) const { return static_cast<int32_t>(column(kChars).length(i)) - 1; }

  // record returns record `i` with all its fields; Matched is read from
  // `marks` when given.
  IdiomRecord record(int32_t i, const HitMarks* marks = nullptr) const;

  // markContaining sets the mark of every record not yet marked whose field
  // `f` contains `needle`, and counts them in `hits`. One find runs over the
  // whole column; a find that straddles two records is not a hit.
  void markContaining(Field f, std::u16string_view needle, HitMarks& marks, int32_t& hits) const;
  // columnText returns the text of field `f` of all records back to back
  // (for measuring the searches against a plain find).
  std::u16string_view columnText(Field f) const { return column(static_cast<int>(f)).text(); }

  // appendLine splits `line` (one line of cy.dat without its line end) at
  // every "#" and appends it as the next record. Returns false, without
  // appending, when the line is not a valid record. Tests and benchmarks
  // build tables in memory with it; files load through idiom_file.h.
  bool appendLine(std::u16string_view line);

  // append puts the records of `tail` behind this table's (a file read in
  // two halves at once). `tail` is left empty.
  void append(IdiomTable&& tail);

  // memoryBytes returns the heap memory the table holds: once loaded, two
  // bytes per UTF-16 code unit of text plus 32 bytes of offsets per record.
  // What searches make of the table (below) is not counted.
  size_t memoryBytes() const;

  // syllables returns the pinyin of every record read as syllables, and
  // folded the table's idioms in simplified characters (its other fields
  // are "-"). Each is made on its first use, on the thread that searches,
  // and kept with the table; the searches that need neither never pay
  // for them.
  const SyllableIndex& syllables() const;
  const IdiomTable& folded() const;

  class Appender;

 private:
  // One column: the texts of one field of every record, back to back;
  // record i's text is [starts[i], starts[i + 1]). Buffers are grown with
  // realloc, which moves large blocks by remapping pages instead of copying
  // them, and nothing is zero-filled.
  class Column {
   public:
    Column() = default;
    ~Column();
    Column(Column&& other) noexcept;
    Column& operator=(Column&& other) noexcept;
    Column(const Column&) = delete;             // owns its buffers
    Column& operator=(const Column&) = delete;  // owns its buffers

    std::u16string_view text() const { return {m_text, m_size}; }
    std::u16string_view at(int32_t i) const { return {m_text + m_starts[i], length(i)}; }
    uint32_t length(int32_t i) const { return m_starts[i + 1] - m_starts[i]; }
    const uint32_t* starts() const { return m_starts; }

    // room makes sure `units` more code units and one more record fit.
    void room(size_t units, size_t records);
    char16_t* end() { return m_text + m_size; }
    // close ends the current record at `end`.
    void close(const char16_t* end) {
      m_size = static_cast<size_t>(end - m_text);
      m_starts[++m_count] = static_cast<uint32_t>(m_size);
    }
    // truncate forgets the records from `records` on.
    void truncate(size_t records);
    // append puts the records of `tail` behind this column's.
    void append(const Column& tail);
    // fit gives back the room growth left unused.
    void fit();
    size_t bytes() const { return m_capacity * sizeof(char16_t) + (m_startsCapacity) * sizeof(uint32_t); }

   private:
    char16_t* m_text = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
    uint32_t* m_starts = nullptr;  // m_count + 1 entries; starts[0] is 0
    size_t m_count = 0;            // records
    size_t m_startsCapacity = 0;
  };

  static constexpr int kChars = kFieldCount;     // IdiomChars
  static constexpr int kRest = kFieldCount + 1;  // "#" and fields 6 and up
  static constexpr int kColumns = kFieldCount + 2;

  const Column& column(int c) const { return m_columns[static_cast<size_t>(c)]; }

  std::array<Column, kColumns> m_columns;
  int32_t m_size = 0;
  mutable std::unique_ptr<SyllableIndex> m_syllables;
  mutable std::unique_ptr<IdiomTable> m_folded;
};

// IdiomTable::Appender writes records straight into the columns of a table,
// so that a loader decodes each field in place instead of copying it.
// room() makes space for a piece of text; then, for each record, each
// field's text is written from out(f) and ended with end(f, pointer),
// fields 0 to 5 in order and then the rest ("" or "#" and fields 6 and up),
// and commit() counts it. A record not committed is dropped by drop().
// finish() gives back unused room.
class IdiomTable::Appender {
 public:
  explicit Appender(IdiomTable& table);
  Appender(const Appender&) = delete;             // writes into one table
  Appender& operator=(const Appender&) = delete;  // writes into one table

  // room makes sure that up to `records` records of together up to `units`
  // code units fit.
  void room(size_t units, size_t records);
  // out returns where the text of field `column` (0 to 5, or 7 for the
  // rest) goes; end ends it.
  char16_t* out(int column) { return m_table.m_columns[static_cast<size_t>(column)].end(); }
  void end(int column, const char16_t* end) { m_table.m_columns[static_cast<size_t>(column)].close(end); }
  // commit makes IdiomChars from field 0 and counts the record. Returns
  // false, counting nothing, when field 0 holds nothing but "，".
  bool commit();
  // drop forgets the fields written since the last commit.
  void drop();
  void finish();

  static constexpr int kRestColumn = kRest;

 private:
  IdiomTable& m_table;
};

}  // namespace tessaly
