// The 生词本: the idioms a user keeps, in the order kept, its file in the
// user's data folder, and its exports for spreadsheets and for Anki.
//
//   Result<Wordbook> book = ReadWordbook(WordbookPath());
//   if (book.ok() && book->add(u"一心一意")) WriteWordbook(WordbookPath(), *book);
//   std::string csv = WordbookCsv(*book, table);
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "error.h"
#include "idiom_table.h"

namespace tessaly {

class Wordbook {
 public:
  // The idioms kept, oldest first; none is empty and none stands twice.
  const std::vector<std::u16string>& idioms() const { return m_idioms; }
  bool contains(std::u16string_view idiom) const;
  // add keeps `idiom` at the end; false (nothing changes) when it is empty
  // or kept already. remove returns false when it was not kept.
  bool add(std::u16string_view idiom);
  bool remove(std::u16string_view idiom);
  // merge adds each of `idioms` that is not kept yet, in their order, and
  // returns how many it added.
  int merge(const std::vector<std::u16string>& idioms);

 private:
  std::vector<std::u16string> m_idioms;
};

// WordbookPath returns where the 生词本 is kept: wordbook.txt in
// UserDataFolder() (data_location.h); empty when that cannot be told.
std::filesystem::path WordbookPath();

// The file is UTF-8 text: the line "Tessaly 生词本", then one idiom a line,
// each ending in LF. Reading also takes CR LF, and skips blank lines and
// idioms that stand twice, as a hand-edited file may have them.

// WordbookFileText returns the file's bytes for `book`.
std::string WordbookFileText(const Wordbook& book);

// ParseWordbook reads the file's bytes; no bytes at all are an empty
// 生词本. Bytes that are not UTF-8 are a BadEncoding error (with their
// offset); a first line other than the header, or a line holding a control
// character, a BadInput error (with its line): such a file is not one this
// program wrote. Running out of memory is an OutOfMemory error, here and in
// ReadWordbook, WriteWordbook and ReadIdiomList.
Result<Wordbook> ParseWordbook(std::string_view bytes);

// ReadWordbook reads the 生词本 at `path`: an empty one when no file is
// there yet; an error when the file cannot be read or is broken
// (ParseWordbook).
Result<Wordbook> ReadWordbook(const std::filesystem::path& path);

// WriteWordbook writes `book` to `path` with WriteFileSafely (file_io.h),
// making its folder where needed: on any failure the old file stays as it
// was.
Error WriteWordbook(const std::filesystem::path& path, const Wordbook& book);

// SetAside renames the file at `path` to a free name beside it
// (wordbook.txt becomes wordbook.txt.broken, or .broken-2 and so on) and
// returns that name: a broken file is kept for its owner, out of the way of
// the new one.
Result<std::filesystem::path> SetAside(const std::filesystem::path& path);

// WordbookCsv returns the 生词本 for spreadsheets: UTF-8 with a byte order
// mark (which spreadsheet programs need to read it as UTF-8), the header
// row 成语,拼音,释义,出处,示例, then one row per idiom with its fields from
// `table` (empty where the table lacks the idiom), rows ending in CR LF,
// fields quoted where they hold a comma, a quote or a line break (RFC 4180).
std::string WordbookCsv(const Wordbook& book, const IdiomTable& table);

// WordbookAnkiTsv returns the 生词本 as notes for Anki's text import: the
// header lines "#separator:tab" and "#html:true", then one note a line,
// front and back separated by a tab: the idiom; its pinyin, meaning and
// source, one a line (<br>). Text is HTML-escaped; a tab or line break
// inside a field becomes a space.
std::string WordbookAnkiTsv(const Wordbook& book, const IdiomTable& table);

// ReadIdiomList returns the idioms of a file to import into the 生词本, in
// file order: a CSV or Anki export of this program or a 生词本 file (its
// first column or field; its header lines skipped), or a plain list of one
// idiom a line. Bytes that are not UTF-8 are a BadEncoding error.
Result<std::vector<std::u16string>> ReadIdiomList(std::string_view bytes);

}  // namespace tessaly
