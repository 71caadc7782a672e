// GBK text, the encoding of cy.dat, decoded and encoded through ICU's
// GB18030 converter (a superset of GBK, so every GBK file decodes the same).
//
//   std::u16string text;
//   size_t bad = 0;
//   if (!DecodeGbk(bytes, text, bad)) report("bad bytes at offset", bad);
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaly {

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
