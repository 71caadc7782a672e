// Folding traditional characters to simplified ones through OpenCC.
#include "folding.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include <opencc.h>

#include "messages.h"
#include "table_writer.h"
#include "text.h"

namespace tessaly {
namespace {

// An OpenCC converter of `config`, opened on first use and kept; null
// when its data is missing.
opencc_t OpenConverter(const char* config) {
  const opencc_t c = opencc_open(config);
  return c == reinterpret_cast<opencc_t>(-1) ? nullptr : c;
}

// Converts `text` with `converter`; `lock` makes its users take turns.
Result<std::u16string> Convert(opencc_t converter, std::mutex& lock, std::u16string_view text, bool toSimplified) {
  if (text.empty()) return std::u16string();
  const std::string utf8 = ToUtf8(text);
  std::lock_guard<std::mutex> hold(lock);
  std::unique_ptr<char, void (*)(char*)> out(opencc_convert_utf8(converter, utf8.data(), utf8.size()),
                                               &opencc_convert_utf8_free);
  if (!out) {
    return MakeError(ErrorKind::BadInput, toSimplified ? TR("the conversion to simplified characters failed")
                                                       : TR("the conversion to traditional characters failed"));
  }
  return FromUtf8(out.get());
}

// Puts `text` into `column` as its next record.
void Put(ColumnWriter column, std::u16string_view text) {
  column.room(text.size());
  char16_t* out = std::copy(text.begin(), text.end(), column.end());
  column.close(out);
}

}  // namespace

Result<std::u16string> ToSimplified(std::u16string_view text) {
  static const opencc_t converter = OpenConverter("t2s.json");
  static std::mutex lock;
  if (converter == nullptr) {
    return MakeError(ErrorKind::MissingData,
                     TR("简繁通查 needs OpenCC's conversion data (t2s.json), which is not installed"));
  }
  return Convert(converter, lock, text, true);
}

Result<std::u16string> ToTraditional(std::u16string_view text) {
  static const opencc_t converter = OpenConverter("s2t.json");
  static std::mutex lock;
  if (converter == nullptr) {
    return MakeError(ErrorKind::MissingData,
                     TR("traditional characters need OpenCC's conversion data (s2t.json), which is not installed"));
  }
  return Convert(converter, lock, text, false);
}

Result<FoldedIdioms> FoldedIdioms::Make(const IdiomTable& table) {
  // All idioms in one conversion, ended by "#": no idiom holds one, and no
  // phrase of OpenCC's spans one.
  std::u16string all;
  all.reserve(table.column(Field::Idiom).text().size() + static_cast<size_t>(table.size()));
  for (int32_t i = 0; i < table.size(); ++i) {
    all += table.field(i, Field::Idiom);
    all += kFieldSeparator;
  }
  Result<std::u16string> folded = ToSimplified(all);
  if (!folded.ok()) return folded.error();
  if (std::count(folded->begin(), folded->end(), kFieldSeparator) != table.size()) {
    // Never seen; should a conversion ever move an end, each idiom goes on
    // its own.
    folded->clear();
    for (int32_t i = 0; i < table.size(); ++i) {
      Result<std::u16string> one = ToSimplified(table.field(i, Field::Idiom));
      if (!one.ok()) return one.error();
      *folded += *one + kFieldSeparator;
    }
  }
  FoldedIdioms out;
  std::u16string chars;
  size_t pos = 0;
  for (int32_t i = 0; i < table.size(); ++i) {
    const size_t end = folded->find(kFieldSeparator, pos);
    std::u16string_view idiom = std::u16string_view(*folded).substr(pos, end - pos);
    chars.assign(idiom);
    std::erase(chars, kIdiomComma);
    // A conversion that leaves nothing usable keeps the record's own text:
    // the two stay record for record alike.
    if (chars.empty()) {
      idiom = table.field(i, Field::Idiom);
      chars.assign(table.IdiomChars(i));
    }
    Put(ColumnWriter(out.m_idioms), idiom);
    Put(ColumnWriter(out.m_chars), chars);
    pos = end + 1;
  }
  ColumnWriter(out.m_idioms).fit();
  ColumnWriter(out.m_chars).fit();
  return out;
}

}  // namespace tessaly
