// The folder of the running program, where cy.dat lies.
#pragma once

#include <filesystem>

namespace tessaly {

// ProgramFolder returns the folder of the running program file (empty when
// the platform cannot tell).
std::filesystem::path ProgramFolder();

}  // namespace tessaly
