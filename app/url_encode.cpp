// UrlEncodeUtf8.
#include "url_encode.h"

namespace tessaly {
namespace {

bool EscapeAscii(char16_t u) {
  if (u < 0x20 || u == 0x7F) return true;
  for (char c : " \"#%&'+<=>?\\^`{|}") {
    if (c != '\0' && u == static_cast<char16_t>(c)) return true;
  }
  return false;
}

}  // namespace

QString UrlEncodeUtf8(const QString& text) {
  static const char kHex[] = "0123456789ABCDEF";
  QString out;
  out.reserve(text.size() * 9);
  auto escape = [&](unsigned byte) {
    out += u'%';
    out += QLatin1Char(kHex[byte >> 4]);
    out += QLatin1Char(kHex[byte & 0xF]);
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t u = text[i].unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      u = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
      ++i;
    } else if (QChar::isSurrogate(u)) {
      u = 0xFFFD;
    }
    if (u < 0x80) {
      if (EscapeAscii(static_cast<char16_t>(u))) {
        escape(u);
      } else {
        out += QChar(static_cast<char16_t>(u));
      }
    } else if (u < 0x800) {
      escape(0xC0 | (u >> 6));
      escape(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
      escape(0xE0 | (u >> 12));
      escape(0x80 | ((u >> 6) & 0x3F));
      escape(0x80 | (u & 0x3F));
    } else {
      escape(0xF0 | (u >> 18));
      escape(0x80 | ((u >> 12) & 0x3F));
      escape(0x80 | ((u >> 6) & 0x3F));
      escape(0x80 | (u & 0x3F));
    }
  }
  return out;
}

}  // namespace tessaly
