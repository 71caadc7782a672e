// Traditional and simplified characters compared alike: texts converted to
// simplified characters with OpenCC's t2s conversion, and the table's
// idioms so converted, as one column. One of the views kept in IdiomViews.
//
//   Result<std::u16string> s = ToSimplified(u"愛不釋手");   // u"爱不释手"
#pragma once

#include <string>
#include <string_view>

#include "error.h"
#include "idiom_table.h"

namespace tessaly {

// ToSimplified returns `text` in simplified characters (OpenCC, t2s:
// characters and phrases). Without OpenCC's data it is a MissingData
// error. `text` must not hold NUL (OpenCC reads C strings).
Result<std::u16string> ToSimplified(std::u16string_view text);

// FoldedIdioms holds the idiom of every record of a table in simplified
// characters, as the table holds its own: the idioms, and the idioms
// without "，".
class FoldedIdioms {
 public:
  // Make converts all idioms of `table` in one conversion.
  static Result<FoldedIdioms> Make(const IdiomTable& table);

  const TextColumn& idioms() const { return m_idioms; }
  const TextColumn& chars() const { return m_chars; }
  size_t memoryBytes() const { return m_idioms.bytes() + m_chars.bytes(); }

 private:
  TextColumn m_idioms;
  TextColumn m_chars;
};

}  // namespace tessaly
