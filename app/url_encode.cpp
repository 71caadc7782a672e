// UrlEncodeUtf8.
#include "url_encode.h"

#include <string>

#include "qt_text.h"
#include "text.h"

namespace tessaly {
namespace {

bool EscapeAscii(unsigned char c) {
  if (c < 0x20 || c == 0x7F) return true;
  for (char e : " \"#%&'+<=>?\\^`{|}") {
    if (e != '\0' && c == static_cast<unsigned char>(e)) return true;
  }
  return false;
}

}  // namespace

QString UrlEncodeUtf8(const QString& text) {
  static const char kHex[] = "0123456789ABCDEF";
  // The bytes come from the one UTF-8 writer (text.h), which pairs
  // surrogates and writes U+FFFD for a lone one.
  const std::string bytes = ToUtf8(ViewOf(text));
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()) * 3);
  for (const char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    if (c < 0x80 && !EscapeAscii(c)) {
      out += QLatin1Char(byte);
    } else {
      out += u'%';
      out += QLatin1Char(kHex[c >> 4]);
      out += QLatin1Char(kHex[c & 0xF]);
    }
  }
  return out;
}

}  // namespace tessaly
