// Text helpers: UTF-8 <-> UTF-16 conversions for the program's edges
// (command line, JSON, file names; the search core itself works on UTF-16
// only), and the removal of CR LF pairs.
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// ToUtf8 returns `text` as UTF-8. An unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// RemoveCrLfPairs returns `text` with every CR LF pair removed, in one
// pass from left to right: a lone CR or LF stays, and so does a pair that
// forms only once another is gone ("\r\r\n\n" keeps "\r\n"). The query
// check, the screening of server replies and the reading of the version
// file all clean their texts this way.
std::u16string RemoveCrLfPairs(std::u16string_view text);

// FromUtf8 returns `text` as UTF-16. Bytes that are not well-formed UTF-8
// become U+FFFD, so the result is always usable.
std::u16string FromUtf8(std::string_view text);

}  // namespace tessaly
