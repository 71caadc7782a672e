// The idiom table: every record of cy.dat in file order, and its loader.
//
// cy.dat is GBK text, one idiom per line. A line ends with CR LF or with a
// lone CR; a lone LF stays inside the line. Every "#" separates fields:
//
//   idiom#initials#pinyin#meaning#source#example[#anything more]
//
// Fields 0 to 5 must exist and be non-empty, and field 0 must keep a
// character after every "，" has been taken out of it.
//
//   LoadResult loaded = LoadIdiomFile("cy.dat");
//   if (!loaded.ok()) show(loaded.error.message);
//   const IdiomTable& table = loaded.table;
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

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

// IdiomTable holds all records. Each field is kept column by column in one
// contiguous buffer, so that the contains-searches run one find over a
// whole column instead of one per record, and a record costs a few offsets
// besides its text.
class IdiomTable {
 public:
  static constexpr int kFieldCount = 6;  // fields every line must have

  int32_t size() const { return static_cast<int32_t>(m_columns[0].starts.size() - 1); }
  bool empty() const { return size() == 0; }

  // field returns field `f` (0 to 5) of record `i`.
  std::u16string_view field(int32_t i, int f) const { return m_columns[f].at(i); }
  // IdiomChars returns field 0 of record `i` without its "，".
  std::u16string_view IdiomChars(int32_t i) const { return m_columns[kCharsColumn].at(i); }
  // IdiomLast returns the last index of IdiomChars(i).
  int32_t IdiomLast(int32_t i) const {
    return static_cast<int32_t>(m_columns[kCharsColumn].length(i)) - 1;
  }

  // record returns record `i` with all its fields; Matched is read from
  // `marks` when given.
  IdiomRecord record(int32_t i, const HitMarks* marks = nullptr) const;

  // A column: the texts of one field of every record, back to back.
  // Record i's text is text[starts[i], starts[i + 1]).
  struct Column {
    std::u16string text;
    std::vector<uint32_t> starts{0};

    std::u16string_view at(int32_t i) const {
      return std::u16string_view(text).substr(starts[i], starts[i + 1] - starts[i]);
    }
    uint32_t length(int32_t i) const { return starts[i + 1] - starts[i]; }
  };
  // column returns the column of field `f` (0 to 5).
  const Column& column(int f) const { return m_columns[f]; }
  const Column& charsColumn() const { return m_columns[kCharsColumn]; }

  // appendLine splits `line` (one line of cy.dat without its line end) at
  // every "#" and appends it as the next record. Returns false, without
  // appending, when CheckLine rejects the line. The loader uses it; tests
  // and benchmarks build tables in memory with it.
  bool appendLine(std::u16string_view line);
  void reserve(size_t records, size_t codeUnits);
  // shrink gives back the room reserve and growth left unused.
  void shrink();
  // memoryBytes returns the heap memory the table holds: after shrink, two
  // bytes per UTF-16 code unit of text plus 32 bytes of offsets per record.
  size_t memoryBytes() const;

 private:
  static constexpr int kCharsColumn = kFieldCount;      // IdiomChars
  static constexpr int kRestColumn = kFieldCount + 1;   // "#" + fields 6 and up

  std::array<Column, kFieldCount + 2> m_columns;
};

// Why a load failed. Each kind names one way a file can be broken.
enum class LoadErrorKind {
  None,
  CannotOpen,       // the file is missing or cannot be opened
  NotRegularFile,   // a folder, a FIFO or a device, refused before reading
  ReadFailed,       // reading stopped with an I/O error
  TooLarge,         // larger than kMaxFileBytes
  BadEncoding,      // bytes that are not GBK text
  NulCharacter,     // a NUL character inside a line
  BlankLine,        // a line without any text
  TooFewFields,     // fewer than six "#"-separated fields
  EmptyField,       // one of fields 0 to 5 is empty
  IdiomOnlyCommas,  // field 0 is nothing but "，"
};

// LoadError says where and why a load failed. `line` counts from 1 (0 when
// the file as a whole failed); `field` is the empty field's number for
// EmptyField. `reason` is a short Chinese sentence for the user.
struct LoadError {
  LoadErrorKind kind = LoadErrorKind::None;
  int64_t line = 0;
  int field = -1;
  std::string reason;  // UTF-8
};

// LoadResult holds the table, or the error that stopped the load (the table
// is then empty: records before the faulty line are not kept).
struct LoadResult {
  IdiomTable table;
  LoadError error;
  bool ok() const { return error.kind == LoadErrorKind::None; }
};

// CheckLine returns why the decoded `line` (without its line end) is not a
// valid record, with kind None for a valid one. `lineNumber` is copied into
// the error.
LoadError CheckLine(std::u16string_view line, int64_t lineNumber);

// DecodeIdiomText decodes the bytes of a cy.dat file into `text`: GBK, or
// UTF-8 when an editor saved it so (a byte order mark, or bytes that are all
// well-formed UTF-8; real GBK Chinese text practically never is). Returns
// the BadEncoding error, with the line of the first bad byte, or kind None.
LoadError DecodeIdiomText(std::string_view bytes, std::u16string& text);

// ParseIdiomText loads a table from the bytes of a cy.dat file.
LoadResult ParseIdiomText(std::string_view bytes);

// One line that would stop the load: the error and the line's first
// characters (empty when the file as a whole failed).
struct LineProblem {
  LoadError error;
  std::u16string start;
};

// CheckIdiomText returns every line of a cy.dat file that would stop its
// load, in file order; an empty list means the file loads.
std::vector<LineProblem> CheckIdiomText(std::string_view bytes);

// ReadIdiomFile reads the whole file at `path` into `bytes`. Returns the
// CannotOpen, NotRegularFile, ReadFailed or TooLarge error, or kind None.
LoadError ReadIdiomFile(const std::filesystem::path& path, std::string& bytes);

// LoadIdiomFile reads and loads the file at `path`.
LoadResult LoadIdiomFile(const std::filesystem::path& path);

// ProgramFolder returns the folder of the running program file (empty when
// the platform cannot tell).
std::filesystem::path ProgramFolder();

// LoadIdiomTable loads cy.dat from the folder of the program file.
LoadResult LoadIdiomTable();

// UsesLfLineEnds tells whether a text ends its lines with a lone LF: it
// holds an LF and not a single CR, as Unix text files do. Text with any CR
// ends lines with CR LF or a lone CR, and an LF stays inside its line.
template <typename Char>
bool UsesLfLineEnds(std::basic_string_view<Char> text) {
  return text.find(Char('\r')) == text.npos && text.find(Char('\n')) != text.npos;
}

// SplitLines calls `onLine(line, number)` for each line of `text` as cy.dat
// counts lines: CR LF or a lone CR ends a line and a lone LF does not, or,
// in a text without any CR, LF ends a line. An end of text right after a
// line end starts no further line. `onLine` returns false to stop. Used by
// the loader and the file checker alike.
template <typename OnLine>
void SplitLines(std::u16string_view text, OnLine&& onLine) {
  // The first search for CR either finds one, or runs through the text and
  // shows that LF is the line end.
  size_t end = text.find(u'\r');
  const char16_t lineEnd = end == text.npos && text.find(u'\n') != text.npos ? u'\n' : u'\r';
  size_t pos = 0;
  int64_t number = 0;
  while (pos < text.size()) {
    if (end == text.npos || end < pos) end = text.find(lineEnd, pos);
    if (end == text.npos) end = text.size();
    ++number;
    if (!onLine(text.substr(pos, end - pos), number)) return;
    pos = end + 1;
    if (lineEnd == u'\r' && pos < text.size() && text[pos] == u'\n') ++pos;
  }
}

}  // namespace tessaly
