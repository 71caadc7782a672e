// The line and field checks of cy.dat: how the file is cut into lines, and
// what makes a line a record.
//
// A line ends with CR LF or a lone CR, and a lone LF stays inside it; a
// file without a single CR ends its lines with LF. Every "#" separates
// fields. Fields 0 to 5 must exist and be non-empty, and field 0 must keep
// a character after every "，" has been taken out of it.
//
//   LoadError e = CheckLine(u"一心一意#yxyy#p#m#s", 7);
//   // e.kind == LoadErrorKind::TooFewFields, e.line == 7
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaly {

// Why a load failed. Each kind names one way a file can be broken.
enum class LoadErrorKind {
  None,
  CannotOpen,       // the file is missing or cannot be opened
  NotRegularFile,   // a folder, a FIFO or a device, refused before reading
  ReadFailed,       // reading stopped with an I/O error
  TooLarge,         // larger than the size bound (file_io.h)
  BadEncoding,      // bytes that are not GBK (or, in a UTF-8 file, UTF-8) text
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

// MakeError returns a LoadError of `kind` at `line`.
LoadError MakeError(LoadErrorKind kind, int64_t line, std::string reason, int field = -1);

// CheckLine returns why the decoded `line` (without its line end) is not a
// valid record, with kind None for a valid one. `lineNumber` is copied into
// the error.
LoadError CheckLine(std::u16string_view line, int64_t lineNumber);

// UsesLfLineEnds tells whether a text ends its lines with a lone LF: it
// holds an LF and not a single CR, as Unix text files do. Text with any CR
// ends lines with CR LF or a lone CR, and an LF stays inside its line.
template <typename Char>
bool UsesLfLineEnds(std::basic_string_view<Char> text) {
  return text.find(Char('\r')) == text.npos && text.find(Char('\n')) != text.npos;
}

// SplitLines calls `onLine(line, number)` for each line of `text` as cy.dat
// counts lines (see above). An end of text right after a line end starts
// no further line. `onLine` returns false to stop.
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
