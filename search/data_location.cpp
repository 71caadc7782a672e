// Where the idiom table is read from.
#include "data_location.h"

#include <system_error>

#include "environment.h"
#include "program_folder.h"

namespace tessaly {
namespace {

std::filesystem::path FromEnvironment(const char* name) {
  const char* value = EnvironmentValue(name);
  return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

// The XDG base directory rules: the variable's folder, or the default
// under HOME; a relative value is invalid and ignored.
std::filesystem::path XdgFolder(const char* variable, const std::filesystem::path& underHome) {
  if (const std::filesystem::path xdg = FromEnvironment(variable); xdg.is_absolute()) return xdg / "tessaly";
  if (const std::filesystem::path home = FromEnvironment("HOME"); !home.empty()) return home / underHome / "tessaly";
  return {};
}

}  // namespace

std::filesystem::path UserDataFolder() { return XdgFolder("XDG_DATA_HOME", std::filesystem::path(".local") / "share"); }

std::filesystem::path UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }

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
