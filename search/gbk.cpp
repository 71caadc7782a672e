// GBK decoding and encoding through ICU's ucnv.
#include "gbk.h"

#include <memory>

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

namespace tessaly {
namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// A strict converter: any unmapped or malformed sequence stops conversion
// instead of being replaced, so a broken file is reported, not mangled.
Converter OpenStrict() {
  UErrorCode status = U_ZERO_ERROR;
  Converter conv(ucnv_open("GB18030", &status));
  if (U_FAILURE(status)) return nullptr;
  ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
  if (U_FAILURE(status)) return nullptr;
  return conv;
}

}  // namespace

bool DecodeGbk(std::string_view bytes, std::u16string& out, size_t& errorOffset) {
  out.clear();
  errorOffset = 0;
  if (bytes.empty()) return true;
  Converter conv = OpenStrict();
  if (!conv) return false;
  // One byte never yields more than one UTF-16 code unit (a four-byte
  // sequence yields two), so the input size bounds the output.
  out.resize(bytes.size());
  UChar* target = reinterpret_cast<UChar*>(out.data());
  UChar* const targetStart = target;
  const char* source = bytes.data();
  const char* const sourceEnd = bytes.data() + bytes.size();
  UErrorCode status = U_ZERO_ERROR;
  ucnv_toUnicode(conv.get(), &target, target + out.size(), &source, sourceEnd, nullptr,
                 /*flush=*/true, &status);
  out.resize(static_cast<size_t>(target - targetStart));
  if (U_FAILURE(status)) {
    char bad[32];
    int8_t badLength = sizeof bad;
    UErrorCode ignored = U_ZERO_ERROR;
    ucnv_getInvalidChars(conv.get(), bad, &badLength, &ignored);
    const size_t consumed = static_cast<size_t>(source - bytes.data());
    errorOffset = consumed >= static_cast<size_t>(badLength) ? consumed - badLength : 0;
    return false;
  }
  return true;
}

bool EncodeGb18030(std::u16string_view text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  Converter conv = OpenStrict();
  if (!conv) return false;
  out.resize(text.size() * 4 + 8);
  char* target = out.data();
  const UChar* source = reinterpret_cast<const UChar*>(text.data());
  UErrorCode status = U_ZERO_ERROR;
  ucnv_fromUnicode(conv.get(), &target, out.data() + out.size(), &source,
                   source + text.size(), nullptr, /*flush=*/true, &status);
  if (U_FAILURE(status)) return false;
  out.resize(static_cast<size_t>(target - out.data()));
  return true;
}

bool EncodeGbk(std::u16string_view text, std::string& out) {
  if (!EncodeGb18030(text, out)) return false;
  // GB18030 writes what GBK lacks as four bytes whose second byte is a
  // digit; a GBK trail byte never is.
  for (size_t i = 0; i < out.size(); ++i) {
    if (static_cast<unsigned char>(out[i]) < 0x80) continue;
    if (i + 1 < out.size() && out[i + 1] >= '0' && out[i + 1] <= '9') return false;
    ++i;
  }
  return true;
}

}  // namespace tessaly
