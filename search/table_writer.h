// TableWriter: how the loader writes records straight into the columns of
// a table, so that each field is decoded in place instead of copied.
//
// For each record, the text of each field is written at column(f).end()
// (after room()) and ended with column(f).close(...), fields 0 to 5 in
// order and then the rest ("" or "#" and fields 6 and up); commit() counts
// it. A record not committed is dropped by drop(). finish() gives back
// unused room.
#pragma once

#include "idiom_table.h"

namespace tessaly {

class TableWriter {
 public:
  static constexpr int kRestColumn = static_cast<int>(IdiomTable::kRest);

  explicit TableWriter(IdiomTable& table) : m_table(table) {}
  TableWriter(const TableWriter&) = delete;             // writes into one table
  TableWriter& operator=(const TableWriter&) = delete;  // writes into one table

  // column returns column `c`: 0 to 5 the fields, kRestColumn the rest.
  TextColumn& column(int c) { return m_table.m_columns[static_cast<size_t>(c)]; }
  // reserveRecord makes sure that every column can end one more record
  // with closeReserved(), checking all columns only once in many records.
  void reserveRecord() {
    if (m_reserved > 0) return;
    constexpr size_t kRecords = 4096;
    for (TextColumn& c : m_table.m_columns) c.reserveStarts(kRecords);
    m_reserved = kRecords;
  }
  // commit makes IdiomChars from field 0 and counts the record. Returns
  // false, counting nothing, when field 0 holds nothing but "，" (the
  // record's texts are then still there: drop them).
  bool commit();
  // drop forgets the texts written since the last commit.
  void drop();
  // append puts the records of `tail` behind the table's (a file read in
  // two halves at once); `tail` is left empty.
  void append(IdiomTable&& tail);
  void finish();

 private:
  IdiomTable& m_table;
  size_t m_reserved = 0;  // records every column has room to end (a lower bound)
};

}  // namespace tessaly
