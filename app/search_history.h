// The main window's history for 后退 and 前进: the searches run, each with
// the idiom that was on show when the user moved on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <QString>

#include "query.h"
#include "search_engine.h"

namespace tessaly {

// One step of the history: a search as it was run, and what was on show.
struct HistoryEntry {
  SearchMode mode = SearchMode::Precise;
  QString query;        // the query box's text
  Keywords keywords;    // what was searched (for the chain, what it went on from)
  int32_t record = -1;  // the record on show, -1 for none
  bool typed = false;   // run by search as you type
};

// The steps kept; older ones are dropped.
inline constexpr size_t kHistorySteps = 200;

class SearchHistory {
 public:
  // push makes `entry` the current step, after the current one; the steps
  // after the current one are dropped, as in a browser. A step that runs
  // the current one's search again replaces it, and so does a step run by
  // search as you type a current one that was too, so that typing a word
  // leaves one step, not one a letter.
  void push(HistoryEntry entry);
  // back and forward move one step and return the step now current, or
  // null (nothing moves) at either end.
  const HistoryEntry* back();
  const HistoryEntry* forward();
  bool canGoBack() const { return !m_steps.empty() && m_current > 0; }
  bool canGoForward() const { return !m_steps.empty() && m_current + 1 < m_steps.size(); }
  // show notes `record` as the record on show of the current step.
  void show(int32_t record);
  void clear() { m_steps.clear(); }

 private:
  std::vector<HistoryEntry> m_steps;
  size_t m_current = 0;  // the current step, when there is one
};

}  // namespace tessaly
