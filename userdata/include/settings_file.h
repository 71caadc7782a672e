// The window's settings file: the zoom, search as you type, the online
// dictionary of 网上释义, the update check at start and the recent queries,
// as INI text in the user's config folder
// ($XDG_CONFIG_HOME/tessaly/tessaly.ini). The text is the one Qt's
// QSettings writes in its INI format, so that files written by earlier
// versions read as they were, and they can read ours.
//
//   Result<SettingsRead> read = ReadSettings(SettingsPath());
//   Settings settings = read.ok() ? read->settings : Settings();
//   settings.zoom = 125;
//   WriteSettings(SettingsPath(), settings);
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "error.h"

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
inline constexpr size_t kRecentQueries = 50;
// The longest recent query read back: longer ones are no query box's.
inline constexpr size_t kRecentQueryLength = 64;

struct Settings {
  int zoom = 100;  // one of kZoomSteps
  bool searchAsYouType = false;
  LookupSite lookupSite = LookupSite::BaiduHanyu;
  bool checkForUpdates = true;
  std::vector<std::u16string> recentQueries;  // newest first, each once, at most kRecentQueries
};

// What reading a settings file gave: the settings, and the lines that
// could not be read (counted from 1). A value that is missing, unreadable
// or out of range reads as its default, so that a damaged file never stops
// the start.
struct SettingsRead {
  Settings settings;
  std::vector<int64_t> unreadLines;
};

// RememberQuery puts `query` first among `recent`, drops an older copy of
// it and keeps at most kRecentQueries.
void RememberQuery(std::vector<std::u16string>& recent, std::u16string_view query);

// NextZoom returns the zoom step after `zoom` in `direction` (+1 larger, -1
// smaller), staying within the steps; 0 returns 100.
int NextZoom(int zoom, int direction);

// SettingsPath returns the user's settings file, tessaly.ini in
// UserConfigFolder() (data_location.h); empty when that cannot be told.
std::filesystem::path SettingsPath();

// SettingsText returns the file's text for `settings`.
std::string SettingsText(const Settings& settings);

// ParseSettings reads the file's text; it never fails (see SettingsRead).
SettingsRead ParseSettings(std::string_view text);

// ReadSettings reads the file at `path`: the defaults when there is none;
// an error when it cannot be read at all.
Result<SettingsRead> ReadSettings(const std::filesystem::path& path);

// WriteSettings writes `settings` to `path` with WriteFileSafely
// (file_io.h), making its folder where needed: on any failure the old file
// stays as it was.
Error WriteSettings(const std::filesystem::path& path, const Settings& settings);

}  // namespace tessaly
