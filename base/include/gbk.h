// GBK text, the encoding of cy.dat. Decoding is table-driven for the one-
// and two-byte characters that make up GBK and falls back to ICU's GB18030
// converter (a superset of GBK) for the four-byte sequences of GB18030, so
// every file decodes exactly as that converter decodes it, only faster.
// DecodeGbkSpan is the one decoding loop: the loader decodes every field
// with it, and DecodeGbk (which the tests hold against ICU) is a call of it.
//
//   Result<std::u16string> text = DecodeGbk(bytes);
//   if (!text.ok()) report("bad byte at offset", text.error().offset);
#pragma once

#include <string>
#include <string_view>

#include "error.h"

namespace tessaly {

// GbkPairs returns the UTF-16 code unit of every two-byte sequence, indexed
// by lead << 8 | trail, as ICU's GB18030 converter decodes it; 0 where
// the pair is not one character of two bytes (a four-byte sequence starts
// there, or the bytes are not GB18030). Built once, on first use.
const char16_t* GbkPairs();

// DecodeGbkSpan decodes the GB18030 characters that start in [s, stop)
// into `out`; a character that starts before `stop` may be read up to
// `end`. No byte gives more than one code unit (a four-byte sequence gives
// two), so `out` needs room for stop - s units. Returns the end of what it
// wrote, with `s` where it stopped; returns null with `s` at the first
// byte that does not start a GB18030 character (or whose character `end`
// cuts).
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline char16_t* DecodeGbkSpan(const char*& s, const char* stop, const char* end, char16_t* out);

// DecodeGbk decodes `bytes`. A byte sequence that is neither GBK nor
// GB18030 is a BadEncoding error whose offset is the first bad byte's.
Result<std::u16string> DecodeGbk(std::string_view bytes);

// EncodeGb18030 encodes `text` as GB18030: GBK bytes for every character
// GBK has, four-byte GB18030 sequences for the rest. Fails (BadEncoding,
// offset the code unit's index) only for an unpaired surrogate.
Result<std::string> EncodeGb18030(std::u16string_view text);

// EncodeGbk encodes `text` as GBK, the one- and two-byte part of GB18030
// that every GBK reader (iconv -f GBK, code page 936) understands. A
// character that GBK lacks (an emoji, CJK Extension B) or an unpaired
// surrogate is a BadEncoding error naming the character; its offset is its
// code unit's index in `text`.
Result<std::string> EncodeGbk(std::u16string_view text);

namespace gbk_detail {
// DecodeOther decodes the character at `s` that the pair table does not
// hold (a four-byte sequence, or bytes that are not GB18030) into `out`;
// returns the bytes it took, 0 for bytes that are not GB18030.
size_t DecodeOther(const unsigned char* s, const char* end, char16_t* out, size_t& units);
}  // namespace gbk_detail

// The loop is here, inline, for the loader's sake: it runs once per field
// of every record.
inline char16_t* DecodeGbkSpan(const char*& from, const char* stop, const char* end, char16_t* out) {
  // Built on first use, not at start: programs that never decode GBK never
  // pay for the table.
  static const char16_t* const pairs = GbkPairs();
  const auto* s = reinterpret_cast<const unsigned char*>(from);
  const auto* const limit = reinterpret_cast<const unsigned char*>(stop);
  const auto* const e = reinterpret_cast<const unsigned char*>(end);
  while (s < limit) {
    const unsigned char b = *s;
    if (b < 0x80) {
      *out++ = b;
      ++s;
      continue;
    }
    if (e - s >= 2) {
      const char16_t u = pairs[b << 8 | s[1]];
      if (u != 0) {
        *out++ = u;
        s += 2;
        continue;
      }
    }
    size_t units = 0;
    const size_t used = gbk_detail::DecodeOther(s, end, out, units);
    if (used == 0) {
      from = reinterpret_cast<const char*>(s);
      return nullptr;
    }
    out += units;
    s += used;
  }
  from = reinterpret_cast<const char*>(s);
  return out;
}

}  // namespace tessaly
