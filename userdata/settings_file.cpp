// The window's settings file.
#include "settings_file.h"

#include <algorithm>
#include <map>
#include <optional>
#include <system_error>

#include "data_location.h"
#include "file_io.h"
#include "text.h"

namespace tessaly {
namespace {

// The file's names of the lookup sites; the enum's order is not part of
// the file.
constexpr std::array<std::pair<LookupSite, std::string_view>, 4> kSiteKeys = {{
    {LookupSite::BaiduHanyu, "baidu-hanyu"},
    {LookupSite::Zdic, "zdic"},
    {LookupSite::Moedict, "moedict"},
    {LookupSite::MoeIdioms, "moe-idioms"},
}};

// A value as the file holds it, with the line it stands on.
struct RawValue {
  std::string text;
  int64_t line = 0;
};
// "section/key" → value.
using IniValues = std::map<std::string, RawValue, std::less<>>;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The strings of a value as QSettings writes a string or a list of them:
// items separated by "," outside quotes, blanks around an unquoted item
// dropped, escapes (\\ \" \t \n \xhhhh …) inside and outside quotes.
// Empty when the value is not readable as such (a lone quote).
std::optional<std::vector<std::u16string>> Strings(std::string_view value) {
  std::vector<std::u16string> items;
  if (value == "@Invalid()") return items;
  std::u16string item;
  std::string plain;  // UTF-8 bytes not yet decoded into `item`
  bool quoted = false;
  bool wasQuoted = false;
  auto flushPlain = [&] {
    item += FromUtf8(plain);
    plain.clear();
  };
  auto finish = [&] {
    flushPlain();
    if (!wasQuoted) {
      // Blanks around an unquoted item are not part of it.
      const size_t first = item.find_first_not_of(u" \t");
      const size_t last = item.find_last_not_of(u" \t");
      item = first == std::u16string::npos ? std::u16string() : item.substr(first, last - first + 1);
    }
    items.push_back(std::move(item));
    item.clear();
    wasQuoted = false;
  };
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '"') {
      if (!quoted) {
        // Blanks before an opening quote only separate it from the comma.
        flushPlain();
        item.erase(item.find_last_not_of(u" \t") + 1);
      }
      quoted = !quoted;
      wasQuoted = true;
    } else if (c == ',' && !quoted) {
      finish();
    } else if (c == '\\' && i + 1 < value.size()) {
      const char e = value[++i];
      const char* simple = "a\ab\bf\fn\nr\rt\tv\v\"\"\\\\''??";
      const char* at = nullptr;
      for (const char* p = simple; *p != '\0'; p += 2) {
        if (*p == e) at = p;
      }
      if (at != nullptr) {
        plain += at[1];
      } else if (e == '0') {
        plain += '\0';
      } else if (e == 'x') {
        char32_t unit = 0;
        size_t digits = 0;
        while (i + 1 < value.size() && digits < 4 && HexDigit(value[i + 1]) >= 0) {
          unit = unit * 16 + static_cast<char32_t>(HexDigit(value[++i]));
          ++digits;
        }
        flushPlain();
        item += static_cast<char16_t>(unit);
      } else {
        plain += e;
      }
    } else {
      plain += c;
    }
  }
  if (quoted) return std::nullopt;
  finish();
  // A leading "@" is doubled in each string; a single one starts a value
  // of a type of Qt's own (@Variant, @ByteArray), which is none of ours.
  for (std::u16string& text : items) {
    if (text.empty() || text[0] != u'@') continue;
    if (text.size() < 2 || text[1] != u'@') return std::nullopt;
    text.erase(0, 1);
  }
  return items;
}

// One string as QSettings writes it: escaped, and quoted where it holds a
// separator or starts or ends with a blank.
void AppendString(std::string& out, std::u16string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string escaped;
  bool quote = false;
  bool escapeNextIfDigit = false;
  for (const char16_t u : text) {
    if (u == ';' || u == ',' || u == '=') quote = true;
    if (escapeNextIfDigit && u < 0x80 && HexDigit(static_cast<char>(u)) >= 0) {
      escaped += "\\x";
      escaped += kHex[u >> 4 & 0xF];
      escaped += kHex[u & 0xF];
      continue;
    }
    escapeNextIfDigit = false;
    switch (u) {
      case u'\0': escaped += "\\0"; escapeNextIfDigit = true; break;
      case u'\a': escaped += "\\a"; break;
      case u'\b': escaped += "\\b"; break;
      case u'\f': escaped += "\\f"; break;
      case u'\n': escaped += "\\n"; break;
      case u'\r': escaped += "\\r"; break;
      case u'\t': escaped += "\\t"; break;
      case u'\v': escaped += "\\v"; break;
      case u'"':
      case u'\\':
        escaped += '\\';
        escaped += static_cast<char>(u);
        break;
      default:
        if (u <= 0x1F) {
          escaped += "\\x";
          escaped += kHex[u >> 4];
          escaped += kHex[u & 0xF];
          escapeNextIfDigit = true;
        } else {
          AppendUtf8(escaped, std::u16string_view(&u, 1));
        }
    }
  }
  if (!escaped.empty() && escaped[0] == '@') escaped.insert(0, 1, '@');
  if (quote || (!escaped.empty() && (escaped.front() == ' ' || escaped.back() == ' '))) escaped = '"' + escaped + '"';
  out += escaped;
}

IniValues ParseIni(std::string_view text, std::vector<int64_t>& unread) {
  IniValues values;
  std::string section;
  int64_t number = 0;
  for (std::string_view line : SplitLines(text)) {
    ++number;
    line = Trim(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.back() != ']' || line.size() < 3) {
        unread.push_back(number);
        section = "\n";  // no key reads under a broken section
        continue;
      }
      section = std::string(line.substr(1, line.size() - 2));
      continue;
    }
    const size_t equals = line.find('=');
    const std::string_view key = equals == std::string_view::npos ? std::string_view() : Trim(line.substr(0, equals));
    if (key.empty() || section == "\n") {
      unread.push_back(number);
      continue;
    }
    values[section + "/" + std::string(key)] = {std::string(Trim(line.substr(equals + 1))), number};
  }
  return values;
}

// The value of `key` as one string; nothing when it is missing, and the
// line is noted unread when it is not one string.
std::optional<std::u16string> One(const IniValues& values, std::string_view key, std::vector<int64_t>& unread) {
  const auto it = values.find(key);
  if (it == values.end()) return std::nullopt;
  const auto strings = Strings(it->second.text);
  if (!strings || strings->size() != 1) {
    unread.push_back(it->second.line);
    return std::nullopt;
  }
  return strings->front();
}

void ReadBool(const IniValues& values, std::string_view key, bool& value, std::vector<int64_t>& unread) {
  const auto text = One(values, key, unread);
  if (!text) return;
  if (*text == u"true") {
    value = true;
  } else if (*text == u"false") {
    value = false;
  } else {
    unread.push_back(values.find(key)->second.line);
  }
}

}  // namespace

void RememberQuery(std::vector<std::u16string>& recent, std::u16string_view query) {
  if (query.empty()) return;
  std::erase(recent, query);
  recent.insert(recent.begin(), std::u16string(query));
  if (recent.size() > kRecentQueries) recent.resize(kRecentQueries);
}

int NextZoom(int zoom, int direction) {
  if (direction == 0) return kZoomSteps.front();
  const auto at = std::find(kZoomSteps.begin(), kZoomSteps.end(), zoom);
  const auto index = at == kZoomSteps.end() ? 0 : at - kZoomSteps.begin();
  const auto next = std::clamp<std::ptrdiff_t>(index + direction, 0, std::ssize(kZoomSteps) - 1);
  return kZoomSteps[static_cast<size_t>(next)];
}

std::filesystem::path SettingsPath() {
  const std::filesystem::path folder = UserConfigFolder();
  return folder.empty() ? folder : folder / "tessaly.ini";
}

std::string SettingsText(const Settings& settings) {
  std::string out = "[history]\nrecentQueries=";
  if (settings.recentQueries.empty()) out += "@Invalid()";
  for (size_t i = 0; i < settings.recentQueries.size(); ++i) {
    if (i > 0) out += ", ";
    AppendString(out, settings.recentQueries[i]);
  }
  out += "\n\n[network]\ncheckForUpdates=";
  out += settings.checkForUpdates ? "true" : "false";
  out += "\nlookupSite=";
  for (const auto& [value, key] : kSiteKeys) {
    if (settings.lookupSite == value) out += key;
  }
  out += "\n\n[view]\nsearchAsYouType=";
  out += settings.searchAsYouType ? "true" : "false";
  out += "\nzoom=" + std::to_string(settings.zoom) + "\n";
  return out;
}

SettingsRead ParseSettings(std::string_view text) {
  SettingsRead read;
  std::vector<int64_t>& unread = read.unreadLines;
  Settings& settings = read.settings;
  const IniValues values = ParseIni(text, unread);
  if (const auto zoom = One(values, "view/zoom", unread)) {
    const auto step = std::find_if(kZoomSteps.begin(), kZoomSteps.end(),
                                   [&](int z) { return ToUtf8(*zoom) == std::to_string(z); });
    if (step != kZoomSteps.end()) {
      settings.zoom = *step;
    } else {
      unread.push_back(values.find("view/zoom")->second.line);
    }
  }
  ReadBool(values, "view/searchAsYouType", settings.searchAsYouType, unread);
  ReadBool(values, "network/checkForUpdates", settings.checkForUpdates, unread);
  if (const auto site = One(values, "network/lookupSite", unread)) {
    const auto known = std::find_if(kSiteKeys.begin(), kSiteKeys.end(), [&](const auto& k) { return ToUtf8(*site) == k.second; });
    if (known != kSiteKeys.end()) {
      settings.lookupSite = known->first;
    } else {
      unread.push_back(values.find("network/lookupSite")->second.line);
    }
  }
  if (const auto it = values.find("history/recentQueries"); it != values.end()) {
    const auto queries = Strings(it->second.text);
    if (!queries) unread.push_back(it->second.line);
    // Only texts a query box could hold: a damaged list gives what is usable.
    for (auto q = queries ? queries->rbegin() : std::vector<std::u16string>::const_reverse_iterator(); queries && q != queries->rend(); ++q) {
      if (q->find_first_not_of(u" \t\u3000") != std::u16string::npos && q->size() <= kRecentQueryLength) {
        RememberQuery(settings.recentQueries, *q);
      }
    }
  }
  std::sort(unread.begin(), unread.end());
  unread.erase(std::unique(unread.begin(), unread.end()), unread.end());
  return read;
}

Result<SettingsRead> ReadSettings(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return SettingsRead();
  Result<std::string> bytes = ReadWholeFile(path);
  if (!bytes.ok()) return bytes.error();
  return CatchOutOfMemory([&]() -> Result<SettingsRead> { return ParseSettings(*bytes); });
}

Error WriteSettings(const std::filesystem::path& path, const Settings& settings) {
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  return CatchOutOfMemory([&] { return WriteFileSafely(path, SettingsText(settings)); });
}

}  // namespace tessaly
