// UTF-8 <-> UTF-16 conversions for the program's edges (command line, JSON,
// file names). The search core itself works on UTF-16 only.
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// ToUtf8 returns `text` as UTF-8. An unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// FromUtf8 returns `text` as UTF-16. Bytes that are not well-formed UTF-8
// become U+FFFD, so the result is always usable.
std::u16string FromUtf8(std::string_view text);

}  // namespace tessaly
