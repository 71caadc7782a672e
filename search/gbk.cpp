// GBK decoding and encoding: a pair table built from ICU's converter, and
// ICU itself for the rest.
#include "gbk.h"

#include <memory>
#include <vector>

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

// Every lead byte (0x81 to 0xFE) with every byte that can follow it in a
// two-byte character (0x40 to 0xFE but 0x7F), decoded by ICU in one call.
// Each pair is decoded alone (a converter reset between pairs would be the
// same thing): the offsets ICU reports tell which pair each unit came from,
// and a pair that yields anything but one unit stays out of the table.
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

}  // namespace

const char16_t* GbkPairs() {
  static const std::vector<char16_t> table = BuildPairs();
  return table.data();
}

size_t DecodeGb18030Char(const char* p, const char* end, char16_t out[2], size_t& units) {
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

bool DecodeGbk(std::string_view bytes, std::u16string& out, size_t& errorOffset) {
  out.clear();
  errorOffset = 0;
  const char16_t* pairs = GbkPairs();
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  out.reserve(n);
  size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    if (i + 1 < n) {
      const char16_t u = pairs[b << 8 | s[i + 1]];
      if (u != 0) {
        out.push_back(u);
        i += 2;
        continue;
      }
    }
    char16_t units[2];
    size_t count = 0;
    const size_t used = DecodeGb18030Char(bytes.data() + i, bytes.data() + n, units, count);
    if (used == 0) {
      errorOffset = i;
      return false;
    }
    out.append(units, count);
    i += used;
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
