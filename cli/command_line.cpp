// The messages, locale, checked output and options of the command-line
// programs.
#include "command_line.h"

#include <cerrno>
#include <clocale>
#include <cstdio>

#include "file_io.h"
#include "text.h"

namespace tessaly {

Console::Console(const char* program) : m_program(program) {
  std::setlocale(LC_ALL, "");
  // The catalogue's texts come as UTF-8, as the program's own texts are;
  // out() and error() convert them to the locale's encoding.
  SetUpMessages(MessageLanguage::Locale);
  m_locale = LocaleText();
}

std::u16string Console::argument(std::string_view text) const { return m_locale.toUtf16(text); }

std::string Console::name(const std::filesystem::path& path) const {
  // The name's bytes are in the locale's encoding; read as such, they come
  // back byte for byte when the message is written out.
  return ToUtf8(argument(path.native()));
}

std::string Console::encode(std::string_view utf8) const { return m_locale.fromUtf8(utf8); }

void Console::noteFailure() {
  if (m_writeErrno == 0) m_writeErrno = errno != 0 ? errno : EIO;
}

void Console::out(std::string_view text) {
  if (m_locale.passesThrough()) return outBytes(text);
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
