// Public JSON idiom data to cy.dat lines.
#include "importer.h"

#include <nlohmann/json.hpp>

#include "gbk.h"
#include "idiom_file.h"
#include "messages.h"
#include "pinyin.h"
#include "text.h"

namespace tessaly {
namespace {

using Json = nlohmann::json;

std::u16string StringOf(const Json& record, const char* key) {
  const auto it = record.find(key);
  if (it == record.end() || !it->is_string()) return {};
  return FromUtf8(it->get_ref<const std::string&>());
}

Error Skip(std::string why) { return MakeError(ErrorKind::BadInput, std::move(why)); }

// LineAndColumn names a byte offset of `text` as line and column, from 1.
std::string LineAndColumn(std::string_view text, size_t offset) {
  size_t line = 1;
  size_t column = 1;
  for (size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++column;
    }
  }
  return Format(TR("line %s, column %s"), {std::to_string(line), std::to_string(column)});
}

}  // namespace

std::u16string FieldText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u == kFieldSeparator) {
      out.push_back(u'\uFF03');
    } else if (u == u'\r' || u == u'\n' || u == u'\u2028' || u == u'\u2029' || u == u'\0') {
      if (u == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      out.push_back(u' ');
    } else {
      out.push_back(u);
    }
  }
  return out.empty() ? std::u16string(u"无") : out;
}

void Importer::keepTable(const IdiomTable& table) {
  for (int32_t r = 0; r < table.size(); ++r) {
    const IdiomRecord rec = table.record(r);
    std::u16string line;
    for (size_t f = 0; f < rec.Fields.size(); ++f) {
      if (f > 0) line += kFieldSeparator;
      line += rec.Fields[f];
    }
    // A loaded file may hold GB18030-only characters; it is kept as it was.
    Result<std::string> bytes = EncodeGb18030(line);
    m_idioms.insert(std::u16string(rec.Fields[0]));
    m_lines.push_back(bytes.ok() ? std::move(bytes).value() : std::string());
    m_where.emplace_back();
  }
}

void Importer::drop(const std::vector<std::pair<size_t, std::string>>& reasons, size_t firstNew) {
  std::vector<bool> gone(m_lines.size(), false);
  for (const auto& [index, why] : reasons) {
    if (index < firstNew || index >= m_lines.size() || gone[index]) continue;
    gone[index] = true;
    m_skipped.push_back({m_where[index], why});
  }
  size_t kept = 0;
  for (size_t i = 0; i < m_lines.size(); ++i) {
    if (gone[i]) continue;
    if (kept != i) {
      m_lines[kept] = std::move(m_lines[i]);
      m_where[kept] = std::move(m_where[i]);
    }
    ++kept;
  }
  m_lines.resize(kept);
  m_where.resize(kept);
}

Error Importer::addRecord(const Json& record, std::string where) {
  if (!record.is_object()) return Skip(TR("not an object"));
  std::u16string word = StringOf(record, "word");
  if (word.empty()) return Skip(TR("no word (the idiom)"));
  word = FieldText(word);
  if (word.find_first_not_of(kIdiomComma) == std::u16string::npos) return Skip(TR("the idiom is nothing but full-width commas"));
  if (m_idioms.count(word)) return Skip(TR("the idiom is there already"));
  const std::u16string pinyin = StringOf(record, "pinyin");
  std::u16string initials = StringOf(record, "abbreviation");
  for (char16_t& u : initials) {
    if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u - u'A' + u'a');
  }
  if (initials.empty()) initials = InitialsFromPinyin(pinyin);
  const std::u16string line = word + kFieldSeparator + FieldText(initials) + kFieldSeparator + FieldText(pinyin) + kFieldSeparator +
                              FieldText(StringOf(record, "explanation")) + kFieldSeparator +
                              FieldText(StringOf(record, "derivation")) + kFieldSeparator +
                              FieldText(StringOf(record, "example"));
  if (!CheckLine(line, 0).ok()) return Skip(TR("makes no valid line"));
  Result<std::string> bytes = EncodeGbk(line);
  if (!bytes.ok()) return Skip(bytes.error().reason);
  m_idioms.insert(word);
  m_lines.push_back(std::move(bytes).value());
  m_where.push_back(std::move(where));
  return {};
}

Error Importer::addJson(std::string_view text, const std::string& source) {
  Json data;
  try {
    data = Json::parse(text);
  } catch (const Json::parse_error& e) {
    return Skip(Format(TR("%s is not valid JSON (%s): %s"),
                       {source, LineAndColumn(text, e.byte > 0 ? e.byte - 1 : 0), e.what()}));
  } catch (const Json::exception& e) {
    // Well-formed JSON the reader cannot hold, such as a number beyond
    // double's range.
    return Skip(Format(TR("cannot read %s: %s"), {source, e.what()}));
  }
  if (!data.is_array()) return Skip(Format(TR("%s does not hold an array"), {source}));
  for (size_t k = 0; k < data.size(); ++k) {
    const Json& record = data[k];
    std::string where = Format(TR("%s, record %s"), {source, std::to_string(k + 1)});
    const auto word = record.is_object() ? record.find("word") : record.end();
    if (record.is_object() && word != record.end() && word->is_string() &&
        !word->get_ref<const std::string&>().empty()) {
      where = Format(TR("%s (%s)"), {where, word->get<std::string>()});
    }
    if (Error why = addRecord(record, where); !why.ok()) m_skipped.push_back({std::move(where), std::move(why.reason)});
  }
  return {};
}

std::string Importer::fileBytes() const {
  std::string out;
  size_t size = 0;
  for (const std::string& line : m_lines) size += line.size() + 2;
  out.reserve(size);
  for (const std::string& line : m_lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

}  // namespace tessaly
