// Fuzzes the reading of the version file: any reply text. The reading never
// fails, and a reply that does not begin with a digit, a sign or a point
// (after CR LF pairs and spaces are gone) is never newer.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include <QString>

#include "hc.h"
#include "update_me.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString reply = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const bool newer = tessaly::IsNewerVersion(reply, 1, 23);
  const double number = tessaly::LeadingNumber(reply);
  if (std::isnan(number)) std::abort();
  QString cleaned = tessaly::RemoveCrLfPairs(reply);
  cleaned.remove(u' ');
  const bool numeric = !cleaned.isEmpty() && (cleaned[0].isDigit() || cleaned[0] == u'.' ||
                                              cleaned[0] == u'+' || cleaned[0] == u'-');
  if (newer && !numeric) std::abort();
  return 0;
}
