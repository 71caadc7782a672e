// Text helpers; the conversions go through ICU.
#include "text.h"

#include <unicode/ustring.h>

namespace tessaly {

std::string ToUtf8(std::u16string_view text) {
  if (text.empty()) return {};
  // A UTF-16 code unit never needs more than three UTF-8 bytes.
  std::string out(text.size() * 3, '\0');
  int32_t written = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &written,
                     reinterpret_cast<const UChar*>(text.data()),
                     static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<size_t>(written));
  return out;
}

std::u16string RemoveCrLfPairs(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      ++i;
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

std::u16string FromUtf8(std::string_view text) {
  if (text.empty()) return {};
  // Every UTF-8 byte yields at most one UTF-16 code unit.
  std::u16string out(text.size(), u'\0');
  int32_t written = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                       &written, text.data(), static_cast<int32_t>(text.size()), 0xFFFD,
                       nullptr, &status);
  if (U_FAILURE(status)) return {};
  out.resize(static_cast<size_t>(written));
  return out;
}

}  // namespace tessaly
