// Tests of the result-list filling.
#include "result_filler.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

struct FillRun {
  int ticks = 0;
  ResultRows rows;
  std::vector<int32_t> rowsPerTick;
};

FillRun FillAll(const HitMarks& marks, int32_t batch) {
  FillRun run;
  ResultFiller filler;
  filler.start(batch);
  while (filler.active()) {
    const FillStep s = filler.step(marks, run.rows);
    EXPECT_EQ(s.firstNewRow + s.rowsAdded, static_cast<int32_t>(run.rows.size()));
    EXPECT_EQ(s.finished, !filler.active());
    run.rowsPerTick.push_back(s.rowsAdded);
    ++run.ticks;
  }
  return run;
}

TEST(ResultFiller, BatchesCountRecordsNotHits) {
  // 30,000 records in slices of 500 take 60 ticks whatever the hits.
  HitMarks sparse(30000, 0);
  sparse[0] = sparse[29999] = 1;
  EXPECT_EQ(FillAll(sparse, 500).ticks, 60);
  const FillRun all = FillAll(HitMarks(30000, 1), 500);
  EXPECT_EQ(all.ticks, 60);
  EXPECT_EQ(all.rows.size(), 30000u);
  for (int32_t n : all.rowsPerTick) EXPECT_EQ(n, 500);

  // Below the slicing threshold the batch is the table: one tick.
  HitMarks some(5000, 0);
  for (int i = 0; i < 1999; ++i) some[i * 2] = 1;
  const FillRun one = FillAll(some, 5000);
  EXPECT_EQ(one.ticks, 1);
  EXPECT_EQ(one.rows.size(), 1999u);
}

TEST(ResultFiller, RowsRiseInTableOrder) {
  HitMarks marks = {0, 1, 0, 1, 1, 0, 0, 1};
  const FillRun run = FillAll(marks, 3);
  EXPECT_EQ(run.rows, (ResultRows{1, 3, 4, 7}));
  EXPECT_EQ(run.ticks, 3);
  EXPECT_EQ(run.rowsPerTick, (std::vector<int32_t>{1, 2, 1}));
}

TEST(ResultFiller, SingleRecordAndEdgeStates) {
  const FillRun single = FillAll(HitMarks{1}, 1);
  EXPECT_EQ(single.ticks, 1);
  EXPECT_EQ(single.rows, (ResultRows{0}));

  ResultFiller filler;
  ResultRows rows;
  filler.start(0);
  EXPECT_FALSE(filler.active()) << "nothing to list leaves the filler idle";
  EXPECT_EQ(filler.step(HitMarks{1}, rows).rowsAdded, 0);

  filler.start(10);
  const FillStep empty = filler.step(HitMarks{}, rows);
  EXPECT_TRUE(empty.finished) << "an empty table finishes at once";
  EXPECT_TRUE(rows.empty());
}

TEST(ResultFiller, StopThenRestartStartsOver) {
  HitMarks marks(3000, 1);
  ResultFiller filler;
  ResultRows rows;
  filler.start(500);
  filler.step(marks, rows);
  filler.step(marks, rows);
  filler.stop();
  EXPECT_EQ(filler.FillCursor(), 1000);
  EXPECT_EQ(filler.step(marks, rows).rowsAdded, 0) << "a stopped filling adds nothing";

  rows.clear();
  filler.start(500);
  EXPECT_EQ(filler.FillCursor(), 0);
  EXPECT_EQ(filler.FillCount(), 0);
  filler.step(marks, rows);
  EXPECT_EQ(rows.front(), 0);
  EXPECT_EQ(rows.size(), 500u);
}

}  // namespace
}  // namespace tessaly
