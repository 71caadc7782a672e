// Text conversions at the program's edges and in its files: UTF-8 to and
// from UTF-16 (the core itself works on UTF-16 only), and the removal of
// CR LF pairs. The UTF-8 writer and the UTF-8 reading loop here are the
// only ones: the loader, the reports and the tools all use them.
//
//   std::string out;
//   AppendUtf8(out, u"一心一意");          // out == "一心一意" in UTF-8
//   std::u16string text = FromUtf8(out);
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "error.h"

namespace tessaly {

// AppendUtf8 appends `text` to `out` as UTF-8. An unpaired surrogate
// becomes U+FFFD.
void AppendUtf8(std::string& out, std::u16string_view text);

// ToUtf8 returns `text` as UTF-8 (see AppendUtf8).
std::string ToUtf8(std::u16string_view text);

// FromUtf8 returns `text` as UTF-16. Bytes that are not well-formed UTF-8
// become U+FFFD, so the result is always usable.
std::u16string FromUtf8(std::string_view text);

// ReadUtf8 returns the code point of the UTF-8 character that starts at
// `at` in `bytes` and moves `at` past it; -1 for a byte that starts no
// well-formed character (`at` then moves past its longest ill-formed
// start). `bytes` is at most 2 GiB.
int32_t ReadUtf8(std::string_view bytes, size_t& at);

// DecodeUtf8Span decodes the UTF-8 characters that start in [s, stop) into
// `out`; a character that starts before `stop` may be read up to `end`.
// Every byte gives at most one code unit (a four-byte character two), so
// `out` needs room for stop - s units. Returns the end of what it wrote,
// with `s` where it stopped (at `stop` or at the end of the character that
// crossed it); returns null with `s` at the first byte that does not start
// a well-formed character (or whose character `end` cuts).
char16_t* DecodeUtf8Span(const char*& s, const char* stop, const char* end, char16_t* out);

// DecodeUtf8 returns `bytes` as UTF-16; a byte that does not start a
// well-formed character is an error (BadEncoding) naming its offset.
Result<std::u16string> DecodeUtf8(std::string_view bytes);

// SplitLines returns the lines of `text`: cut at LF, each without its LF
// and without a CR that stands before it. Text after the last LF is a line
// of its own; an empty text has none. The 生词本, its imports and the
// finder's query files are all read this way.
template <typename Char>
std::vector<std::basic_string_view<Char>> SplitLines(std::basic_string_view<Char> text) {
  std::vector<std::basic_string_view<Char>> lines;
  while (!text.empty()) {
    const size_t end = text.find(Char('\n'));
    std::basic_string_view<Char> line = text.substr(0, end);
    text.remove_prefix(end == text.npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == Char('\r')) line.remove_suffix(1);
    lines.push_back(line);
  }
  return lines;
}

// RemoveCrLfPairs returns `text` with every CR LF pair removed, in one
// pass from left to right: a lone CR or LF stays, and so does a pair that
// forms only once another is gone ("\r\r\n\n" keeps "\r\n"). The query
// check, the screening of server replies and the reading of the version
// file all clean their texts this way.
std::u16string RemoveCrLfPairs(std::u16string_view text);

}  // namespace tessaly
