// Public JSON idiom data to cy.dat lines.
#include "importer.h"

#include <array>
#include <functional>
#include <optional>

#include <nlohmann/json.hpp>

#include "gbk.h"
#include "idiom_file.h"
#include "messages.h"
#include "pinyin.h"
#include "text.h"

namespace tessaly {
namespace {

using Json = nlohmann::json;

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

namespace {

// The fields of a record that the importer reads, as the JSON names them.
constexpr std::array<std::string_view, 6> kKeys = {"word", "pinyin", "abbreviation", "explanation", "derivation",
                                                  "example"};

// A reader of the JSON text that takes one record at a time (nlohmann's
// SAX interface): a whole text is never held as a tree, so that the memory
// it takes is the record's, whatever the size of the file.
class RecordReader : public nlohmann::json_sax<Json> {
 public:
  using Found = std::function<void(Importer::Record&)>;

  RecordReader(std::string_view text, const Found& found) : m_text(text), m_found(found) {}

  // Why parsing stopped, once it did: where it stopped and what it found
  // there, or (no place) that the text holds no array.
  struct Failure {
    std::string where;
    std::string what;
  };
  const std::optional<Failure>& failure() const { return m_failure; }

  bool null() override { return value(); }
  bool boolean(bool) override { return value(); }
  bool number_integer(number_integer_t) override { return value(); }
  bool number_unsigned(number_unsigned_t) override { return value(); }
  bool number_float(number_float_t, const string_t&) override { return value(); }
  bool binary(binary_t&) override { return value(); }
  bool string(string_t& text) override {
    if (m_depth == 2 && m_field >= 0) m_record.fields[static_cast<size_t>(m_field)] = FromUtf8(text);
    return value();
  }
  bool start_object(std::size_t) override { return open(true); }
  bool start_array(std::size_t) override { return open(false); }
  bool end_object() override { return close(); }
  bool end_array() override { return close(); }
  bool key(string_t& name) override {
    m_field = -1;
    if (m_depth != 2) return true;
    for (size_t k = 0; k < kKeys.size(); ++k) {
      if (name == kKeys[k]) m_field = static_cast<int>(k);
    }
    return true;
  }
  bool parse_error(std::size_t position, const std::string& token, const nlohmann::detail::exception& e) override {
    // Our own words for what the reader found, with where it stands.
    const size_t at = position > 0 ? position - 1 : 0;
    const std::string where = LineAndColumn(m_text, at);
    std::string what;
    if (e.id == 406) {
      what = Format(TR("a number out of range: %s"), {token});
    } else if (at >= m_text.size()) {
      what = TR("the text ends too early");
    } else {
      // The character the reader stopped at, whole.
      size_t end = at + 1;
      while (end < m_text.size() && (static_cast<unsigned char>(m_text[end]) & 0xC0) == 0x80) ++end;
      what = Format(TR("unexpected '%s'"), {std::string(m_text.substr(at, end - at))});
    }
    m_failure = Failure{where, what};
    return false;
  }

 private:
  // A value at the level of the records is a record that is no object.
  bool value() {
    if (m_depth == 0) return notAnArray();
    if (m_depth == 1) found(false);
    return true;
  }
  bool open(bool object) {
    if (m_depth == 0 && object) return notAnArray();
    ++m_depth;
    if (m_depth == 2) {
      m_record = Importer::Record();
      m_record.object = object;
    }
    return true;
  }
  bool close() {
    if (m_depth == 2) found(m_record.object);
    --m_depth;
    return true;
  }
  void found(bool object) {
    if (!object) m_record = Importer::Record();
    m_record.number = ++m_count;
    m_found(m_record);
  }
  bool notAnArray() {
    m_failure = Failure{};
    return false;
  }

  std::string_view m_text;
  const Found& m_found;
  std::optional<Failure> m_failure;
  Importer::Record m_record;
  size_t m_count = 0;
  int m_depth = 0;   // 1 inside the array, 2 inside a record
  int m_field = -1;  // the index in kKeys of the key whose value comes next
};

}  // namespace

Error Importer::addRecord(const Record& record, std::string where) {
  if (!record.object) return Skip(TR("not an object"));
  std::u16string word = record.fields[0];
  if (word.empty()) return Skip(TR("no word (the idiom)"));
  word = FieldText(word);
  if (word.find_first_not_of(kIdiomComma) == std::u16string::npos) return Skip(TR("the idiom is nothing but full-width commas"));
  if (m_idioms.count(word)) return Skip(TR("the idiom is there already"));
  const std::u16string& pinyin = record.fields[1];
  std::u16string initials = record.fields[2];
  for (char16_t& u : initials) {
    if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u - u'A' + u'a');
  }
  if (initials.empty()) initials = InitialsFromPinyin(pinyin);
  const std::u16string line = word + kFieldSeparator + FieldText(initials) + kFieldSeparator + FieldText(pinyin) +
                              kFieldSeparator + FieldText(record.fields[3]) + kFieldSeparator +
                              FieldText(record.fields[4]) + kFieldSeparator + FieldText(record.fields[5]);
  if (!CheckLine(line, 0).ok()) return Skip(TR("makes no valid line"));
  Result<std::string> bytes = EncodeGbk(line);
  if (!bytes.ok()) return Skip(bytes.error().reason);
  m_idioms.insert(word);
  m_lines.push_back(std::move(bytes).value());
  m_where.push_back(std::move(where));
  return {};
}

Error Importer::addJson(std::string_view text, const std::string& source) {
  // What is read takes memory by its size: running out is an error to
  // report, not a reason to end the program.
  return CatchOutOfMemory([&] { return addJsonText(text, source); });
}

Error Importer::addJsonText(std::string_view text, const std::string& source) {
  const size_t lines = m_lines.size();
  const size_t skipped = m_skipped.size();
  std::vector<std::u16string> added;
  const RecordReader::Found found = [&](Record& record) {
    std::string where = Format(TR("%s, record %s"), {source, std::to_string(record.number)});
    if (record.object && !record.fields[0].empty()) where = Format(TR("%s (%s)"), {where, ToUtf8(record.fields[0])});
    if (Error why = addRecord(record, where); !why.ok()) {
      m_skipped.push_back({std::move(where), std::move(why.reason)});
    } else {
      added.push_back(FieldText(record.fields[0]));
    }
  };
  RecordReader reader(text, found);
  if (Json::sax_parse(text, &reader) && !reader.failure()) return {};
  // A text that is not what the importer reads adds nothing.
  for (const std::u16string& word : added) m_idioms.erase(word);
  m_lines.resize(lines);
  m_where.resize(lines);
  m_skipped.resize(skipped);
  const auto& failure = reader.failure();
  if (!failure || failure->where.empty()) return Skip(Format(TR("%s does not hold an array"), {source}));
  return Skip(Format(TR("%s is not valid JSON (%s): %s"), {source, failure->where, failure->what}));
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
