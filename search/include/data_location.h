// Where the idiom table is read from: one rule for the window and both
// command-line tools.
//
//   DataLocation data = FindDataFile(option);   // option: the --data file, or empty
//   Result<IdiomTable> table = LoadIdiomFile(data.path);
#pragma once

#include <filesystem>

namespace tessaly {

// Where a table was found, and by which step of the rule.
struct DataLocation {
  enum class Origin {
    Option,       // named with --data
    Environment,  // named by TESSALY_DATA
    User,         // the user's own table
    Program,      // cy.dat beside the program
  };
  std::filesystem::path path;
  Origin origin = Origin::Program;
};

// FindDataFile returns the table to read: `option` when it is not empty
// (the file given with --data), else the file TESSALY_DATA names when it
// is set and not empty, else the user's table (UserTablePath) when it
// exists, else cy.dat in the folder of the program file.
DataLocation FindDataFile(const std::filesystem::path& option = {});

// UserDataFolder returns the folder of the user's own files:
// $XDG_DATA_HOME/tessaly, or ~/.local/share/tessaly when XDG_DATA_HOME is
// unset, empty or not absolute (empty when neither can be told).
std::filesystem::path UserDataFolder();

// UserConfigFolder returns the folder of the user's settings:
// $XDG_CONFIG_HOME/tessaly, or ~/.config/tessaly when XDG_CONFIG_HOME is
// unset, empty or not absolute (empty when neither can be told).
std::filesystem::path UserConfigFolder();

// UserTablePath returns the user's own idiom table, UserDataFolder()/cy.dat
// (empty when the folder cannot be told). tessaly-import writes it when no
// output is named.
std::filesystem::path UserTablePath();

}  // namespace tessaly
