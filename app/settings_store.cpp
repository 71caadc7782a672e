// The window's settings.
#include "settings_store.h"

namespace tessaly {

SettingsStore::SettingsStore(std::filesystem::path file)
    : m_file(file.empty() ? SettingsPath() : std::move(file)) {
  if (m_file.empty()) return;
  if (Result<SettingsRead> read = ReadSettings(m_file); read.ok()) {
    m_settings = std::move(read->settings);
    m_unreadLines = std::move(read->unreadLines);
  }
}

void SettingsStore::save() {
  if (!m_file.empty()) (void)WriteSettings(m_file, m_settings);
}

}  // namespace tessaly
