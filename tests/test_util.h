// Helpers shared by the core tests: UTF-8 literals to UTF-16, tables built
// from lines, files written to a temporary folder.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "file_io.h"
#include "gbk.h"
#include "idiom_file.h"
#include "text.h"

namespace tessaly::testing {

inline std::u16string U(std::string_view utf8) { return FromUtf8(utf8); }
inline std::string S(std::u16string_view text) { return ToUtf8(text); }

// Loaded is a load's outcome as the tests read it: the table and the error
// side by side, the table empty when the load failed.
struct Loaded {
  IdiomTable table;
  Error error;
  bool ok() const { return error.ok(); }
};

inline Loaded Take(Result<IdiomTable> result) {
  Loaded loaded;
  if (result.ok()) {
    loaded.table = std::move(result).value();
  } else {
    loaded.error = result.error();
  }
  return loaded;
}

// A table from UTF-8 lines; every line must be a valid record.
inline IdiomTable TableOf(const std::vector<std::string>& lines) {
  IdiomTable table;
  for (const std::string& line : lines) {
    if (!AppendLine(table, U(line)).ok()) throw std::runtime_error("bad test line: " + line);
  }
  return table;
}

// The fixture: a dozen GBK lines with tricky rows.
inline std::filesystem::path FixturePath() {
  return std::filesystem::path(TESSALY_TEST_DATA) / "fixture.dat";
}

// A folder of its own below the system's temporary folder, removed with the
// object.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaly-XXXXXX").string();
    m_path = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  TempDir(const TempDir&) = delete;             // owns the folder
  TempDir& operator=(const TempDir&) = delete;  // owns the folder

  const std::filesystem::path& path() const { return m_path; }

  // write puts `bytes` into the file `name` and returns its path.
  std::filesystem::path write(const std::string& name, std::string_view bytes) const {
    const std::filesystem::path p = m_path / name;
    std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
  }

 private:
  std::filesystem::path m_path;
};

// ReadFile returns the bytes of the file at `path` (empty when missing).
inline std::string ReadFile(const std::filesystem::path& path) {
  Result<std::string> bytes = ReadWholeFile(path);
  return bytes.ok() ? std::move(bytes).value() : std::string();
}

// What a program run printed and how it ended.
struct ProgramRun {
  int status = -1;  // exit status, -1 when it did not exit normally
  std::string out;
  std::string err;
};

// How Run starts a program: words put before it (an environment, a
// resource limit), and where its standard input and output lead.
struct Launch {
  std::string before;    // e.g. "prlimit --fsize=40" or "env LC_ALL=C"
  std::string stdinFrom;  // a file; empty for the test's own input
  std::string stdoutTo;   // a file; empty to capture it in ProgramRun::out
};

// Quote returns `arg` quoted for sh.
inline std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Run runs the program `name` from the build's bin folder with `args`,
// capturing its output in files of `dir`.
inline ProgramRun Run(const TempDir& dir, const std::string& name, const std::vector<std::string>& args,
                      const Launch& launch = {}) {
  // Every program starts alike: in English, with no table named from
  // outside and a user data folder of the test's own (empty unless the test
  // puts a table there). `launch.before` comes after, to change any of it.
  const std::string xdg = (dir.path() / "xdg").string();
  std::string command = "env -u TESSALY_DATA -u LANGUAGE LC_ALL=C.UTF-8 XDG_DATA_HOME=" + Quote(xdg) + " " +
                        launch.before + " " + Quote(std::string(TESSALY_BIN_DIR) + "/" + name);
  for (const std::string& a : args) command += " " + Quote(a);
  const std::string out = launch.stdoutTo.empty() ? (dir.path() / "stdout").string() : launch.stdoutTo;
  command += " >" + Quote(out) + " 2>" + Quote((dir.path() / "stderr").string());
  if (!launch.stdinFrom.empty()) command += " <" + Quote(launch.stdinFrom);
  std::filesystem::remove(dir.path() / "stdout");
  ProgramRun r;
  const int raw = std::system(command.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadFile(dir.path() / "stdout");
  r.err = ReadFile(dir.path() / "stderr");
  return r;
}

// Gbk returns UTF-8 `text` encoded as GBK bytes (GB18030 for characters
// GBK lacks).
inline std::string Gbk(std::string_view utf8) {
  Result<std::string> out = EncodeGb18030(U(utf8));
  return out.ok() ? std::move(out).value() : std::string();
}

}  // namespace tessaly::testing
