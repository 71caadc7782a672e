// The rows of the result list.
#include "result_list_model.h"

#include "qt_text.h"

namespace tessaly {

ResultListModel::ResultListModel(const IdiomTable& table, QObject* parent)
    : QAbstractListModel(parent), m_table(table) {}

int ResultListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QString ResultListModel::rowText(int r) const {
  return QStringOf(m_table.field(m_rows[static_cast<size_t>(r)], Field::Idiom));
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  return rowText(index.row());
}

void ResultListModel::append(const ResultRows& indexes) {
  if (indexes.empty()) return;
  const int first = rowCount();
  beginInsertRows({}, first, first + static_cast<int>(indexes.size()) - 1);
  m_rows.insert(m_rows.end(), indexes.begin(), indexes.end());
  endInsertRows();
}

void ResultListModel::clear() {
  beginResetModel();
  m_rows.clear();
  m_rows.shrink_to_fit();
  endResetModel();
}

}  // namespace tessaly
