// The main window's settings, kept with QSettings in the user's config
// folder ($XDG_CONFIG_HOME/tessaly/tessaly.ini): the zoom, search as you
// type, the online dictionary of 网上释义, the update check at start and the
// recent queries. A value that is missing, unreadable or out of range reads
// as its default, so that a damaged file never stops the start.
#pragma once

#include <array>
#include <memory>

#include <QString>
#include <QStringList>

class QSettings;

namespace tessaly {

// The online dictionaries 网上释义 can open.
enum class LookupSite {
  BaiduHanyu,  // 百度汉语, the default
  Zdic,        // 汉典
  Moedict,     // 萌典, in traditional characters
  MoeIdioms,   // 教育部《成語典》, in traditional characters
};

// The zoom steps of the main window, in percent.
inline constexpr std::array<int, 5> kZoomSteps = {100, 125, 150, 175, 200};
// How many recent queries the query box offers.
inline constexpr int kRecentQueries = 50;

struct WindowSettings {
  int zoom = 100;  // one of kZoomSteps
  bool searchAsYouType = false;
  LookupSite lookupSite = LookupSite::BaiduHanyu;
  bool checkForUpdates = true;
  QStringList recentQueries;  // newest first, each once, at most kRecentQueries
};

// RememberQuery puts `query` first among `recent`, drops an older copy of
// it and keeps at most kRecentQueries.
void RememberQuery(QStringList& recent, const QString& query);

// NextZoom returns the zoom step after `zoom` in `direction` (+1 larger, -1
// smaller), staying within the steps; 0 returns 100.
int NextZoom(int zoom, int direction);

// SettingsStore reads and writes the settings of one file.
class SettingsStore {
 public:
  // `file` empty means the user's settings file.
  explicit SettingsStore(const QString& file);
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;             // owns its QSettings
  SettingsStore& operator=(const SettingsStore&) = delete;  // owns its QSettings

  WindowSettings read() const;
  // write stores `settings` and writes the file at once; a file that cannot
  // be written is left as it is, silently (the settings of this session
  // stay in force).
  void write(const WindowSettings& settings);

 private:
  std::unique_ptr<QSettings> m_settings;
};

}  // namespace tessaly
