// Reading cy.dat into the idiom table: the file's bytes are split into
// lines and fields where they lie and each field is decoded straight into
// its column, a piece of the file at a time, so that no copy of the whole
// text is ever made.
//
// cy.dat is GBK text (a file saved as UTF-8 by an editor is recognised:
// it starts with a byte order mark, or its bytes read as UTF-8 Chinese
// text); the lines and fields follow line_check.h.
//
//   LoadResult loaded = LoadIdiomFile("cy.dat");
//   if (!loaded.ok()) show(loaded.error.reason);
//   const IdiomTable& table = loaded.table;
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "idiom_table.h"
#include "line_check.h"

namespace tessaly {

// LoadResult holds the table, or the error that stopped the load (the table
// is then empty: records before the faulty line are not kept). A bad byte
// anywhere in the file is reported before a faulty line.
struct LoadResult {
  IdiomTable table;
  LoadError error;
  bool ok() const { return error.kind == LoadErrorKind::None; }
};

// ParseIdiomText loads a table from the bytes of a cy.dat file.
LoadResult ParseIdiomText(std::string_view bytes);

// How much LoadIdiomFile reads at a time.
inline constexpr size_t kReadBytes = size_t{1} << 20;

// LoadIdiomFile reads and loads the file at `path`, `readBytes` at a time
// (tests read in small pieces to cross every boundary); the result is the
// one ParseIdiomText gives for the file's bytes. What is not a regular file
// is refused before reading, and so is a file over the size bound.
LoadResult LoadIdiomFile(const std::filesystem::path& path, size_t readBytes = kReadBytes);

// LoadIdiomTable loads cy.dat from the folder of the program file.
LoadResult LoadIdiomTable();

// ReadIdiomFile reads the whole file at `path` into `bytes`. Returns the
// CannotOpen, NotRegularFile, ReadFailed or TooLarge error, or kind None.
LoadError ReadIdiomFile(const std::filesystem::path& path, std::string& bytes);

// One line that would stop the load: the error and the line's first
// characters (empty when the file as a whole failed).
struct LineProblem {
  LoadError error;
  std::u16string start;
};

// CheckIdiomText returns every line of a cy.dat file that would stop its
// load, in file order; an empty list means the file loads.
std::vector<LineProblem> CheckIdiomText(std::string_view bytes);

}  // namespace tessaly
