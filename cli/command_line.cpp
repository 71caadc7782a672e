// The messages, locale, checked output and options of the command-line
// programs.
#include "command_line.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <system_error>

#if !defined(_WIN32)
#include <langinfo.h>
#endif

#include <unicode/ucnv.h>

#include "file_io.h"
#include "tessaly_version.h"
#include "text.h"

namespace tessaly {
namespace {

UConverter* Converter(void* c) { return static_cast<UConverter*>(c); }

bool IsUtf8OrAscii(std::string_view codeset) {
  return codeset.empty() || codeset == "UTF-8" || codeset == "utf8" || codeset == "ANSI_X3.4-1968" ||
         codeset == "ASCII" || codeset == "US-ASCII";
}

}  // namespace

std::string VersionText(const char* program) {
  return Format(TR("%s (%s) %s\n"
                  "Copyright (C) 2026 the Tessaly authors.\n"
                  "License MIT: <https://opensource.org/licenses/MIT>.\n"
                  "This is free software: you are free to change and redistribute it.\n"
                  "There is NO WARRANTY, to the extent permitted by law.\n"),
                {program, kProductName, kVersionString});
}

Console::Console(const char* program) : m_program(program) {
  std::setlocale(LC_ALL, "");
  // The catalogue's texts come as UTF-8, as the program's own texts are;
  // out() and error() convert them to the locale's encoding.
  SetUpMessages(MessageLanguage::Locale);
#if !defined(_WIN32)
  const char* codeset = nl_langinfo(CODESET);
  if (codeset != nullptr && !IsUtf8OrAscii(codeset)) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* conv = ucnv_open(codeset, &status);
    if (U_SUCCESS(status)) {
      ucnv_setFromUCallBack(conv, UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &status);
      m_converter = conv;
    } else if (conv != nullptr) {
      ucnv_close(conv);
    }
  }
#endif
}

Console::~Console() {
  if (m_converter != nullptr) ucnv_close(Converter(m_converter));
}

std::u16string Console::argument(std::string_view text) const {
  if (m_converter == nullptr || text.empty()) return FromUtf8(text);
  std::u16string out(text.size() + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t n = ucnv_toUChars(Converter(m_converter), reinterpret_cast<UChar*>(out.data()),
                                  static_cast<int32_t>(out.size()), text.data(),
                                  static_cast<int32_t>(text.size()), &status);
  if (U_FAILURE(status)) return FromUtf8(text);
  out.resize(static_cast<size_t>(n));
  return out;
}

std::string Console::name(const std::filesystem::path& path) const {
  // The name's bytes are in the locale's encoding; read as such, they come
  // back byte for byte when the message is written out.
  return ToUtf8(argument(path.native()));
}

std::string Console::encode(std::string_view utf8) const {
  if (m_converter == nullptr) return std::string(utf8);
  const std::u16string text = FromUtf8(utf8);
  std::string out(text.size() * 4 + 4, '\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t n = ucnv_fromUChars(Converter(m_converter), out.data(), static_cast<int32_t>(out.size()),
                                    reinterpret_cast<const UChar*>(text.data()),
                                    static_cast<int32_t>(text.size()), &status);
  if (U_FAILURE(status)) return std::string(utf8);
  out.resize(static_cast<size_t>(n));
  return out;
}

void Console::noteFailure() {
  if (m_writeErrno == 0) m_writeErrno = errno != 0 ? errno : EIO;
}

void Console::out(std::string_view text) {
  if (m_converter == nullptr) return outBytes(text);
  outBytes(encode(text));
}

void Console::outBytes(std::string_view bytes) {
  if (m_writeErrno != 0 || bytes.empty()) return;
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) noteFailure();
}

void Console::error(std::string_view text) const {
  const std::string line = std::string(m_program) + ": " + std::string(text) + "\n";
  const std::string bytes = encode(line);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

int Console::usageError(std::string_view text) const {
  if (!text.empty()) error(text);
  const std::string hint = encode(Format(TR("Try '%s --help' for more information.\n"), {m_program}));
  std::fwrite(hint.data(), 1, hint.size(), stderr);
  return kExitError;
}

int Console::finish(int status, int failedStatus) {
  errno = 0;
  if (m_writeErrno == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout))) noteFailure();
  if (m_writeErrno == 0) return status;
  if (m_writeErrno != EPIPE) error(Format(TR("cannot write to standard output: %s"), {SystemReason(m_writeErrno)}));
  return failedStatus;
}

}  // namespace tessaly
