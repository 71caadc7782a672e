// The encoding of the user's locale.
#include "locale_text.h"

#include <langinfo.h>

#include <unicode/ucnv.h>

#include "text.h"

namespace tessaly {
namespace {

UConverter* Converter(void* c) { return static_cast<UConverter*>(c); }

bool IsUtf8OrAscii(std::string_view codeset) {
  return codeset.empty() || codeset == "UTF-8" || codeset == "utf8" || codeset == "ANSI_X3.4-1968" ||
         codeset == "ASCII" || codeset == "US-ASCII";
}

}  // namespace

LocaleText::LocaleText() {
  const char* codeset = nl_langinfo(CODESET);
  if (codeset == nullptr || IsUtf8OrAscii(codeset)) return;
  UErrorCode status = U_ZERO_ERROR;
  UConverter* conv = ucnv_open(codeset, &status);
  if (U_SUCCESS(status)) {
    ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &status);
    m_converter = conv;
  } else if (conv != nullptr) {
    ucnv_close(conv);
  }
}

LocaleText::~LocaleText() {
  if (m_converter != nullptr) ucnv_close(Converter(m_converter));
}

LocaleText::LocaleText(LocaleText&& other) noexcept : m_converter(other.m_converter) { other.m_converter = nullptr; }

LocaleText& LocaleText::operator=(LocaleText&& other) noexcept {
  if (this != &other) {
    if (m_converter != nullptr) ucnv_close(Converter(m_converter));
    m_converter = other.m_converter;
    other.m_converter = nullptr;
  }
  return *this;
}

std::u16string LocaleText::toUtf16(std::string_view bytes) const {
  if (m_converter == nullptr || bytes.empty()) return FromUtf8(bytes);
  std::u16string out(bytes.size() + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t n = ucnv_toUChars(Converter(m_converter), reinterpret_cast<UChar*>(out.data()),
                                  static_cast<int32_t>(out.size()), bytes.data(), static_cast<int32_t>(bytes.size()),
                                  &status);
  if (U_FAILURE(status)) return FromUtf8(bytes);
  out.resize(static_cast<size_t>(n));
  return out;
}

std::string LocaleText::toUtf8(std::string_view bytes) const {
  if (m_converter == nullptr) return std::string(bytes);
  return ToUtf8(toUtf16(bytes));
}

std::string LocaleText::fromUtf8(std::string_view text) const {
  if (m_converter == nullptr) return std::string(text);
  const std::u16string units = FromUtf8(text);
  std::string out(units.size() * 4 + 4, '\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t n = ucnv_fromUChars(Converter(m_converter), out.data(), static_cast<int32_t>(out.size()),
                                    reinterpret_cast<const UChar*>(units.data()), static_cast<int32_t>(units.size()),
                                    &status);
  if (U_FAILURE(status)) return std::string(text);
  out.resize(static_cast<size_t>(n));
  return out;
}

}  // namespace tessaly
