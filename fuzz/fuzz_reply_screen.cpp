// Fuzzes the screening of text replies: any reply text. A failed server page
// is never accepted, and an accepted reply loses exactly its CR LF pairs (in
// one pass: a pair that only forms once another is gone stays).
#include <cstdint>
#include <cstdlib>

#include <QString>

#include "hc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString reply = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QString cleaned;
  const tessaly::ReplyScreen screen = tessaly::ScreenTextReply(reply, cleaned);
  const bool page = reply.startsWith(QLatin1String("<!DOCTYPE")) ||
                    reply.contains(QLatin1String("<b>Warning</b>"));
  if (page != (screen != tessaly::ReplyScreen::Accepted)) std::abort();
  if (screen == tessaly::ReplyScreen::Accepted) {
    const qsizetype pairs = reply.count(QLatin1String("\r\n"));
    if (cleaned.size() != reply.size() - 2 * pairs) std::abort();
    if (QString(cleaned).remove(u'\r').remove(u'\n') != QString(reply).remove(u'\r').remove(u'\n')) std::abort();
  }
  return 0;
}
