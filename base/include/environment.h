// The program's environment variables.
#pragma once

#include <cstdlib>

namespace tessaly {

// EnvironmentValue returns the value of the variable `name`, or null when
// it is unset or set to nothing: an empty value counts as no value
// (TESSALY_DATA=, DISPLAY= and XDG_DATA_HOME= mean "not set").
inline const char* EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

}  // namespace tessaly
