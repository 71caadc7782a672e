// The window's settings as the window keeps them: read once at start from
// the user's settings file (settings_file.h), changed by the features that
// own each value, and written back on every change.
#pragma once

#include <filesystem>
#include <vector>

#include "settings_file.h"

namespace tessaly {

class SettingsStore {
 public:
  // `file` empty means the user's settings file (SettingsPath). A file that
  // cannot be read gives the defaults.
  explicit SettingsStore(std::filesystem::path file);

  Settings& settings() { return m_settings; }
  const Settings& settings() const { return m_settings; }
  // save writes the settings at once; a file that cannot be written is
  // left as it is, silently: the settings of this session stay in force.
  void save();
  // unreadLines are the lines of the file read at start that could not be
  // read.
  const std::vector<int64_t>& unreadLines() const { return m_unreadLines; }

 private:
  std::filesystem::path m_file;
  Settings m_settings;
  std::vector<int64_t> m_unreadLines;
};

}  // namespace tessaly
