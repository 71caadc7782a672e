// The filling of the result list: the hits of a search become rows, a slice
// of the table per timer tick, so that listing a whole large table never
// freezes the window.
//
//   ResultFiller filler;
//   filler.start(outcome.FillBatch);
//   while (filler.active()) {
//     FillStep s = filler.step(outcome.Matched, rows);
//     // rows [s.firstNewRow, s.firstNewRow + s.rowsAdded) are new
//   }
#pragma once

#include <cstdint>

#include "idiom_table.h"

namespace tessaly {

// What one tick did.
struct FillStep {
  int32_t firstNewRow = 0;  // index of the first row added by this tick
  int32_t rowsAdded = 0;
  bool finished = false;    // the last record was reached: the list is complete
};

// ResultFiller is idle until start() and filling until a step reaches the
// last record of the table (or stop() is called by a new search).
class ResultFiller {
 public:
  // start begins a new filling over a search's marks, looking at
  // `fillBatch` records per step. A batch below 1 leaves the filler idle.
  void start(int32_t fillBatch);
  // stop leaves the filler idle where it is.
  void stop() { m_active = false; }
  bool active() const { return m_active; }

  // step looks at up to FillBatch records from FillCursor on. For each
  // marked record it appends the record's index to `rows`. The step that
  // looks at the last record (marks.size() - 1) finishes the filling. On an
  // idle filler it does nothing.
  FillStep step(const HitMarks& marks, ResultRows& rows);

  int32_t FillCursor() const { return m_cursor; }
  int32_t FillCount() const { return m_count; }
  int32_t FillBatch() const { return m_batch; }

 private:
  int32_t m_cursor = 0;  // table index of the next record to look at
  int32_t m_count = 0;   // rows added so far
  int32_t m_batch = 0;   // records looked at per step
  bool m_active = false;
};

}  // namespace tessaly
