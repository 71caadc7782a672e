// Reading cy.dat: encoding, lines and fields on the file's bytes, decoding
// into the columns.
#include "idiom_file.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include <unicode/utf8.h>

#include "file_io.h"
#include "gbk.h"
#include "program_folder.h"

namespace tessaly {
namespace {

using Byte = unsigned char;

// The encoding a file is read in. GBK is the format of cy.dat; UTF-8 is
// chosen only where the bytes cannot sensibly be GBK: a byte order mark, or
// UTF-8 that decodes to Chinese text. Both encodings share ASCII, and GBK
// Chinese often happens to be well-formed UTF-8 over a few characters (一丝
// in GBK reads as the UTF-8 of a Cyrillic and a modifier letter), but
// across a text it rarely yields CJK characters and mostly ill-formed
// sequences.
enum class Encoding { Unknown, Gbk, Utf8 };

// The bytes from the first non-ASCII one on that decide the encoding; a
// bad byte further on is then reported in the encoding chosen here.
constexpr size_t kSniffBytes = size_t{1} << 16;

bool IsCjkText(UChar32 c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

Encoding Sniff(const Byte* s, size_t size) {
  const auto n = static_cast<int32_t>(std::min<size_t>(size, kSniffBytes));
  int64_t cjk = 0, other = 0, bad = 0;
  for (int32_t i = 0; i < n;) {
    if (s[i] < 0x80) {
      ++i;
      continue;
    }
    UChar32 c;
    U8_NEXT(s, i, n, c);
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

bool HasByteOrderMark(const Byte* s, size_t size) { return size >= 3 && std::memcmp(s, "\xEF\xBB\xBF", 3) == 0; }

// EncodingOf returns the encoding the bytes from the start of a file show:
// UTF-8 after a byte order mark, else what Sniff makes of the bytes from
// the first non-ASCII one on. Unknown when they cannot tell yet: no
// non-ASCII byte, or less than the sniffed window after it, and `whole`
// (the bytes are the whole file) is false.
Encoding EncodingOf(const Byte* s, size_t size, bool whole) {
  if (HasByteOrderMark(s, size)) return Encoding::Utf8;
  const Byte* q = std::find_if(s, s + size, [](Byte b) { return b >= 0x80; });
  const size_t rest = size - static_cast<size_t>(q - s);
  if (!whole && (rest == 0 || rest < kSniffBytes)) return Encoding::Unknown;
  return Sniff(q, rest);
}

// DecodeSpan decodes [s, e), which holds no line end, into `out`. Returns
// the end of the text written, or null with `bad` at the first byte that is
// not text of `encoding`.
char16_t* DecodeSpan(Encoding encoding, const Byte* s, const Byte* e, char16_t* out, const Byte*& bad) {
  if (encoding == Encoding::Utf8) {
    const auto n = static_cast<int32_t>(e - s);
    for (int32_t i = 0; i < n;) {
      if (s[i] < 0x80) {
        *out++ = s[i++];
        continue;
      }
      const int32_t start = i;
      UChar32 c;
      U8_NEXT(s, i, n, c);
      if (c < 0) {
        bad = s + start;
        return nullptr;
      }
      if (c <= 0xFFFF) {
        *out++ = static_cast<char16_t>(c);
      } else {
        *out++ = static_cast<char16_t>(U16_LEAD(c));
        *out++ = static_cast<char16_t>(U16_TRAIL(c));
      }
    }
    return out;
  }
  static const char16_t* const pairs = GbkPairs();
  while (s < e) {
    const Byte b = *s;
    if (b < 0x80) {
      *out++ = b;
      ++s;
      continue;
    }
    if (e - s >= 2) {
      const char16_t u = pairs[b << 8 | s[1]];
      if (u != 0) {
        *out++ = u;
        s += 2;
        continue;
      }
    }
    // A four-byte sequence, or bytes that are not GB18030 at all.
    size_t units = 0;
    const size_t used =
        DecodeGb18030Char(reinterpret_cast<const char*>(s), reinterpret_cast<const char*>(e), out, units);
    if (used == 0) {
      bad = s;
      return nullptr;
    }
    out += units;
    s += used;
  }
  return out;
}

enum class LineEnd { Unknown, Cr, Lf };

// Where a Loader starts reading: at the start of a file, or in the middle of
// one (the second half of a file read by two threads), with the encoding
// and the line end already known there.
struct Start {
  uint64_t offset = 0;
  Encoding encoding = Encoding::Unknown;
  LineEnd lineEnd = LineEnd::Unknown;
};

// Loader turns the bytes of a cy.dat file into records, a piece at a time.
// feed() takes the complete lines at the start of what it is given; the
// caller keeps the rest and gives it again with the bytes that follow.
class Loader {
 public:
  Loader(IdiomTable& table, const Start& start)
      : m_appender(table),
        m_started(start.offset > 0),
        m_encoding(start.encoding),
        m_lineEnd(start.lineEnd),
        m_offset(start.offset) {}

  // feed takes the complete lines of [data, data + size) and returns how
  // many bytes it took. `last`: the bytes run to the end of the part to
  // read, and all are taken.
  size_t feed(const char* data, size_t size, bool last);
  // restart: the file holds a CR after lines were ended at LF; it must be
  // read again from its start with CR line ends.
  bool restart() const { return m_restart; }
  // stopped: a bad byte ended the load; nothing more needs reading.
  bool stopped() const { return m_bad.kind != LoadErrorKind::None; }

  // Once everything has been fed: the first bad byte, the first faulty line
  // (kind None when there is none), and the lines read.
  const LoadError& badByte() const { return m_bad; }
  const LoadError& faultyLine() const { return m_lineError; }
  int64_t lines() const { return m_line; }

 private:
  void decideLineEnd(const Byte* p, const Byte* end, bool last);
  void takeLine(const Byte* p, const Byte* e);
  void checkLine(const Byte* p, const Byte* e);
  void badByte(const Byte* at);

  IdiomTable::Appender m_appender;
  bool m_started;
  bool m_restart = false;
  Encoding m_encoding;
  LineEnd m_lineEnd;
  bool m_lfTentative = false;  // no CR seen yet in the part read so far
  uint64_t m_offset;           // offset in the file of the bytes fed
  int64_t m_line = 0;          // lines taken
  const Byte* m_base = nullptr;
  LoadError m_lineError;       // the first faulty line; later lines are only decoded
  LoadError m_bad;             // a bad byte: the load ends there
  std::u16string m_scratch;    // a line decoded for its check
};

void Loader::decideLineEnd(const Byte* p, const Byte* end, bool last) {
  if (std::memchr(p, '\r', static_cast<size_t>(end - p)) != nullptr) {
    m_lineEnd = LineEnd::Cr;
  } else if (std::memchr(p, '\n', static_cast<size_t>(end - p)) != nullptr) {
    // No CR in what has been read: LF ends lines, unless a CR turns up
    // further on.
    m_lineEnd = LineEnd::Lf;
    m_lfTentative = !last;
  } else if (last) {
    m_lineEnd = LineEnd::Cr;  // one line without any line end
  }
}

size_t Loader::feed(const char* data, size_t size, bool last) {
  const auto* const begin = reinterpret_cast<const Byte*>(data);
  const Byte* const end = begin + size;
  const Byte* p = begin;
  m_base = begin;
  auto taken = [&] {
    const auto n = static_cast<size_t>(p - begin);
    m_offset += n;
    return n;
  };
  if (!m_started) {
    if (size < 3 && !last) return 0;
    m_started = true;
    if (HasByteOrderMark(p, size)) {
      m_encoding = Encoding::Utf8;
      p += 3;
    }
  }
  if (m_lineEnd == LineEnd::Unknown) decideLineEnd(p, end, last);
  if (m_lineEnd == LineEnd::Unknown) return taken();  // no line end yet: read on
  if (m_lfTentative) {
    if (std::memchr(p, '\r', static_cast<size_t>(end - p)) != nullptr) {
      m_restart = true;
      return taken();
    }
    if (last) m_lfTentative = false;
  }
  const Byte lineEnd = m_lineEnd == LineEnd::Cr ? '\r' : '\n';
  // Room for every line here at once: no byte decodes to more than one
  // code unit (a four-byte sequence to two), and no line is shorter than a
  // byte. Room not used is never touched, and given back at the end.
  if (m_lineError.kind == LoadErrorKind::None) {
    m_appender.room(static_cast<size_t>(end - p) + 1, static_cast<size_t>(end - p) + 1);
  }
  while (p < end && !stopped()) {
    const Byte* e = static_cast<const Byte*>(std::memchr(p, lineEnd, static_cast<size_t>(end - p)));
    if (e == nullptr) {
      if (!last) break;
      e = end;
    } else if (lineEnd == '\r' && e + 1 == end && !last) {
      break;  // a CR LF may be cut here: wait for the next byte
    }
    if (m_encoding == Encoding::Unknown) {
      const Byte* q = std::find_if(p, e, [](Byte b) { return b >= 0x80; });
      if (q != e) {
        if (static_cast<size_t>(end - q) < kSniffBytes && !last) break;
        m_encoding = Sniff(q, static_cast<size_t>(end - q));
      }
    }
    ++m_line;
    if (m_lineError.kind == LoadErrorKind::None) {
      takeLine(p, e);
    } else {
      checkLine(p, e);
    }
    p = e < end ? e + 1 : end;
    if (lineEnd == '\r' && p < end && *p == '\n') ++p;
  }
  return taken();
}

void Loader::badByte(const Byte* at) {
  const uint64_t offset = m_offset + static_cast<uint64_t>(at - m_base);
  const char* what = m_encoding == Encoding::Utf8 ? "UTF-8" : "GBK";
  m_bad = MakeError(LoadErrorKind::BadEncoding, m_line,
                    std::string("含有不是 ") + what + " 编码的字节（文件第 " + std::to_string(offset + 1) + " 个字节）");
}

// takeLine decodes one line into the columns: each field is found with
// memchr (a "#" is never part of a GBK or UTF-8 character) and decoded
// straight into the end of its column.
void Loader::takeLine(const Byte* p, const Byte* e) {
  const Encoding encoding = m_encoding == Encoding::Unknown ? Encoding::Gbk : m_encoding;
  const Byte* s = p;
  bool complete = p < e && std::memchr(p, '\0', static_cast<size_t>(e - p)) == nullptr;
  int field = 0;
  for (; field < kFieldCount; ++field) {
    const Byte* hash = static_cast<const Byte*>(std::memchr(s, '#', static_cast<size_t>(e - s)));
    const Byte* fieldEnd = hash != nullptr ? hash : e;
    const Byte* bad = nullptr;
    char16_t* out = DecodeSpan(encoding, s, fieldEnd, m_appender.out(field), bad);
    if (out == nullptr) {
      m_appender.drop();
      return badByte(bad);
    }
    complete = complete && fieldEnd > s;
    m_appender.end(field, out);
    if (hash == nullptr) break;
    s = hash + 1;
  }
  if (field == kFieldCount) {
    // Fields 6 and up, with the "#" before them, kept as they stand.
    const Byte* bad = nullptr;
    char16_t* out = DecodeSpan(encoding, s - 1, e, m_appender.out(IdiomTable::Appender::kRestColumn), bad);
    if (out == nullptr) {
      m_appender.drop();
      return badByte(bad);
    }
    m_appender.end(IdiomTable::Appender::kRestColumn, out);
  } else if (field == kFieldCount - 1) {
    m_appender.end(IdiomTable::Appender::kRestColumn, m_appender.out(IdiomTable::Appender::kRestColumn));
  } else {
    complete = false;
  }
  if (complete && m_appender.commit()) return;
  m_appender.drop();
  checkLine(p, e);
}

// checkLine decodes a line on its own and names what is wrong with it. It
// serves the first faulty line, and every line after it: only a bad byte
// can still change the outcome.
void Loader::checkLine(const Byte* p, const Byte* e) {
  const Encoding encoding = m_encoding == Encoding::Unknown ? Encoding::Gbk : m_encoding;
  m_scratch.resize(static_cast<size_t>(e - p) + 1);
  const Byte* bad = nullptr;
  const char16_t* out = DecodeSpan(encoding, p, e, m_scratch.data(), bad);
  if (out == nullptr) return badByte(bad);
  if (m_lineError.kind != LoadErrorKind::None) return;
  m_lineError = CheckLine(std::u16string_view(m_scratch.data(), static_cast<size_t>(out - m_scratch.data())), m_line);
}

LoadError FromFileError(const FileError& e) {
  switch (e.kind) {
    case FileErrorKind::None: return {};
    case FileErrorKind::NotRegularFile: return MakeError(LoadErrorKind::NotRegularFile, 0, e.reason);
    case FileErrorKind::TooLarge: return MakeError(LoadErrorKind::TooLarge, 0, e.reason);
    case FileErrorKind::ReadFailed: return MakeError(LoadErrorKind::ReadFailed, 0, e.reason);
    case FileErrorKind::CannotOpen:
    case FileErrorKind::WriteFailed: break;
  }
  return MakeError(LoadErrorKind::CannotOpen, 0, e.reason);
}

// What reading a part of a file gave: the outcome of its loader.
struct Part {
  LoadError bad;
  LoadError faultyLine;
  int64_t lines = 0;
  bool restart = false;
};

// Reads [start.offset, end) of a file a piece at a time into one buffer
// and feeds a loader with it. The buffer grows only for a line longer than
// a piece.
Part LoadPart(const OpenedFile& file, IdiomTable& table, const Start& start, uint64_t end, size_t readBytes) {
  Part part;
  Loader loader(table, start);
  size_t capacity = std::max<size_t>(readBytes, 16);
  std::unique_ptr<char, decltype(&std::free)> buffer(static_cast<char*>(std::malloc(capacity)), &std::free);
  if (!buffer) throw std::bad_alloc();
  uint64_t offset = start.offset;
  size_t have = 0;
  bool last = false;
  while (!loader.stopped()) {
    if (!last) {
      if (have == capacity) {
        capacity *= 2;
        char* grown = static_cast<char*>(std::realloc(buffer.get(), capacity));
        if (grown == nullptr) throw std::bad_alloc();
        buffer.release();
        buffer.reset(grown);
      }
      const size_t want = static_cast<size_t>(std::min<uint64_t>(std::min(capacity - have, readBytes), end - offset));
      FileError error;
      const int64_t n = want == 0 ? 0 : file.readAt(offset, buffer.get() + have, want, error);
      if (n < 0) {
        part.bad = FromFileError(error);
        return part;
      }
      last = n == 0;
      offset += static_cast<uint64_t>(n);
      have += static_cast<size_t>(n);
    }
    const size_t taken = loader.feed(buffer.get(), have, last);
    if (loader.restart()) {
      part.restart = true;
      return part;
    }
    if (last) break;
    std::memmove(buffer.get(), buffer.get() + taken, have - taken);
    have -= taken;
  }
  part.bad = loader.badByte();
  part.faultyLine = loader.faultyLine();
  part.lines = loader.lines();
  return part;
}

// The outcome of a file read in parts, in file order: the first bad byte
// wins over any faulty line, and line numbers run on from part to part.
LoadError Outcome(const Part& first, Part second = {}) {
  auto later = [&](LoadError e) {
    e.line += first.lines;
    return e;
  };
  if (first.bad.kind != LoadErrorKind::None) return first.bad;
  if (second.bad.kind != LoadErrorKind::None) return later(second.bad);
  if (first.faultyLine.kind != LoadErrorKind::None) return first.faultyLine;
  if (second.faultyLine.kind != LoadErrorKind::None) return later(second.faultyLine);
  return {};
}

// Below this many pieces a file is read by one thread.
constexpr uint64_t kPiecesForTwoThreads = 8;

// Where a second thread can take over: the file's encoding and line end must
// be known from its start, and the second half starts right after the first
// line end past the middle. Returns a start with offset 0 when the file is
// better read by one thread (short, no CR near its start or middle, or an
// encoding not settled by its first bytes).
Start SecondHalf(const OpenedFile& file, size_t readBytes) {
  const uint64_t size = file.size();
  if (size < kPiecesForTwoThreads * readBytes || std::thread::hardware_concurrency() < 2) return {};
  const size_t probe = static_cast<size_t>(std::min<uint64_t>(size, 2 * kSniffBytes));
  std::string head(probe, '\0');
  FileError error;
  if (file.readAt(0, head.data(), probe, error) != static_cast<int64_t>(probe)) return {};
  Start half;
  half.lineEnd = LineEnd::Cr;
  if (head.find('\r') == std::string::npos) return {};
  half.encoding = EncodingOf(reinterpret_cast<const Byte*>(head.data()), probe, probe == size);
  if (half.encoding == Encoding::Unknown) return {};
  std::string middle(static_cast<size_t>(std::min<uint64_t>(kSniffBytes, size - size / 2)), '\0');
  if (file.readAt(size / 2, middle.data(), middle.size(), error) != static_cast<int64_t>(middle.size())) return {};
  const size_t cr = middle.find('\r');
  if (cr == std::string::npos || cr + 1 >= middle.size()) return {};
  half.offset = size / 2 + cr + 1 + (middle[cr + 1] == '\n' ? 1 : 0);
  return half.offset < size ? half : Start{};
}

// Settled gives a loaded table back the room it did not use, and drops the
// records of a load that failed: there is no partial table.
LoadResult Settled(LoadResult result) {
  if (result.ok()) {
    IdiomTable::Appender(result.table).finish();
  } else {
    result.table = IdiomTable();
  }
  return result;
}

// DecodeIdiomText decodes a whole file's bytes, for the checker that lists
// every faulty line.
LoadError DecodeIdiomText(std::string_view bytes, std::u16string& text) {
  const auto* s = reinterpret_cast<const Byte*>(bytes.data());
  const Encoding encoding = EncodingOf(s, bytes.size(), true);
  const size_t bom = HasByteOrderMark(s, bytes.size()) ? 3 : 0;
  text.resize(bytes.size() + 1);
  const Byte* bad = nullptr;
  const char16_t* out = DecodeSpan(encoding, s + bom, s + bytes.size(), text.data(), bad);
  if (out != nullptr) {
    text.resize(static_cast<size_t>(out - text.data()));
    return {};
  }
  // Name the line of the bad byte as the loader counts lines.
  const std::string_view before = bytes.substr(0, static_cast<size_t>(bad - s));
  int64_t line = 1;
  if (UsesLfLineEnds(bytes)) {
    line += std::count(before.begin(), before.end(), '\n');
  } else {
    for (size_t i = 0; i < before.size(); ++i) {
      if (before[i] != '\r') continue;
      ++line;
      if (i + 1 < before.size() && before[i + 1] == '\n') ++i;
    }
  }
  const char* what = encoding == Encoding::Utf8 ? "UTF-8" : "GBK";
  return MakeError(LoadErrorKind::BadEncoding, line,
                   std::string("含有不是 ") + what + " 编码的字节（文件第 " + std::to_string(before.size() + 1) +
                       " 个字节）");
}

}  // namespace

LoadResult ParseIdiomText(std::string_view bytes) {
  LoadResult result;
  if (bytes.size() >= UINT32_MAX / 2) {
    result.error = MakeError(LoadErrorKind::TooLarge, 0, "文件太大");
    return result;
  }
  Loader loader(result.table, Start{});
  loader.feed(bytes.data(), bytes.size(), true);
  Part part;
  part.bad = loader.badByte();
  part.faultyLine = loader.faultyLine();
  result.error = Outcome(part);
  return Settled(std::move(result));
}

LoadResult LoadIdiomFile(const std::filesystem::path& path, size_t readBytes) {
  LoadResult result;
  FileError error;
  const OpenedFile file = OpenedFile::open(path, error);
  result.error = FromFileError(error);
  if (!result.ok()) return result;
  const uint64_t size = file.size();
  // A large file is read as two halves at once, one per thread, each into
  // a table of its own; the second table is then put behind the first.
  // Loading is nearly all decoding, which halves.
  if (const Start half = SecondHalf(file, readBytes); half.offset > 0) {
    IdiomTable second;
    Part secondPart;
    std::thread reader([&] { secondPart = LoadPart(file, second, half, size, readBytes); });
    Start first = half;
    first.offset = 0;
    const Part firstPart = LoadPart(file, result.table, first, half.offset, readBytes);
    reader.join();
    result.error = Outcome(firstPart, secondPart);
    if (result.ok()) result.table.append(std::move(second));
  } else {
    Part part = LoadPart(file, result.table, Start{}, size, readBytes);
    if (part.restart) {
      result.table = IdiomTable();
      Start again;
      again.lineEnd = LineEnd::Cr;
      part = LoadPart(file, result.table, again, size, readBytes);
    }
    result.error = Outcome(part);
  }
  return Settled(std::move(result));
}

LoadResult LoadIdiomTable() { return LoadIdiomFile(ProgramFolder() / "cy.dat"); }

LoadError ReadIdiomFile(const std::filesystem::path& path, std::string& bytes) {
  return FromFileError(ReadWholeFile(path, bytes));
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

}  // namespace tessaly
