// The online lookup's encoding of an idiom for its address.
#pragma once

#include <QString>

namespace tessaly {

// UrlEncodeUtf8 percent-encodes `text` as UTF-8 bytes with upper-case hex
// digits. A surrogate pair is one character (four bytes); an unpaired
// surrogate becomes U+FFFD. ASCII passes unescaped except the characters
// that would change the address: controls, space, " # % & ' + < = > ? \ ^
// ` { | } and DEL.
QString UrlEncodeUtf8(const QString& text);

}  // namespace tessaly
