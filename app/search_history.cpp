// The main window's history.
#include "search_history.h"

namespace tessaly {

void SearchHistory::push(HistoryEntry entry) {
  if (!m_steps.empty()) {
    m_steps.resize(m_current + 1);
    const HistoryEntry& last = m_steps.back();
    const bool same = last.mode == entry.mode && last.keywords == entry.keywords && last.query == entry.query;
    if (same || (entry.typed && last.typed)) m_steps.pop_back();
  }
  m_steps.push_back(std::move(entry));
  if (m_steps.size() > kHistorySteps) m_steps.erase(m_steps.begin());
  m_current = m_steps.size() - 1;
}

const HistoryEntry* SearchHistory::back() {
  if (!canGoBack()) return nullptr;
  return &m_steps[--m_current];
}

const HistoryEntry* SearchHistory::forward() {
  if (!canGoForward()) return nullptr;
  return &m_steps[++m_current];
}

void SearchHistory::show(int32_t record) {
  if (!m_steps.empty()) m_steps[m_current].record = record;
}

}  // namespace tessaly
