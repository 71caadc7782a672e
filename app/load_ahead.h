// Loading the idiom table ahead of the window.
#pragma once

#include <functional>

#include "idiom_file.h"

namespace tessaly {

// LoadAhead starts `load` (loading cy.dat, or a file of the caller's) on a
// thread of its own and returns what waits for its outcome. The main
// window's load takes the table from there (FrmMainServices::loadTable)
// instead of reading the file itself, so that reading the file overlaps
// with starting Qt and building the window; what the user sees stays in
// its order: the window is shown first, and a failed load is reported
// after that. When no thread can be started, the load runs when its
// outcome is asked for.
std::function<Result<IdiomTable>()> LoadAhead(std::function<Result<IdiomTable>()> load);

}  // namespace tessaly
