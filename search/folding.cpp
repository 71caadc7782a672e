// Folding traditional characters to simplified ones through OpenCC.
#include "folding.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include <opencc.h>

#include "text.h"

namespace tessaly {
namespace {

// OpenCC's converter, opened once; null when its data is missing.
opencc_t Converter() {
  static const opencc_t converter = [] {
    const opencc_t c = opencc_open("t2s.json");
    return c == reinterpret_cast<opencc_t>(-1) ? nullptr : c;
  }();
  return converter;
}

std::string ConvertUtf8(const std::string& text) {
  const opencc_t converter = Converter();
  if (converter == nullptr || text.empty()) return text;
  // One converter serves every thread that folds, one at a time.
  static std::mutex lock;
  std::lock_guard<std::mutex> hold(lock);
  std::unique_ptr<char, void (*)(char*)> out(opencc_convert_utf8(converter, text.data(), text.size()),
                                               &opencc_convert_utf8_free);
  return out ? std::string(out.get()) : text;
}

}  // namespace

std::u16string ToSimplified(std::u16string_view text) { return FromUtf8(ConvertUtf8(ToUtf8(text))); }

IdiomTable FoldIdioms(const IdiomTable& table) {
  // All idioms in one conversion, ended by "#": no idiom holds one, and no
  // phrase of OpenCC's spans one.
  std::u16string all;
  for (int32_t i = 0; i < table.size(); ++i) {
    all += table.field(i, Field::Idiom);
    all += u'#';
  }
  std::u16string folded = ToSimplified(all);
  if (std::count(folded.begin(), folded.end(), u'#') != table.size()) {
    // Never seen; should a conversion ever move an end, each idiom goes on
    // its own.
    folded.clear();
    for (int32_t i = 0; i < table.size(); ++i) folded += ToSimplified(table.field(i, Field::Idiom)) + u'#';
  }
  IdiomTable out;
  size_t pos = 0;
  for (int32_t i = 0; i < table.size(); ++i) {
    const size_t end = folded.find(u'#', pos);
    const std::u16string_view idiom = std::u16string_view(folded).substr(pos, end - pos);
    // A conversion that leaves nothing usable keeps the record's own text:
    // the two tables stay record for record alike.
    if (!out.appendLine(std::u16string(idiom) + u"#-#-#-#-#-")) {
      out.appendLine(std::u16string(table.field(i, Field::Idiom)) + u"#-#-#-#-#-");
    }
    pos = end + 1;
  }
  return out;
}

}  // namespace tessaly
