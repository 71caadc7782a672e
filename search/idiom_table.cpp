// The idiom table and its loader.
#include "idiom_table.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <limits>

#if defined(_WIN32)
#include <windows.h>
#endif

#include <unicode/utf8.h>
#include <unicode/ustring.h>

#include "file_io.h"
#include "gbk.h"

namespace tessaly {
namespace {

constexpr char16_t kFieldSeparator = u'#';
constexpr char16_t kFullWidthComma = u'\uFF0C';

// The first six fields of a line, and whatever follows the sixth "#".
struct SplitFields {
  std::array<std::u16string_view, IdiomTable::kFieldCount> head;
  std::u16string_view rest;  // empty, or "#" followed by fields 6 and up
  int count = 0;             // fields found, counting at most up to six
};

SplitFields Split(std::u16string_view line) {
  SplitFields s;
  size_t pos = 0;
  for (int n = 0; n < IdiomTable::kFieldCount; ++n) {
    const size_t hash = line.find(kFieldSeparator, pos);
    if (hash == std::u16string_view::npos) {
      s.head[n] = line.substr(pos);
      s.count = n + 1;
      return s;
    }
    s.head[n] = line.substr(pos, hash - pos);
    pos = hash + 1;
  }
  s.count = IdiomTable::kFieldCount;
  s.rest = line.substr(pos - 1);
  return s;
}

const char* FieldName(int field) {
  static const char* const kNames[] = {"成语", "拼音首字母", "拼音", "释义", "出处", "示例"};
  return field >= 0 && field < IdiomTable::kFieldCount ? kNames[field] : "";
}

LoadError Error(LoadErrorKind kind, int64_t line, std::string reason, int field = -1) {
  LoadError e;
  e.kind = kind;
  e.line = line;
  e.field = field;
  e.reason = std::move(reason);
  return e;
}

bool OnlyCommas(std::u16string_view idiom) {
  return idiom.find_first_not_of(kFullWidthComma) == std::u16string_view::npos;
}

LoadError CheckSplit(std::u16string_view line, const SplitFields& s, int64_t lineNumber) {
  if (line.empty()) return Error(LoadErrorKind::BlankLine, lineNumber, "空行");
  if (line.find(u'\0') != std::u16string_view::npos) {
    return Error(LoadErrorKind::NulCharacter, lineNumber, "含有 NUL 字符（字节 0）");
  }
  if (s.count < IdiomTable::kFieldCount) {
    return Error(LoadErrorKind::TooFewFields, lineNumber,
                 "只有 " + std::to_string(s.count) + " 个字段，至少需要 6 个（以 # 分隔）");
  }
  for (int f = 0; f < IdiomTable::kFieldCount; ++f) {
    if (s.head[f].empty()) {
      return Error(LoadErrorKind::EmptyField, lineNumber,
                   "第 " + std::to_string(f + 1) + " 个字段（" + FieldName(f) + "）为空", f);
    }
  }
  if (OnlyCommas(s.head[0])) {
    return Error(LoadErrorKind::IdiomOnlyCommas, lineNumber, "成语字段只有全角逗号“，”", 0);
  }
  return {};
}

// Counts the lines that end before `offset` in the raw bytes, with the same
// line ends as SplitLines, to name the line of a bad byte.
int64_t LineOfByte(std::string_view bytes, size_t offset) {
  offset = std::min(offset, bytes.size());
  if (UsesLfLineEnds(bytes)) {
    return 1 + std::count(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(offset), '\n');
  }
  int64_t line = 1;
  for (size_t i = 0; i < offset; ++i) {
    if (bytes[i] == '\r') {
      ++line;
      if (i + 1 < offset && bytes[i + 1] == '\n') ++i;
    }
  }
  return line;
}

// The encoding a file is read in. GBK is the format of cy.dat; UTF-8 is
// chosen only where the bytes cannot sensibly be GBK: a byte order mark, or
// UTF-8 that decodes to Chinese text. Both encodings share ASCII, and GBK
// Chinese often happens to be well-formed UTF-8 over a few characters (一丝
// in GBK reads as the UTF-8 of two Cyrillic and modifier letters), but
// across a text it rarely yields CJK characters and mostly ill-formed
// sequences.
enum class Encoding { Gbk, Utf8, Utf8WithBom };

bool IsCjkText(UChar32 c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

Encoding Sniff(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return Encoding::Utf8WithBom;
  const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
  const auto size = static_cast<int32_t>(std::min<size_t>(bytes.size(), INT32_MAX));
  int32_t i = 0;
  while (i < size && s[i] < 0x80) ++i;
  // The first 64 KiB from the first non-ASCII byte tell the encoding; a
  // bad byte further on is then reported in the encoding chosen here.
  const int32_t end = size - i > (1 << 16) ? i + (1 << 16) : size;
  int64_t cjk = 0, other = 0, bad = 0;
  while (i < end) {
    if (s[i] < 0x80) {
      ++i;
      continue;
    }
    UChar32 c;
    U8_NEXT(s, i, size, c);
    if (c < 0) {
      ++bad;
    } else if (IsCjkText(c)) {
      ++cjk;
    } else {
      ++other;
    }
  }
  return cjk > 0 && cjk >= other && bad * 2 < cjk ? Encoding::Utf8 : Encoding::Gbk;
}

bool DecodeUtf8(std::string_view bytes, std::u16string& out, size_t& errorOffset) {
  out.assign(bytes.size(), u'\0');
  int32_t written = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &written,
                bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  if (U_SUCCESS(status)) {
    out.resize(static_cast<size_t>(written));
    return true;
  }
  out.clear();
  const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
  const auto length = static_cast<int32_t>(bytes.size());
  for (int32_t i = 0; i < length;) {
    const int32_t start = i;
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) {
      errorOffset = static_cast<size_t>(start);
      break;
    }
  }
  return false;
}

}  // namespace

IdiomRecord IdiomTable::record(int32_t i, const HitMarks* marks) const {
  IdiomRecord r;
  r.Fields.reserve(kFieldCount);
  for (int f = 0; f < kFieldCount; ++f) r.Fields.push_back(field(i, f));
  std::u16string_view rest = m_columns[kRestColumn].at(i);
  if (!rest.empty()) {
    rest.remove_prefix(1);
    for (;;) {
      const size_t hash = rest.find(kFieldSeparator);
      r.Fields.push_back(rest.substr(0, hash));
      if (hash == std::u16string_view::npos) break;
      rest.remove_prefix(hash + 1);
    }
  }
  r.IdiomChars = IdiomChars(i);
  r.IdiomLast = IdiomLast(i);
  r.Matched = marks != nullptr && static_cast<size_t>(i) < marks->size() && (*marks)[i] != 0;
  return r;
}

bool IdiomTable::appendLine(std::u16string_view line) {
  const SplitFields s = Split(line);
  if (CheckSplit(line, s, 0).kind != LoadErrorKind::None) return false;
  for (int f = 0; f < kFieldCount; ++f) {
    Column& c = m_columns[f];
    c.text.append(s.head[f]);
    c.starts.push_back(static_cast<uint32_t>(c.text.size()));
  }
  Column& chars = m_columns[kCharsColumn];
  for (char16_t u : s.head[0]) {
    if (u != kFullWidthComma) chars.text.push_back(u);
  }
  chars.starts.push_back(static_cast<uint32_t>(chars.text.size()));
  Column& rest = m_columns[kRestColumn];
  rest.text.append(s.rest);
  rest.starts.push_back(static_cast<uint32_t>(rest.text.size()));
  return true;
}

void IdiomTable::reserve(size_t records, size_t codeUnits) {
  for (Column& c : m_columns) c.starts.reserve(records + 1);
  // Meanings, sources and examples carry most of the text.
  m_columns[3].text.reserve(codeUnits / 3);
  m_columns[5].text.reserve(codeUnits / 3);
}

void IdiomTable::shrink() {
  for (Column& c : m_columns) {
    c.text.shrink_to_fit();
    c.starts.shrink_to_fit();
  }
}

size_t IdiomTable::memoryBytes() const {
  size_t bytes = 0;
  for (const Column& c : m_columns) {
    bytes += c.text.capacity() * sizeof(char16_t) + c.starts.capacity() * sizeof(uint32_t);
  }
  return bytes;
}

LoadError CheckLine(std::u16string_view line, int64_t lineNumber) {
  return CheckSplit(line, Split(line), lineNumber);
}

LoadError DecodeIdiomText(std::string_view bytes, std::u16string& text) {
  text.clear();
  if (bytes.size() >= std::numeric_limits<uint32_t>::max() / 2) {
    return Error(LoadErrorKind::TooLarge, 0, "文件太大");
  }
  size_t badOffset = 0;
  const Encoding encoding = Sniff(bytes);
  bool decoded = false;
  if (encoding == Encoding::Gbk) {
    decoded = DecodeGbk(bytes, text, badOffset);
  } else {
    const size_t bom = encoding == Encoding::Utf8WithBom ? 3 : 0;
    decoded = DecodeUtf8(bytes.substr(bom), text, badOffset);
    badOffset += bom;
  }
  if (decoded) return {};
  const char* what = encoding == Encoding::Gbk ? "GBK" : "UTF-8";
  return Error(LoadErrorKind::BadEncoding, LineOfByte(bytes, badOffset),
               std::string("含有不是 ") + what + " 编码的字节（文件第 " +
                   std::to_string(badOffset + 1) + " 个字节）");
}

LoadResult ParseIdiomText(std::string_view bytes) {
  LoadResult result;
  std::u16string text;
  result.error = DecodeIdiomText(bytes, text);
  if (!result.ok()) return result;

  size_t lineEnds = 0;
  for (char16_t u : text) lineEnds += u == u'\r';
  IdiomTable& table = result.table;
  table.reserve(lineEnds + 1, text.size());
  SplitLines(text, [&](std::u16string_view line, int64_t number) {
    if (table.appendLine(line)) return true;
    result.error = CheckLine(line, number);
    return false;
  });
  if (result.ok()) {
    table.shrink();
  } else {
    result.table = IdiomTable();
  }
  return result;
}

std::vector<LineProblem> CheckIdiomText(std::string_view bytes) {
  std::vector<LineProblem> problems;
  std::u16string text;
  LoadError decoding = DecodeIdiomText(bytes, text);
  if (decoding.kind != LoadErrorKind::None) {
    problems.push_back({std::move(decoding), {}});
    return problems;
  }
  SplitLines(text, [&](std::u16string_view line, int64_t number) {
    LoadError e = CheckLine(line, number);
    if (e.kind != LoadErrorKind::None) problems.push_back({std::move(e), std::u16string(line.substr(0, 40))});
    return true;
  });
  return problems;
}

LoadError ReadIdiomFile(const std::filesystem::path& path, std::string& bytes) {
  const FileError e = ReadWholeFile(path, bytes);
  switch (e.kind) {
    case FileErrorKind::None: return {};
    case FileErrorKind::NotRegularFile: return Error(LoadErrorKind::NotRegularFile, 0, e.reason);
    case FileErrorKind::TooLarge: return Error(LoadErrorKind::TooLarge, 0, e.reason);
    case FileErrorKind::ReadFailed: return Error(LoadErrorKind::ReadFailed, 0, e.reason);
    case FileErrorKind::CannotOpen:
    case FileErrorKind::WriteFailed: break;
  }
  return Error(LoadErrorKind::CannotOpen, 0, e.reason);
}

LoadResult LoadIdiomFile(const std::filesystem::path& path) {
  std::string bytes;
  LoadResult result;
  result.error = ReadIdiomFile(path, bytes);
  if (!result.ok()) return result;
  return ParseIdiomText(bytes);
}

std::filesystem::path ProgramFolder() {
  std::error_code ec;
#if defined(_WIN32)
  wchar_t buffer[32768];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  if (n == 0 || n >= std::size(buffer)) return {};
  return std::filesystem::path(std::wstring(buffer, n)).parent_path();
#else
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return self.parent_path();
#endif
}

LoadResult LoadIdiomTable() { return LoadIdiomFile(ProgramFolder() / "cy.dat"); }

}  // namespace tessaly
