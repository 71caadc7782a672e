// GBK text, the encoding of cy.dat. Decoding is table-driven for the one-
// and two-byte characters that make up GBK and falls back to ICU's GB18030
// converter (a superset of GBK) for the four-byte sequences of GB18030, so
// every file decodes exactly as that converter decodes it, only faster.
//
//   std::u16string text;
//   size_t bad = 0;
//   if (!DecodeGbk(bytes, text, bad)) report("bad bytes at offset", bad);
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaly {

// GbkPairs returns the UTF-16 code unit of every two-byte sequence, indexed
// by lead << 8 | trail, as ICU's GB18030 converter decodes it; 0 where
// the pair is not one character of two bytes (a four-byte sequence starts
// there, or the bytes are not GB18030). Built once, on first use.
const char16_t* GbkPairs();

// DecodeGb18030Char decodes the one character at the start of [p, end)
// through ICU, for what the pair table does not hold. Writes its one or two
// code units to `out` and returns the bytes it took; returns 0 when the
// bytes there are not GB18030 (or stop short of a whole character).
size_t DecodeGb18030Char(const char* p, const char* end, char16_t out[2], size_t& units);

// DecodeGbk decodes `bytes` into `out` (replacing its contents). Returns
// false when a byte sequence is neither GBK nor GB18030; `errorOffset` is
// then the offset of the first bad byte and `out` holds the text before it.
bool DecodeGbk(std::string_view bytes, std::u16string& out, size_t& errorOffset);

// EncodeGb18030 encodes `text` as GB18030: GBK bytes for every character
// GBK has, four-byte GB18030 sequences for the rest. Returns false (and
// leaves `out` unspecified) only for an unpaired surrogate.
bool EncodeGb18030(std::u16string_view text, std::string& out);

// EncodeGbk encodes `text` as GBK, the one- and two-byte part of GB18030
// that every GBK reader (iconv -f GBK, code page 936) understands. Returns
// false for a character that GBK lacks (an emoji, CJK Extension B) and
// for an unpaired surrogate.
bool EncodeGbk(std::u16string_view text, std::string& out);

}  // namespace tessaly
