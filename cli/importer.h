// The importer's core: records of public idiom data in the common JSON
// format (an array of objects with word, pinyin, abbreviation, explanation,
// derivation and example) become the lines of a cy.dat.
//
//   Importer importer;
//   if (Error e = importer.addJson(text, "idioms.json"); !e.ok()) fail(e.reason);
//   std::string bytes = importer.fileBytes();   // GBK, CR LF after each line
//
// Records keep their input order; an idiom already taken is skipped, so
// several inputs merge without duplicates. Every skipped record is listed
// with its reason.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "error.h"
#include "idiom_table.h"

namespace tessaly {

// FieldText makes a text safe for one cy.dat field: "#" becomes "＃", every
// line break and NUL a space, and an empty text "无".
std::u16string FieldText(std::u16string_view text);

class Importer {
 public:
  // One element of the JSON array, as far as the importer reads it.
  struct Record {
    bool object = false;  // the element is an object (a record at all)
    size_t number = 0;    // its place in the array, from 1
    // word, pinyin, abbreviation, explanation, derivation, example: the
    // values that are strings, empty for the others.
    std::array<std::u16string, 6> fields;
  };

  struct Skipped {
    std::string where;  // "file, record n (idiom)"
    std::string why;
  };

  // keepTable takes the records of an existing table first (--append).
  void keepTable(const IdiomTable& table);
  // addJson adds the records of one JSON text named `source`, read a
  // record at a time. A text that is not a JSON array is a BadInput error
  // (nothing is added then); running out of memory an OutOfMemory error.
  Error addJson(std::string_view json, const std::string& source);

  size_t lineCount() const { return m_lines.size(); }
  // drop takes out the lines whose index `reasons` names, from the last
  // one kept on (--append keeps what was there), each listed as skipped
  // with its reason (UTF-8). `firstNew` is the index of the first line
  // this import added.
  void drop(const std::vector<std::pair<size_t, std::string>>& reasons, size_t firstNew);
  const std::vector<Skipped>& skipped() const { return m_skipped; }
  // fileBytes returns the cy.dat: every line in GBK followed by CR LF.
  std::string fileBytes() const;

 private:
  Error addJsonText(std::string_view json, const std::string& source);
  // addRecord adds one record, or returns why it is skipped.
  Error addRecord(const Record& record, std::string where);

  std::vector<std::string> m_lines;  // GBK, without line ends
  std::vector<std::string> m_where;  // where each line came from, for the skip list
  std::unordered_set<std::u16string> m_idioms;
  std::vector<Skipped> m_skipped;
};

}  // namespace tessaly
