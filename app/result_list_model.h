// The rows of the result list List1: row r shows field 0 of the record whose
// table index stands in ResultRows entry r. The model holds only the indexes,
// so listing a whole large table costs four bytes a row.
#pragma once

#include <QAbstractListModel>

#include "idiom_table.h"

namespace tessaly {

class ResultListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit ResultListModel(const IdiomTable& table, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // append adds the rows for `indexes` (rising table indexes) at the end.
  void append(const ResultRows& indexes);
  void clear();
  const ResultRows& rows() const { return m_rows; }
  // rowText returns the text of row `r`.
  QString rowText(int r) const;

 private:
  const IdiomTable& m_table;
  ResultRows m_rows;  // ResultRows: the table index behind each row
};

}  // namespace tessaly
