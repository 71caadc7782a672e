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

// FieldName returns the name of field `field` (0 to 8) for messages, in the
// language of the messages (UTF-8): idiom, initials, pinyin, …, variants,
// near, opposite (成语, 拼音首字母, …); "" for others.
const char* FieldName(int field);

// ColumnWriter writes the texts of one column: room() makes sure `units`
// more code units fit after the open text (end()); extend() moves the open
// text's end after units written there; close() ends the open text as the
// next record's. Room a text does not use is never touched.
class ColumnWriter {
 public:
  explicit ColumnWriter(TextColumn& column) : m_c(&column) {}

  int32_t size() const { return m_c->size(); }
  void room(size_t units) { m_c->room(units); }
  char16_t* end() { return m_c->end(); }
  void extend(const char16_t* end) { m_c->extend(end); }
  void close(const char16_t* end) { m_c->close(end); }
  void close() { m_c->close(); }
  // closeReserved is close() where startsLeft() is known to be above 0.
  void closeReserved(const char16_t* end) { m_c->closeReserved(end); }
  // fit gives back the room growth left unused.
  void fit() { m_c->fit(); }

 private:
  TextColumn* m_c;
};

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
