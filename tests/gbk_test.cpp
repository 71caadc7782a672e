// The table-driven GBK decoder against ICU's GB18030 converter, which it
// must agree with byte for byte: the same text, the same first bad byte.
#include "gbk.h"

#include <random>

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

namespace tessaly {
namespace {

struct Decoded {
  bool ok = false;
  std::u16string text;
  size_t errorOffset = 0;
  bool operator==(const Decoded&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Decoded& d) {
  os << (d.ok ? "ok" : "bad at " + std::to_string(d.errorOffset)) << " [";
  for (char16_t u : d.text) os << std::hex << static_cast<int>(u) << ' ';
  return os << std::dec << "]";
}

// What ICU's converter makes of `bytes` in one call, as the loader once
// decoded whole files.
Decoded ByIcu(std::string_view bytes) {
  Decoded d;
  UErrorCode status = U_ZERO_ERROR;
  UConverter* conv = ucnv_open("GB18030", &status);
  ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  d.text.resize(bytes.size() * 2 + 2);
  UChar* target = reinterpret_cast<UChar*>(d.text.data());
  const char* source = bytes.data();
  ucnv_toUnicode(conv, &target, target + d.text.size(), &source, bytes.data() + bytes.size(), nullptr, true,
                 &status);
  d.text.resize(static_cast<size_t>(target - reinterpret_cast<UChar*>(d.text.data())));
  d.ok = U_SUCCESS(status);
  if (!d.ok) {
    char bad[32];
    int8_t length = sizeof bad;
    UErrorCode ignored = U_ZERO_ERROR;
    ucnv_getInvalidChars(conv, bad, &length, &ignored);
    d.errorOffset = static_cast<size_t>(source - bytes.data()) - static_cast<size_t>(length);
    d.text.clear();  // the text before the bad byte is of no use to anyone
  }
  ucnv_close(conv);
  return d;
}

Decoded ByTable(std::string_view bytes) {
  Decoded d;
  const Result<std::u16string> text = DecodeGbk(bytes);
  d.ok = text.ok();
  if (d.ok) {
    d.text = *text;
  } else {
    d.errorOffset = static_cast<size_t>(text.error().offset);
  }
  return d;
}

TEST(DecodeGbk, EveryTwoByteSequenceAsIcu) {
  std::string pair(2, '\0');
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 0x00; trail <= 0xFF; ++trail) {
      pair[0] = static_cast<char>(lead);
      pair[1] = static_cast<char>(trail);
      ASSERT_EQ(ByTable(pair), ByIcu(pair)) << std::hex << lead << " " << trail;
    }
  }
}

TEST(DecodeGbk, FourByteSequencesThroughIcu) {
  std::string four(4, '\0');
  for (int b0 : {0x81, 0x82, 0x84, 0x90, 0xE3, 0xFE}) {
    for (int b1 = 0x30; b1 <= 0x39; ++b1) {
      for (int b2 = 0x81; b2 <= 0xFE; ++b2) {
        for (int b3 : {0x30, 0x35, 0x39, 0x3A}) {
          four = {static_cast<char>(b0), static_cast<char>(b1), static_cast<char>(b2), static_cast<char>(b3)};
          ASSERT_EQ(ByTable(four), ByIcu(four)) << std::hex << b0 << " " << b1 << " " << b2 << " " << b3;
        }
      }
    }
  }
}

// Random strings of the bytes that matter (ASCII, lead and trail bytes,
// four-byte digits, line ends, "#") name the same first bad byte as ICU.
TEST(DecodeGbk, RandomBytesAsIcu) {
  std::mt19937 random(11);
  const std::string alphabet = "a#\r\n0\x39\x30\x40\x7f\x80\x81\x84\xa1\xb0\xd2\xfe\xff\xbb";
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(1 + random() % 12, '\0');
    for (char& c : bytes) {
      c = random() % 4 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
    }
    ASSERT_EQ(ByTable(bytes), ByIcu(bytes)) << "round " << round;
  }
}

}  // namespace
}  // namespace tessaly
