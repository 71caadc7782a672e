// Loading the idiom table ahead of the window.
#pragma once

#include <functional>

#include "idiom_file.h"

namespace tessaly {

// A table being loaded: `take` returns the outcome, waiting for it where it
// is not there yet; `ready` tells, without waiting, whether `take` would
// return at once.
struct PendingTable {
  std::function<Result<IdiomTable>()> take;
  std::function<bool()> ready;
};

// LoadAhead starts `load` (loading cy.dat, or a file of the caller's) on a
// thread of its own and returns the pending table. The main window takes
// it from there (FrmMainServices::loadTable and tableReady) instead of
// reading the file itself, so that reading the file overlaps with starting
// Qt and building the window, and a large table goes on loading while the
// window already takes input. When no thread can be started, the load runs
// when its outcome is taken, and `ready` is always true.
PendingTable LoadAhead(std::function<Result<IdiomTable>()> load);

}  // namespace tessaly
