// Fuzzes UrlEncodeUtf8: any UTF-16 text. The result is plain printable
// ASCII, carries no character that would change the address, and decodes
// back to the input (unpaired surrogates read as U+FFFD).
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QUrl>

#include "url_encode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
  for (qsizetype i = 0; i < text.size(); ++i) {
    text[i] = QChar(static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8));
  }
  const QString encoded = tessaly::UrlEncodeUtf8(text);
  for (QChar c : encoded) {
    const char16_t u = c.unicode();
    if (u <= 0x20 || u >= 0x7F) std::abort();
    if (QStringLiteral("\"#&'+<=>?\\^`{|}").contains(c)) std::abort();
  }
  QString expected = text;
  for (qsizetype i = 0; i < expected.size(); ++i) {
    if (expected[i].isHighSurrogate() && i + 1 < expected.size() && expected[i + 1].isLowSurrogate()) {
      ++i;
    } else if (expected[i].isSurrogate()) {
      expected[i] = QChar(0xFFFD);
    }
  }
  const QByteArray decoded = QByteArray::fromPercentEncoding(encoded.toLatin1());
  // A leading U+FEFF is text here, not a byte order mark to drop.
  QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
  if (QString(utf8(decoded)) != expected) std::abort();
  return 0;
}
