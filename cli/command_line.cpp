// The locale, checked output and option parsing of the command-line programs.
#include "command_line.h"

#include <cerrno>
#include <clocale>
#include <cstring>

#if !defined(_WIN32)
#include <langinfo.h>
#endif

#include <unicode/ucnv.h>

#include "file_io.h"
#include "text.h"

namespace tessaly {
namespace {

UConverter* Converter(void* c) { return static_cast<UConverter*>(c); }

bool IsUtf8OrAscii(std::string_view codeset) {
  return codeset.empty() || codeset == "UTF-8" || codeset == "utf8" || codeset == "ANSI_X3.4-1968" ||
         codeset == "ASCII" || codeset == "US-ASCII";
}

}  // namespace

Console::Console(const char* program) : m_program(program) {
  std::setlocale(LC_ALL, "");
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
  if (m_writeErrno != 0 || text.empty()) return;
  // UTF-8 goes out as it is, without a copy: a report can be megabytes.
  std::string converted;
  if (m_converter != nullptr) converted = encode(text);
  const std::string_view bytes = m_converter != nullptr ? std::string_view(converted) : text;
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) noteFailure();
}

void Console::error(std::string_view text) const {
  const std::string line = std::string(m_program) + ": " + std::string(text) + "\n";
  const std::string bytes = encode(line);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

int Console::finish(int status) {
  errno = 0;
  if (m_writeErrno == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout))) noteFailure();
  if (m_writeErrno == 0) return status;
  if (m_writeErrno != EPIPE) error("写入标准输出失败：" + SystemReason(m_writeErrno));
  return kExitError;
}

std::optional<Arguments::Arg> Arguments::next() {
  if (m_index >= m_argc) return std::nullopt;
  const std::string_view text = m_argv[m_index++];
  Arg arg;
  if (m_optionsEnded || text.size() < 2 || text[0] != '-') {
    arg.operand = text;
    return arg;
  }
  if (text == "--") {
    m_optionsEnded = true;
    return next();
  }
  const size_t equals = text.find('=');
  if (text.substr(0, 2) == "--" && equals != std::string_view::npos) {
    arg.name = text.substr(0, equals);
    arg.attached = text.substr(equals + 1);
  } else {
    arg.name = text;
  }
  return arg;
}

std::optional<std::string_view> Arguments::value(const Arg& arg) {
  if (arg.attached) return arg.attached;
  if (m_index >= m_argc) return std::nullopt;
  return std::string_view(m_argv[m_index++]);
}

}  // namespace tessaly
