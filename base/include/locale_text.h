// The encoding of the user's locale (LANG, LC_ALL, LC_CTYPE), for the text
// that crosses the program's edge: arguments, the lines the tools print,
// the system's own messages. UTF-8 and plain ASCII locales pass text
// through unchanged; any other (GB18030, GBK, Big5, …) goes through ICU.
//
//   LocaleText locale;                         // after setlocale(LC_ALL, "")
//   std::u16string query = locale.toUtf16(argv[1]);
//   std::string line = locale.fromUtf8(utf8Line);
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

class LocaleText {
 public:
  // LocaleText reads the locale's codeset (nl_langinfo) as it is now.
  LocaleText();
  ~LocaleText();
  LocaleText(LocaleText&& other) noexcept;
  LocaleText& operator=(LocaleText&& other) noexcept;
  LocaleText(const LocaleText&) = delete;             // owns its converter
  LocaleText& operator=(const LocaleText&) = delete;  // owns its converter

  // passesThrough tells whether the locale's text is UTF-8 (or ASCII).
  bool passesThrough() const { return m_converter == nullptr; }
  // toUtf16 reads `bytes` in the locale's encoding.
  std::u16string toUtf16(std::string_view bytes) const;
  // toUtf8 reads `bytes` in the locale's encoding and returns them as
  // UTF-8.
  std::string toUtf8(std::string_view bytes) const;
  // fromUtf8 returns UTF-8 `text` in the locale's encoding; characters it
  // lacks become "?".
  std::string fromUtf8(std::string_view text) const;

 private:
  void* m_converter = nullptr;  // UConverter* for the locale, or null for UTF-8
};

}  // namespace tessaly
