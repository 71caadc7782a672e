// What the command-line programs share: the user's locale for arguments
// and output, checked writing to standard output, and option parsing in
// the GNU style.
//
//   Console console;                        // setlocale, pick the encoding
//   std::u16string query = console.argument(argv[i]);
//   console.out(u8"一心一意\n");
//   return console.finish(status);          // 2 when stdout failed
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

inline constexpr int kExitError = 2;

// Console converts between the program's own UTF-8 text and the encoding
// of the user's locale (LANG, LC_ALL, LC_CTYPE), as grep does: in a
// GB18030 locale queries arrive and results leave in GB18030. UTF-8, and
// the plain C locale, pass through unchanged.
class Console {
 public:
  // Console calls setlocale(LC_ALL, "") so that the system's own messages
  // (strerror) come in the user's language too.
  explicit Console(const char* program);
  ~Console();
  Console(const Console&) = delete;             // owns the converter
  Console& operator=(const Console&) = delete;  // owns the converter

  // argument returns a command-line argument as UTF-16.
  std::u16string argument(std::string_view text) const;
  // out writes UTF-8 `text` to standard output in the locale's encoding;
  // characters it lacks become "?". A failed write is remembered.
  void out(std::string_view text);
  // error writes "program: text" and a line end to standard error.
  void error(std::string_view text) const;
  // finish flushes standard output. After a failed write it reports
  // "写入标准输出失败" with the system's reason and returns kExitError; a
  // closed pipe is left silent (the reader has gone, as with `| head`).
  // Otherwise it returns `status`.
  int finish(int status);

 private:
  std::string encode(std::string_view utf8) const;
  void noteFailure();

  const char* m_program;
  void* m_converter = nullptr;  // UConverter* for the locale, or null for UTF-8
  int m_writeErrno = 0;         // errno of the first failed write
};

// Arguments walks argv in the GNU style: "--name value" and "--name=value"
// alike, "-o value", "--" ending the options, "-" an operand.
class Arguments {
 public:
  Arguments(int argc, char** argv) : m_argc(argc), m_argv(argv) {}

  struct Arg {
    std::string_view name;                      // "--data", "-o"; empty for an operand
    std::string_view operand;                   // the operand's text
    std::optional<std::string_view> attached;   // the value after "="
  };

  // next returns the next argument, or nothing at the end.
  std::optional<Arg> next();
  // value returns the option's value: the attached one, or the next
  // argument; nothing when there is none.
  std::optional<std::string_view> value(const Arg& arg);

 private:
  int m_argc;
  char** m_argv;
  int m_index = 1;
  bool m_optionsEnded = false;
};

}  // namespace tessaly
