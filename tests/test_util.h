// Helpers shared by the core tests: UTF-8 literals to UTF-16, tables built
// from lines, files written to a temporary folder.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "gbk.h"
#include "idiom_table.h"
#include "text.h"

namespace tessaly::testing {

inline std::u16string U(std::string_view utf8) { return FromUtf8(utf8); }
inline std::string S(std::u16string_view text) { return ToUtf8(text); }

// A table from UTF-8 lines; every line must be a valid record.
inline IdiomTable TableOf(const std::vector<std::string>& lines) {
  IdiomTable table;
  for (const std::string& line : lines) {
    if (!table.appendLine(U(line))) throw std::runtime_error("bad test line: " + line);
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

// Gbk returns UTF-8 `text` encoded as GBK bytes.
inline std::string Gbk(std::string_view utf8) {
  std::string out;
  EncodeGbk(U(utf8), out);
  return out;
}

}  // namespace tessaly::testing
