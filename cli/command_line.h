// What the command-line programs share: their messages in the user's
// language (gettext: English source texts, a Chinese catalogue), the
// user's locale for arguments and output, checked writing to standard
// output, and the parsing of options with getopt_long.
//
//   Console console("tessaly-find");        // setlocale, the catalogue, the encoding
//   std::u16string query = console.argument(argv[i]);
//   console.out(rows);                       // UTF-8 in, the locale's encoding out
//   console.error(_("no query"));
//   return console.finish(status);           // 2 when stdout failed
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <getopt.h>

#include "locale_text.h"
#include "messages.h"

namespace tessaly {

inline constexpr int kExitError = 2;

// Console converts between the program's own UTF-8 text and the encoding
// of the user's locale (LANG, LC_ALL, LC_CTYPE), as grep does: in a
// GB18030 locale queries arrive and results leave in GB18030. UTF-8, and
// the plain C locale, pass through unchanged. Messages come from the
// "tessaly" catalogue in the locale's language (Chinese in a Chinese
// locale, English otherwise).
class Console {
 public:
  // Console calls setlocale(LC_ALL, "") and opens the catalogue, so that
  // the system's own messages (strerror, getopt) come in the user's
  // language too.
  explicit Console(const char* program);
  Console(const Console&) = delete;             // owns the locale's converter
  Console& operator=(const Console&) = delete;  // owns the locale's converter

  const char* program() const { return m_program; }

  // argument returns a command-line argument (or a line the user typed) as
  // UTF-16.
  std::u16string argument(std::string_view text) const;
  // name returns a file name as UTF-8 for a message: the user's bytes,
  // which out() and error() give back unchanged in the locale's encoding.
  std::string name(const std::filesystem::path& path) const;
  // out writes UTF-8 `text` to standard output in the locale's encoding;
  // characters it lacks become "?". A failed write is remembered.
  void out(std::string_view text);
  // outBytes writes `bytes` as they are (JSON is UTF-8 in every locale).
  void outBytes(std::string_view bytes);
  // error writes "program: text" and a line end to standard error.
  void error(std::string_view text) const;
  // usageError writes "program: text" and the line that points to --help,
  // and returns kExitError.
  int usageError(std::string_view text) const;
  // finish flushes standard output. After a failed write it reports the
  // failure with the system's reason and returns kExitError, or
  // `failedStatus` when the caller gives one; a closed pipe is left silent
  // (the reader has gone, as with `| head`). Otherwise it returns `status`.
  int finish(int status, int failedStatus = kExitError);
  // failed tells whether a write to standard output has failed.
  bool failed() const { return m_writeErrno != 0; }

 private:
  std::string encode(std::string_view utf8) const;
  void noteFailure();

  const char* m_program;
  LocaleText m_locale;
  int m_writeErrno = 0;         // errno of the first failed write
};

}  // namespace tessaly
