// Traditional and simplified characters compared alike: the table's idioms
// converted to simplified characters (ToSimplified, script_conversion.h),
// as one column. One of the views kept in IdiomViews.
#pragma once

#include "error.h"
#include "idiom_table.h"
#include "script_conversion.h"

namespace tessaly {

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
