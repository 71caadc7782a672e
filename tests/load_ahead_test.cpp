// The window's read-ahead: the table read on a thread of its own while the
// window is built, taken when the window's load asks for it.
#include "load_ahead.h"

#include <thread>

#include <gtest/gtest.h>

#include "test_util.h"

namespace tessaly {
namespace {

// A table large enough to be read as two halves, read ahead while this
// thread builds a table of its own: what the window's start does.
TEST(LoadAhead, TableReadWhileTheWindowIsBuilt) {
  testing::TempDir dir;
  std::string bytes;
  for (int i = 0; i < 40000; ++i) {
    bytes += testing::Gbk("一心一意" + std::to_string(i) + "#yxyy#yī xīn yī yì#心思专一。#无#例\r\n");
  }
  const auto path = dir.write("cy.dat", bytes);
  const PendingTable load = LoadAhead([path] { return LoadIdiomFile(path, 4096); });
  const testing::Loaded meanwhile = testing::Take(ParseIdiomText(bytes));
  while (!load.ready()) std::this_thread::yield();
  const testing::Loaded ahead = testing::Take(load.take());
  ASSERT_TRUE(ahead.ok()) << ahead.error.reason;
  ASSERT_EQ(ahead.table.size(), meanwhile.table.size());
  EXPECT_EQ(ahead.table.field(39999, Field::Idiom), meanwhile.table.field(39999, Field::Idiom));

  const testing::Loaded missing = testing::Take(LoadAhead([&] { return LoadIdiomFile(dir.path() / "none"); }).take());
  EXPECT_EQ(missing.error.kind, ErrorKind::CannotOpen);
}

}  // namespace
}  // namespace tessaly
