// Reading cy.dat into the idiom table, and checking a file that does not
// load. The file's bytes are cut into lines and fields where they lie and
// each field is decoded straight into its column, a piece of the file at a
// time: no copy of the whole text, and not even of a whole line, is ever
// made, so loading is linear in the file's size and takes little more
// memory than the table it makes, whatever the file holds.
//
// cy.dat is GBK text (a file saved as UTF-8 by an editor is recognised:
// it starts with a byte order mark, or its bytes read as UTF-8 Chinese
// text). A line ends with CR LF or a lone CR (a lone LF stays inside it),
// or with LF in a file without a single CR; every "#" separates fields,
// fields 0 to 5 must be there and non-empty.
//
//   Result<IdiomTable> loaded = LoadIdiomFile("cy.dat");
//   if (!loaded.ok()) show(loaded.error().line, loaded.error().reason);
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "error.h"
#include "idiom_table.h"

namespace tessaly {

// ParseIdiomText loads a table from the bytes of a cy.dat file. A bad byte
// anywhere in the file is reported before a faulty line; records before
// the faulty line are not kept. Running out of memory is an OutOfMemory
// error.
Result<IdiomTable> ParseIdiomText(std::string_view bytes);

// How much LoadIdiomFile reads at a time.
inline constexpr size_t kReadBytes = size_t{1} << 20;

// LoadIdiomFile reads and loads the file at `path`, `readBytes` at a time
// (tests read in small pieces to cross every boundary); the result is the
// one ParseIdiomText gives for the file's bytes. What is not a regular file
// is refused before reading, and so is a file over the size bound. A file
// of 8 pieces or more is read as two halves by two threads where a second
// thread can be started.
Result<IdiomTable> LoadIdiomFile(const std::filesystem::path& path, size_t readBytes = kReadBytes);

// One line that would stop the load: the error (its line, kind and reason)
// and the line's first characters.
struct LineProblem {
  Error error;
  std::u16string start;
};

// CheckIdiomText hands `onProblem` every line of a cy.dat file that would
// stop its load, in file order, a line with a bad byte among them, and
// returns how many there were (0: the file loads). It holds no more of
// the file than a line's start, however many lines are broken.
int64_t CheckIdiomText(std::string_view bytes, const std::function<void(const LineProblem&)>& onProblem);
// CheckIdiomFile does the same for the file at `path`, read a piece at a
// time; a file that cannot be read is the error.
Result<int64_t> CheckIdiomFile(const std::filesystem::path& path, const std::function<void(const LineProblem&)>& onProblem,
                               size_t readBytes = kReadBytes);

// CheckLine returns why `line` (decoded, without its line end) is not a
// record, with kind None for a record; `lineNumber` goes into the error.
Error CheckLine(std::u16string_view line, int64_t lineNumber);

// AppendLine splits `line` (one line of cy.dat, decoded, without its line
// end) at every "#" and appends it to `table` as its next record, or
// returns why it is not a record (CheckLine). Tests, benchmarks and tools
// build tables in memory with it.
Error AppendLine(IdiomTable& table, std::u16string_view line);

}  // namespace tessaly
