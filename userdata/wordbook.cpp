// The 生词本, its file and its exports.
#include "wordbook.h"

#include <algorithm>
#include <system_error>
#include <unordered_map>

#include "data_location.h"
#include "file_io.h"
#include "messages.h"
#include "text.h"

namespace tessaly {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
// The first line of the file.
constexpr std::u16string_view kWordbookHeader = u"Tessaly 生词本";

std::u16string_view Trimmed(std::u16string_view s) {
  while (!s.empty() && (s.front() == u' ' || s.front() == u'\u3000')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == u' ' || s.back() == u'\u3000')) s.remove_suffix(1);
  return s;
}

// The record of each idiom of `table`, the first where one stands twice.
std::unordered_map<std::u16string_view, int32_t> RecordsByIdiom(const IdiomTable& table) {
  std::unordered_map<std::u16string_view, int32_t> records;
  records.reserve(static_cast<size_t>(table.size()));
  for (int32_t i = 0; i < table.size(); ++i) records.emplace(table.field(i, Field::Idiom), i);
  return records;
}

void AppendCsvField(std::string& out, std::u16string_view field) {
  const bool quoted = field.find_first_of(u",\"\r\n") != std::u16string_view::npos;
  if (!quoted) {
    AppendUtf8(out, field);
    return;
  }
  out += '"';
  for (const char16_t u : field) {
    if (u == u'"') out += '"';
    AppendUtf8(out, std::u16string_view(&u, 1));
  }
  out += '"';
}

void AppendHtml(std::string& out, std::u16string_view field) {
  for (const char16_t u : field) {
    switch (u) {
      case u'&': out += "&amp;"; break;
      case u'<': out += "&lt;"; break;
      case u'>': out += "&gt;"; break;
      case u'\t':
      case u'\r':
      case u'\n': out += ' '; break;
      default: AppendUtf8(out, std::u16string_view(&u, 1));
    }
  }
}

std::u16string FromHtml(std::u16string_view text) {
  static constexpr std::pair<std::u16string_view, char16_t> kEntities[] = {
      {u"&amp;", u'&'}, {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&quot;", u'"'}, {u"&#39;", u'\''}, {u"&nbsp;", u' '}};
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto entity = std::find_if(std::begin(kEntities), std::end(kEntities),
                                     [&](const auto& e) { return text.substr(i, e.first.size()) == e.first; });
    if (text[i] == u'&' && entity != std::end(kEntities)) {
      out += entity->second;
      i += entity->first.size() - 1;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The first field of every CSV record of `text` (RFC 4180: quoted fields
// may hold commas, doubled quotes and line breaks).
std::vector<std::u16string> FirstCsvFields(std::u16string_view text) {
  std::vector<std::u16string> fields;
  std::u16string field;
  bool first = true;    // still in the record's first field
  bool quoted = false;  // inside quotes
  for (size_t i = 0; i <= text.size(); ++i) {
    const char16_t u = i < text.size() ? text[i] : u'\n';
    if (quoted) {
      if (u == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
        if (first) field += u'"';
        ++i;
      } else if (u == u'"') {
        quoted = false;
      } else if (first) {
        field += u;
      }
    } else if (u == u'"') {
      quoted = true;
    } else if (u == u',') {
      first = false;
    } else if (u == u'\n') {
      if (!field.empty() && field.back() == u'\r') field.pop_back();
      fields.push_back(std::move(field));
      field.clear();
      first = true;
    } else if (first) {
      field += u;
    }
  }
  return fields;
}

}  // namespace

bool Wordbook::contains(std::u16string_view idiom) const {
  return std::find(m_idioms.begin(), m_idioms.end(), idiom) != m_idioms.end();
}

bool Wordbook::add(std::u16string_view idiom) {
  if (idiom.empty() || contains(idiom)) return false;
  m_idioms.emplace_back(idiom);
  return true;
}

bool Wordbook::remove(std::u16string_view idiom) {
  const auto at = std::find(m_idioms.begin(), m_idioms.end(), idiom);
  if (at == m_idioms.end()) return false;
  m_idioms.erase(at);
  return true;
}

int Wordbook::merge(const std::vector<std::u16string>& idioms) {
  int added = 0;
  for (const std::u16string& idiom : idioms) added += add(idiom) ? 1 : 0;
  return added;
}

std::filesystem::path WordbookPath() {
  const std::filesystem::path folder = UserDataFolder();
  return folder.empty() ? folder : folder / "wordbook.txt";
}

std::string WordbookFileText(const Wordbook& book) {
  std::string out = ToUtf8(kWordbookHeader) + '\n';
  for (const std::u16string& idiom : book.idioms()) {
    AppendUtf8(out, idiom);
    out += '\n';
  }
  return out;
}

namespace {

Result<Wordbook> ParseText(std::string_view bytes) {
  Result<std::u16string> text = DecodeUtf8(bytes);
  if (!text.ok()) return text.error();
  const std::vector<std::u16string_view> lines = SplitLines(std::u16string_view(*text));
  Wordbook book;
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::u16string_view line = lines[n];
    Error e;
    if (n == 0 && line != kWordbookHeader) {
      e = MakeError(ErrorKind::BadInput, TR("the first line is not the header of a 生词本"));
    } else if (std::any_of(line.begin(), line.end(), [](char16_t u) { return u < 0x20; })) {
      e = MakeError(ErrorKind::BadInput, TR("a line holds a control character"));
    }
    if (!e.ok()) {
      e.line = static_cast<int64_t>(n) + 1;
      return e;
    }
    if (n > 0) book.add(Trimmed(line));
  }
  return book;
}

}  // namespace

Result<Wordbook> ParseWordbook(std::string_view bytes) {
  return CatchOutOfMemory([&] { return ParseText(bytes); });
}

Result<Wordbook> ReadWordbook(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return Wordbook();
  Result<std::string> bytes = ReadWholeFile(path);
  if (!bytes.ok()) return bytes.error();
  return ParseWordbook(*bytes);
}

Error WriteWordbook(const std::filesystem::path& path, const Wordbook& book) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  if (ec) {
    return MakeError(ErrorKind::WriteFailed,
                     Format(TR("cannot make the folder %s (%s)"), {path.parent_path().string(), ec.message()}));
  }
  return CatchOutOfMemory([&] { return WriteFileSafely(path, WordbookFileText(book)); });
}

Result<std::filesystem::path> SetAside(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::path aside = path;
  aside += ".broken";
  for (int n = 2; std::filesystem::exists(std::filesystem::symlink_status(aside, ec)); ++n) {
    aside = path;
    aside += ".broken-" + std::to_string(n);
  }
  std::filesystem::rename(path, aside, ec);
  if (ec) return MakeError(ErrorKind::WriteFailed, Format(TR("cannot rename %s (%s)"), {path.string(), ec.message()}));
  return aside;
}

std::string WordbookCsv(const Wordbook& book, const IdiomTable& table) {
  const auto records = RecordsByIdiom(table);
  std::string out(kBom);
  out += "成语,拼音,释义,出处,示例\r\n";
  for (const std::u16string& idiom : book.idioms()) {
    AppendCsvField(out, idiom);
    const auto record = records.find(idiom);
    for (const Field f : {Field::Pinyin, Field::Meaning, Field::Source, Field::Example}) {
      out += ',';
      if (record != records.end()) AppendCsvField(out, table.field(record->second, f));
    }
    out += "\r\n";
  }
  return out;
}

std::string WordbookAnkiTsv(const Wordbook& book, const IdiomTable& table) {
  const auto records = RecordsByIdiom(table);
  std::string out = "#separator:tab\n#html:true\n";
  for (const std::u16string& idiom : book.idioms()) {
    AppendHtml(out, idiom);
    out += '\t';
    if (const auto record = records.find(idiom); record != records.end()) {
      AppendHtml(out, table.field(record->second, Field::Pinyin));
      out += "<br>";
      AppendHtml(out, table.field(record->second, Field::Meaning));
      out += "<br>";
      AppendHtml(out, table.field(record->second, Field::Source));
    }
    out += '\n';
  }
  return out;
}

namespace {

Result<std::vector<std::u16string>> ReadList(std::string_view bytes) {
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  Result<std::u16string> decoded = DecodeUtf8(bytes);
  if (!decoded.ok()) return decoded.error();
  std::u16string_view text = *decoded;
  // A 生词本 file is read line by line, as its idioms are written.
  if (text.substr(0, kWordbookHeader.size()) == kWordbookHeader) {
    Result<Wordbook> book = ParseWordbook(bytes);
    if (!book.ok()) return book.error();
    return book->idioms();
  }
  // Anki's header lines stand before the first note.
  bool tabs = false;
  while (!text.empty() && text.front() == u'#') {
    const size_t end = text.find(u'\n');
    tabs = tabs || text.substr(0, end).find(u"separator:tab") != std::u16string_view::npos;
    text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
  }
  std::vector<std::u16string> idioms;
  if (tabs || text.substr(0, text.find(u'\n')).find(u'\t') != std::u16string_view::npos) {
    for (const std::u16string_view line : SplitLines(text)) {
      if (!line.empty() && line.front() == u'#') continue;
      idioms.push_back(FromHtml(Trimmed(line.substr(0, line.find(u'\t')))));
    }
  } else {
    idioms = FirstCsvFields(text);
    if (!idioms.empty() && idioms.front() == u"成语") idioms.erase(idioms.begin());
    for (std::u16string& idiom : idioms) idiom = std::u16string(Trimmed(idiom));
  }
  std::erase_if(idioms, [](const std::u16string& idiom) {
    return idiom.empty() || std::any_of(idiom.begin(), idiom.end(), [](char16_t u) { return u < 0x20; });
  });
  return idioms;
}

}  // namespace

Result<std::vector<std::u16string>> ReadIdiomList(std::string_view bytes) {
  return CatchOutOfMemory([&] { return ReadList(bytes); });
}

}  // namespace tessaly
