// Text conversions.
#include "text.h"

#include <algorithm>
#include <climits>

#include <unicode/utf8.h>

#include "messages.h"

namespace tessaly {
namespace {

// The one reading of a UTF-8 character: the code point that starts at
// s[i] (i moves past it), or -1 for a byte that starts no well-formed
// character (i moves past the longest ill-formed start).
inline int32_t NextUtf8(const unsigned char* s, int32_t& i, int32_t n) {
  UChar32 c;
  U8_NEXT(s, i, n, c);
  return c;
}

// The one UTF-8 reading loop. Strict: stops at the first malformed
// sequence. Lenient: writes U+FFFD for it and reads on after its maximal
// well-formed start, as ICU's converters do.
template <bool kLenient>
char16_t* DecodeUtf8Loop(const char*& from, const char* stop, const char* end, char16_t* out) {
  const auto* s = reinterpret_cast<const unsigned char*>(from);
  const auto* const base = s;
  const auto n = static_cast<int32_t>(end - from);
  const auto limit = static_cast<int32_t>(stop - from);
  int32_t i = 0;
  while (i < limit) {
    if (s[i] < 0x80) {
      *out++ = s[i++];
      continue;
    }
    const int32_t start = i;
    const int32_t c = NextUtf8(s, i, n);
    if (c < 0) {
      if (!kLenient) {
        from = reinterpret_cast<const char*>(base + start);
        return nullptr;
      }
      *out++ = u'\uFFFD';
    } else if (c <= 0xFFFF) {
      *out++ = static_cast<char16_t>(c);
    } else {
      *out++ = static_cast<char16_t>(U16_LEAD(c));
      *out++ = static_cast<char16_t>(U16_TRAIL(c));
    }
  }
  from = reinterpret_cast<const char*>(base + i);
  return out;
}

}  // namespace

void AppendUtf8(std::string& out, std::u16string_view text) {
  // A UTF-16 code unit never needs more than three bytes.
  const size_t start = out.size();
  out.resize(start + text.size() * 3);
  char* p = out.data() + start;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c < 0x80) {
      *p++ = static_cast<char>(c);
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x800) {
      *p++ = static_cast<char>(0xC0 | c >> 6);
    } else if (c < 0x10000) {
      *p++ = static_cast<char>(0xE0 | c >> 12);
      *p++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    } else {
      *p++ = static_cast<char>(0xF0 | c >> 18);
      *p++ = static_cast<char>(0x80 | (c >> 12 & 0x3F));
      *p++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    }
    *p++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  out.resize(static_cast<size_t>(p - out.data()));
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  AppendUtf8(out, text);
  return out;
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out(text.size(), u'\0');
  const char* s = text.data();
  const char16_t* end = DecodeUtf8Loop<true>(s, s + text.size(), s + text.size(), out.data());
  out.resize(static_cast<size_t>(end - out.data()));
  return out;
}

int32_t ReadUtf8(std::string_view bytes, size_t& at) {
  auto i = static_cast<int32_t>(at);
  const int32_t c = NextUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), i,
                             static_cast<int32_t>(std::min<size_t>(bytes.size(), INT32_MAX)));
  at = static_cast<size_t>(i);
  return c;
}

char16_t* DecodeUtf8Span(const char*& s, const char* stop, const char* end, char16_t* out) {
  return DecodeUtf8Loop<false>(s, stop, end, out);
}

namespace {

Result<std::u16string> DecodeStrictly(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  const char* s = bytes.data();
  const char* const end = s + bytes.size();
  char16_t* written = DecodeUtf8Loop<false>(s, end, end, out.data());
  if (written == nullptr) {
    Error e = MakeError(ErrorKind::BadEncoding, TR("bytes that are not UTF-8 text"));
    e.offset = s - bytes.data();
    return e;
  }
  out.resize(static_cast<size_t>(written - out.data()));
  return out;
}

}  // namespace

Result<std::u16string> DecodeUtf8(std::string_view bytes) {
  return CatchOutOfMemory([&] { return DecodeStrictly(bytes); });
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

}  // namespace tessaly
