// The main window's settings.
#include "window_settings.h"

#include <algorithm>

#include <QSettings>

namespace tessaly {
namespace {

// The settings file's names of the lookup sites; the enum's order is not
// part of the file.
constexpr std::array<std::pair<LookupSite, const char*>, 4> kSiteKeys = {{
    {LookupSite::BaiduHanyu, "baidu-hanyu"},
    {LookupSite::Zdic, "zdic"},
    {LookupSite::Moedict, "moedict"},
    {LookupSite::MoeIdioms, "moe-idioms"},
}};

bool ReadBool(const QSettings& s, const char* key, bool fallback) {
  const QString text = s.value(QLatin1String(key)).toString();
  if (text == QLatin1String("true")) return true;
  if (text == QLatin1String("false")) return false;
  return fallback;
}

}  // namespace

void RememberQuery(QStringList& recent, const QString& query) {
  if (query.isEmpty()) return;
  recent.removeAll(query);
  recent.prepend(query);
  while (recent.size() > kRecentQueries) recent.removeLast();
}

int NextZoom(int zoom, int direction) {
  if (direction == 0) return kZoomSteps.front();
  const auto at = std::find(kZoomSteps.begin(), kZoomSteps.end(), zoom);
  const auto index = at == kZoomSteps.end() ? 0 : at - kZoomSteps.begin();
  const auto next = std::clamp<std::ptrdiff_t>(index + direction, 0, std::ssize(kZoomSteps) - 1);
  return kZoomSteps[static_cast<size_t>(next)];
}

SettingsStore::SettingsStore(const QString& file)
    : m_settings(file.isEmpty()
                     ? std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                   QStringLiteral("tessaly"), QStringLiteral("tessaly"))
                     : std::make_unique<QSettings>(file, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

WindowSettings SettingsStore::read() const {
  const QSettings& s = *m_settings;
  WindowSettings settings;
  bool number = false;
  const int zoom = s.value(QStringLiteral("view/zoom")).toString().toInt(&number);
  if (number && std::find(kZoomSteps.begin(), kZoomSteps.end(), zoom) != kZoomSteps.end()) settings.zoom = zoom;
  settings.searchAsYouType = ReadBool(s, "view/searchAsYouType", settings.searchAsYouType);
  settings.checkForUpdates = ReadBool(s, "network/checkForUpdates", settings.checkForUpdates);
  const QString site = s.value(QStringLiteral("network/lookupSite")).toString();
  for (const auto& [value, key] : kSiteKeys) {
    if (site == QLatin1String(key)) settings.lookupSite = value;
  }
  // Only texts a query box could hold: a damaged list gives what is usable.
  const QVariant recent = s.value(QStringLiteral("history/recentQueries"));
  if (recent.canConvert<QStringList>()) {
    const QStringList queries = recent.toStringList();
    for (auto q = queries.rbegin(); q != queries.rend(); ++q) {
      if (!q->trimmed().isEmpty() && q->size() <= 64) RememberQuery(settings.recentQueries, *q);
    }
  }
  return settings;
}

void SettingsStore::write(const WindowSettings& settings) {
  QSettings& s = *m_settings;
  s.setValue(QStringLiteral("view/zoom"), settings.zoom);
  s.setValue(QStringLiteral("view/searchAsYouType"), settings.searchAsYouType);
  s.setValue(QStringLiteral("network/checkForUpdates"), settings.checkForUpdates);
  for (const auto& [value, key] : kSiteKeys) {
    if (settings.lookupSite == value) s.setValue(QStringLiteral("network/lookupSite"), QLatin1String(key));
  }
  s.setValue(QStringLiteral("history/recentQueries"), settings.recentQueries);
  s.sync();
}

}  // namespace tessaly
