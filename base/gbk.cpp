// GBK decoding and encoding: a pair table built from ICU's converter, and
// ICU itself for the rest.
#include "gbk.h"

#include <memory>
#include <vector>

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include "messages.h"
#include "text.h"

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

// Every lead byte (0x81 to 0xFE) with every byte that can follow it in a
// two-byte character (0x40 to 0xFE but 0x7F), decoded by ICU one pair at a
// time: a pair that yields anything but one unit stays out of the table.
std::vector<char16_t> BuildPairs() {
  std::vector<char16_t> table(1 << 16, u'\0');
  Converter conv = OpenStrict();
  if (!conv) return table;
  UErrorCode status = U_ZERO_ERROR;
  ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_SKIP, nullptr, nullptr, nullptr, &status);
  char pair[2];
  UChar units[4];
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      pair[0] = static_cast<char>(lead);
      pair[1] = static_cast<char>(trail);
      ucnv_reset(conv.get());
      status = U_ZERO_ERROR;
      UChar* target = units;
      const char* source = pair;
      ucnv_toUnicode(conv.get(), &target, units + 4, &source, pair + 2, nullptr, /*flush=*/true, &status);
      if (U_SUCCESS(status) && target == units + 1 && units[0] != 0) {
        table[static_cast<size_t>(lead << 8 | trail)] = static_cast<char16_t>(units[0]);
      }
    }
  }
  return table;
}

// DecodeGb18030Char decodes the one character at the start of [p, end)
// through ICU, for what the pair table does not hold. Writes its one or
// two code units to `out` and returns the bytes it took; 0 when the bytes
// there are not GB18030 (or stop short of a whole character).
size_t DecodeGb18030Char(const char* p, const char* end, char16_t* out, size_t& units) {
  units = 0;
  if (p >= end) return 0;
  thread_local Converter conv = OpenStrict();
  if (!conv) return 0;
  ucnv_reset(conv.get());
  UErrorCode status = U_ZERO_ERROR;
  const char* source = p;
  // At most one character: a GB18030 character is never longer than four
  // bytes.
  const char* limit = end - p > 4 ? p + 4 : end;
  const UChar32 c = ucnv_getNextUChar(conv.get(), &source, limit, &status);
  if (U_FAILURE(status)) return 0;
  if (c <= 0xFFFF) {
    out[0] = static_cast<char16_t>(c);
    units = 1;
  } else {
    out[0] = static_cast<char16_t>(0xD7C0 + (c >> 10));
    out[1] = static_cast<char16_t>(0xDC00 | (c & 0x3FF));
    units = 2;
  }
  return static_cast<size_t>(source - p);
}

}  // namespace

const char16_t* GbkPairs() {
  static const std::vector<char16_t> table = BuildPairs();
  return table.data();
}

size_t gbk_detail::DecodeOther(const unsigned char* s, const char* end, char16_t* out, size_t& units) {
  return DecodeGb18030Char(reinterpret_cast<const char*>(s), end, out, units);
}

Result<std::u16string> DecodeGbk(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  const char* s = bytes.data();
  const char* const end = bytes.data() + bytes.size();
  const char16_t* written = DecodeGbkSpan(s, end, end, out.data());
  if (written == nullptr) {
    Error e = MakeError(ErrorKind::BadEncoding, TR("holds bytes that are not GBK"));
    e.offset = s - bytes.data();
    return e;
  }
  out.resize(static_cast<size_t>(written - out.data()));
  return out;
}

Result<std::string> EncodeGb18030(std::u16string_view text) {
  std::string out;
  if (text.empty()) return out;
  Converter conv = OpenStrict();
  if (!conv) return MakeError(ErrorKind::MissingData, TR("ICU has no GB18030 converter"));
  out.resize(text.size() * 4 + 8);
  char* target = out.data();
  const UChar* const begin = reinterpret_cast<const UChar*>(text.data());
  const UChar* source = begin;
  UErrorCode status = U_ZERO_ERROR;
  ucnv_fromUnicode(conv.get(), &target, out.data() + out.size(), &source, begin + text.size(), nullptr,
                   /*flush=*/true, &status);
  if (U_FAILURE(status)) {
    Error e = MakeError(ErrorKind::BadEncoding, TR("holds an unpaired surrogate"));
    e.offset = (source - begin) > 0 ? (source - begin) - 1 : 0;
    return e;
  }
  out.resize(static_cast<size_t>(target - out.data()));
  return out;
}

Result<std::string> EncodeGbk(std::u16string_view text) {
  Result<std::string> encoded = EncodeGb18030(text);
  if (!encoded.ok()) return encoded;
  // GB18030 writes what GBK lacks as four bytes whose second byte is a
  // digit; a GBK trail byte never is. The character is then found again
  // by counting the characters before it.
  const std::string& out = *encoded;
  size_t characters = 0;
  for (size_t i = 0; i < out.size(); ++i, ++characters) {
    if (static_cast<unsigned char>(out[i]) < 0x80) continue;
    if (i + 1 < out.size() && out[i + 1] >= '0' && out[i + 1] <= '9') {
      size_t at = 0;
      for (size_t k = 0; k < characters; ++k) at += (text[at] >= 0xD800 && text[at] <= 0xDBFF) ? 2 : 1;
      const size_t n = at + 1 < text.size() && text[at] >= 0xD800 && text[at] <= 0xDBFF ? 2 : 1;
      Error e = MakeError(ErrorKind::BadEncoding, Format(TR("holds “%s”, which GBK lacks"), {ToUtf8(text.substr(at, n))}));
      e.offset = static_cast<int64_t>(at);
      return e;
    }
    ++i;
  }
  return encoded;
}

}  // namespace tessaly
