// The result-list filling.
#include "result_filler.h"

namespace tessaly {

void ResultFiller::start(int32_t fillBatch) {
  m_cursor = 0;
  m_count = 0;
  m_batch = fillBatch;
  m_active = fillBatch > 0;
}

FillStep ResultFiller::step(const HitMarks& marks, ResultRows& rows) {
  FillStep s;
  s.firstNewRow = m_count;
  if (!m_active) return s;
  const auto last = static_cast<int32_t>(marks.size()) - 1;
  if (last < 0) {
    m_active = false;
    s.finished = true;
    return s;
  }
  for (int32_t n = 0; n < m_batch; ++n) {
    if (marks[static_cast<size_t>(m_cursor)]) {
      rows.push_back(m_cursor);
      ++m_count;
    }
    if (m_cursor >= last) {
      m_active = false;
      s.finished = true;
      break;
    }
    ++m_cursor;
  }
  s.rowsAdded = m_count - s.firstNewRow;
  return s;
}

}  // namespace tessaly
