// Where the idiom table is read from.
#include "data_location.h"

#include <cstdlib>
#include <system_error>

#include "program_folder.h"

namespace tessaly {
namespace {

std::filesystem::path FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::filesystem::path(value) : std::filesystem::path();
}

}  // namespace

std::filesystem::path UserDataFolder() {
  // The XDG base directory rules: a relative XDG_DATA_HOME is invalid and
  // ignored.
  if (const std::filesystem::path xdg = FromEnvironment("XDG_DATA_HOME"); xdg.is_absolute()) return xdg / "tessaly";
  if (const std::filesystem::path home = FromEnvironment("HOME"); !home.empty()) {
    return home / ".local" / "share" / "tessaly";
  }
  return {};
}

std::filesystem::path UserTablePath() {
  const std::filesystem::path folder = UserDataFolder();
  return folder.empty() ? folder : folder / "cy.dat";
}

DataLocation FindDataFile(const std::filesystem::path& option) {
  if (!option.empty()) return {option, DataLocation::Origin::Option};
  if (std::filesystem::path named = FromEnvironment("TESSALY_DATA"); !named.empty()) {
    return {std::move(named), DataLocation::Origin::Environment};
  }
  if (std::filesystem::path user = UserTablePath(); !user.empty()) {
    std::error_code ec;
    if (std::filesystem::exists(user, ec)) return {std::move(user), DataLocation::Origin::User};
  }
  return {ProgramFolder() / "cy.dat", DataLocation::Origin::Program};
}

}  // namespace tessaly
