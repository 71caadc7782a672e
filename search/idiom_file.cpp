// Reading cy.dat: encoding, lines and fields on the file's bytes, decoding
// into the columns; and the checker that lists every broken line.
#include "idiom_file.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "file_io.h"
#include "gbk.h"
#include "line_cutter.h"
#include "table_writer.h"
#include "text.h"
#include "messages.h"

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

bool IsCjkText(int32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

Encoding Sniff(const Byte* s, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(s), std::min<size_t>(size, kSniffBytes));
  int64_t cjk = 0, other = 0, bad = 0;
  for (size_t i = 0; i < bytes.size();) {
    if (s[i] < 0x80) {
      ++i;
      continue;
    }
    const int32_t c = ReadUtf8(bytes, i);
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

// Where a Loader starts reading: at the start of a file, or in the middle of
// one (the second half of a file read by two threads, or a file the checker
// has looked through for its line end), with what is known there.
struct Start {
  uint64_t offset = 0;
  Encoding encoding = Encoding::Unknown;
  LineEnd lineEnd = LineEnd::Cr;
};

// Loader turns the bytes of a cy.dat file into records, a piece at a time.
// Given a table it loads: every record goes into the table, and after the
// first faulty line the rest of the file is only decoded, since only a bad
// byte can still change the outcome, which a bad byte ends. Given no table
// it checks: every faulty line, a bad byte's among them, goes to the sink,
// and nothing is kept but the start of the line at hand.
//
// feed() takes what it can of the bytes it is given: every complete line,
// and of a line that runs on, the fields that have ended and the start of
// the one that has not; the caller keeps the few bytes left (at most a
// character cut short, or a CR) and gives them again with the bytes that
// follow.
class Loader {
 public:
  Loader(IdiomTable* table, const Start& start, const std::function<void(const LineProblem&)>* problems)
      : m_problems(problems), m_started(start.offset > 0), m_encoding(start.encoding),
        m_cutter(start.lineEnd), m_offset(start.offset) {
    if (table != nullptr) {
      m_writer.emplace(*table);
      for (int f = 0; f <= kFieldCount; ++f) {
        m_columns[static_cast<size_t>(f)] = &m_writer->column(f < kFieldCount ? f : TableWriter::kRestColumn);
      }
    }
  }

  // feed takes what it can of [data, data + size) and returns how many
  // bytes it took. `last`: the bytes run to the end of the part to read;
  // all are taken.
  size_t feed(const char* data, size_t size, bool last);
  // stopped: a bad byte ended the load; nothing more needs reading.
  bool stopped() const { return !m_bad.ok(); }

  // Once everything has been fed: the first bad byte, the first faulty line
  // (kind None when there is none), the lines read and the lines found
  // faulty.
  const Error& badByte() const { return m_bad; }
  const Error& faultyLine() const { return m_lineError; }
  int64_t lines() const { return m_line; }
  int64_t problems() const { return m_problemCount; }

 private:
  const char* take(const char* s, const char* limit, bool lineEnds);
  const char* takeRecord(const char* s, const char* limit);
  const char* decode(const char* s, const char* limit, bool closes);
  void closeField(bool empty);
  void endLine();
  void badByte(const char* at);
  void stopStoring();

  // The text of the current field goes here: its column while the line is
  // stored, else a scratch buffer.
  ColumnWriter column() {
    return ColumnWriter(m_writer->column(m_field < kFieldCount ? m_field : TableWriter::kRestColumn));
  }

  std::optional<TableWriter> m_writer;  // absent when checking
  std::array<TextColumn*, kFieldCount + 1> m_columns{};  // the fields' columns and the rest's
  const std::function<void(const LineProblem&)>* m_problems;
  bool m_started;
  Encoding m_encoding;
  LineCutter m_cutter;
  uint64_t m_offset;          // offset in the file of the bytes fed
  const char* m_base = nullptr;
  uint64_t m_asciiUntil = 0;  // offset up to which the bytes are known to be ASCII
  int64_t m_line = 0;         // lines begun
  int64_t m_problemCount = 0;
  Error m_lineError;          // the first faulty line
  Error m_bad;                // a bad byte: the load ends there

  // The line at hand.
  bool m_inLine = false;
  bool m_blank = true;
  bool m_storing = false;
  bool m_idiomCommas = true;  // field 0 so far is nothing but "，"
  int m_field = 0;            // the field being read; kFieldCount and up: the rest
  uint64_t m_fieldBytes = 0;  // bytes of it taken so far
  LineVerdict m_verdict;
  Error m_lineBadByte;        // when checking: a bad byte of this line
  std::u16string m_start;     // when checking: the line's first characters
  std::vector<char16_t> m_scratch;
};

// The characters of a faulty line shown with it.
constexpr size_t kStartUnits = 40;
// Text not kept is decoded this much at a time.
constexpr size_t kScratchBytes = size_t{1} << 16;

size_t Loader::feed(const char* data, size_t size, bool last) {
  const char* const end = data + size;
  const char* p = data;
  m_base = data;
  auto taken = [&] {
    const auto n = static_cast<size_t>(p - data);
    m_offset += n;
    return n;
  };
  if (!m_started) {
    if (size < 3 && !last) return 0;
    m_started = true;
    if (HasByteOrderMark(reinterpret_cast<const Byte*>(p), size)) {
      m_encoding = Encoding::Utf8;
      p += 3;
      m_asciiUntil = 3;
    }
  }
  while (p < end && !stopped()) {
    // Until the encoding is known only ASCII is decoded, which reads alike
    // in both; the first other byte decides it, once the window after it
    // has been read.
    const char* limit = end;
    if (m_encoding == Encoding::Unknown) {
      const char* from = data + std::max<uint64_t>(m_asciiUntil, m_offset + static_cast<uint64_t>(p - data)) - m_offset;
      const char* q = std::find_if(from, end, [](char c) { return (c & 0x80) != 0; });
      m_asciiUntil = m_offset + static_cast<uint64_t>(q - data);
      if (q != end) {
        if (static_cast<size_t>(end - q) >= kSniffBytes || last) {
          m_encoding = Sniff(reinterpret_cast<const Byte*>(q), static_cast<size_t>(end - q));
        } else {
          limit = q;
        }
      }
    }
    const char* e = m_cutter.find(p, end, last);
    if (e != nullptr && e <= limit) {
      const char* after = take(p, e, true);
      if (after == nullptr) break;  // a bad byte ended the load
      p = m_cutter.next(e, end);
      continue;
    }
    // The line runs on past what is here: take its ended fields and the
    // start of the open one now, so that no line is ever held whole.
    const char* upTo = std::min(limit, e != nullptr ? e : end);
    const char* after = take(p, upTo, false);
    if (after == nullptr) break;
    m_cutter.moved(static_cast<size_t>(after - p));
    p = after;
    break;
  }
  return taken();
}

// take reads the bytes [s, limit) of the current line; `lineEnds`: the
// line ends at `limit`. Returns how far it got (the few bytes after that
// wait for more), or null when a bad byte ended the load.
const char* Loader::take(const char* s, const char* limit, bool lineEnds) {
  if (!m_inLine) {
    m_inLine = true;
    ++m_line;
    m_blank = true;
    m_storing = m_writer.has_value() && m_lineError.ok();
    m_idiomCommas = true;
    m_field = 0;
    m_fieldBytes = 0;
    m_verdict = LineVerdict();
    if (!m_lineBadByte.ok()) m_lineBadByte = Error();
    if (!m_writer) m_start.clear();
  }
  if (s < limit) {
    m_blank = false;
    if (std::memchr(s, '\0', static_cast<size_t>(limit - s)) != nullptr) {
      m_verdict.nul();
      stopStoring();
    }
  }
  if (lineEnds && m_storing && m_field == 0 && m_fieldBytes == 0) return takeRecord(s, limit);
  while (m_lineBadByte.ok()) {
    if (m_field < kFieldCount) {
      const char* hash = static_cast<const char*>(std::memchr(s, static_cast<char>(kFieldSeparator), static_cast<size_t>(limit - s)));
      if (hash == nullptr && !lineEnds) {
        s = decode(s, limit, false);
        if (s == nullptr) return nullptr;
        return s;
      }
      const char* fieldEnd = hash != nullptr ? hash : limit;
      const bool empty = m_fieldBytes == 0 && fieldEnd == s;
      if (decode(s, fieldEnd, true) == nullptr) return nullptr;
      if (!m_lineBadByte.ok()) break;
      closeField(empty);
      ++m_field;
      if (hash == nullptr) break;
      s = hash + 1;
      if (!m_writer && m_start.size() < kStartUnits) m_start.push_back(kFieldSeparator);
      if (m_field == kFieldCount && m_storing) {
        // Fields 6 and up are kept as they stand, with the "#" before them.
        ColumnWriter rest = column();
        rest.room(1);
        *rest.end() = kFieldSeparator;
        rest.extend(rest.end() + 1);
      }
      continue;
    }
    // Fields 6 and up, "#" and all.
    s = decode(s, limit, lineEnds);
    if (s == nullptr) return nullptr;
    if (!lineEnds) return s;
    break;
  }
  if (!lineEnds) return limit;
  endLine();
  return limit;
}

// takeRecord reads a whole line into the table, field by field straight
// into the columns: what nearly every line of a file takes. The line is
// judged by the same verdict as in take(), and dropped at its end when it
// is no record.
const char* Loader::takeRecord(const char* s, const char* limit) {
  const bool utf8 = m_encoding == Encoding::Utf8;
  TableWriter& writer = *m_writer;
  writer.reserveRecord();
  int f = 0;
  int firstEmpty = -1;
  for (;; ++f) {
    // Fields 0 to 5 end at a "#"; the rest, "#" and all, at the line end.
    const bool rest = f == kFieldCount;
    const char* hash =
        rest ? nullptr
             : static_cast<const char*>(std::memchr(s, static_cast<char>(kFieldSeparator), static_cast<size_t>(limit - s)));
    const char* fieldEnd = hash != nullptr ? hash : limit;
    ColumnWriter c(*m_columns[f]);
    c.room(static_cast<size_t>(fieldEnd - s));
    char16_t* const out = c.end();
    const char* from = s;
    char16_t* const written =
        utf8 ? DecodeUtf8Span(from, fieldEnd, fieldEnd, out) : DecodeGbkSpan(from, fieldEnd, fieldEnd, out);
    // (An empty field written at the end of a column not yet allocated
    // comes back as null too.)
    if (written == nullptr && from != fieldEnd) {
      m_field = f;
      badByte(from);
      return nullptr;
    }
    c.closeReserved(written);
    if (rest) break;
    if (fieldEnd == s && firstEmpty < 0) firstEmpty = f;
    if (f == 0 && written != out && std::all_of(out, written, [](char16_t u) { return u == kIdiomComma; })) {
      m_verdict.onlyCommas();
    }
    if (hash == nullptr) {
      // Fewer than six fields: the verdict says so; the rest stays empty.
      ColumnWriter rest(*m_columns[kFieldCount]);
      rest.closeReserved(rest.end());
      break;
    }
    // The rest starts with the "#" that ends field 5.
    s = f + 1 == kFieldCount ? hash : hash + 1;
  }
  m_verdict.fields(std::min(f + 1, kFieldCount), firstEmpty);
  m_field = f;
  endLine();
  return limit;
}

// decode decodes the bytes [s, limit) of the current field into its column
// (or the scratch buffer). `closes`: the field ends at `limit`; otherwise
// the last few bytes, which may be a character cut short, are left for
// later. Returns how far it got, or null when a bad byte ended the load.
const char* Loader::decode(const char* s, const char* limit, bool closes) {
  if (closes && m_storing) {
    // A whole field kept: straight into its column, the common case.
    ColumnWriter c = column();
    c.room(static_cast<size_t>(limit - s));
    char16_t* const out = c.end();
    const char* from = s;
    char16_t* const written = m_encoding == Encoding::Utf8 ? DecodeUtf8Span(from, limit, limit, out)
                                                           : DecodeGbkSpan(from, limit, limit, out);
    if (written == nullptr && from != limit) {
      badByte(from);
      return nullptr;
    }
    if (m_field == 0) {
      m_idiomCommas = m_idiomCommas && std::all_of(out, written, [](char16_t u) { return u == kIdiomComma; });
    }
    c.extend(written);
    return limit;
  }
  const char* stop = closes ? limit : (limit - s > 3 ? limit - 3 : s);
  if (stop <= s || !m_lineBadByte.ok()) return closes ? limit : s;
  const Encoding encoding = m_encoding == Encoding::Unknown ? Encoding::Gbk : m_encoding;
  auto run = [&](const char*& from, const char* to, char16_t* out) {
    return encoding == Encoding::Utf8 ? DecodeUtf8Span(from, to, limit, out) : DecodeGbkSpan(from, to, limit, out);
  };
  const char* const begin = s;
  while (s < stop) {
    char16_t* out;
    char16_t* written;
    // Kept text goes straight to its column; text only checked goes through
    // a small buffer a piece at a time.
    const char* to = m_storing ? stop : std::min(stop, s + kScratchBytes);
    if (m_storing) {
      ColumnWriter c = column();
      c.room(static_cast<size_t>(to - s));
      out = c.end();
      written = run(s, to, out);
      if (written != nullptr) c.extend(written);
    } else {
      m_scratch.resize(kScratchBytes + 4);
      out = m_scratch.data();
      written = run(s, to, out);
    }
    if (written == nullptr) {
      badByte(s);
      if (!m_lineBadByte.ok()) return closes ? limit : stop;  // checking: the line is done for
      return nullptr;
    }
    if (m_field == 0) {
      m_idiomCommas = m_idiomCommas && std::all_of(out, written, [](char16_t u) { return u == kIdiomComma; });
    }
    if (!m_writer && m_start.size() < kStartUnits) {
      m_start.append(out, std::min<size_t>(static_cast<size_t>(written - out), kStartUnits - m_start.size()));
    }
  }
  m_fieldBytes += static_cast<uint64_t>(s - begin);
  return s;
}

void Loader::closeField(bool empty) {
  if (m_field < kFieldCount) {
    m_verdict.field(m_field, empty);
    if (m_field == 0 && !empty && m_idiomCommas) m_verdict.onlyCommas();
    if (m_verdict.faulty()) stopStoring();
    if (m_storing) column().close();
  }
  m_fieldBytes = 0;
}

void Loader::endLine() {
  m_inLine = false;
  if (m_storing && m_verdict.record() && !m_blank) {
    TableWriter& w = *m_writer;
    // takeRecord has closed the rest already; take() closes it here.
    ColumnWriter rest(*m_columns[kFieldCount]);
    if (rest.size() == m_columns[0]->size() - 1) rest.close();
    if (w.commit()) return;
  }
  Error verdict = m_lineBadByte.ok() ? m_verdict.verdict(m_line, m_blank) : m_lineBadByte;
  if (m_storing) m_writer->drop();
  if (verdict.ok()) return;
  if (!m_writer) {
    ++m_problemCount;
    if (m_problems != nullptr && *m_problems) (*m_problems)({std::move(verdict), m_start});
  } else if (m_lineError.ok()) {
    m_lineError = std::move(verdict);
  }
}

void Loader::stopStoring() {
  if (m_storing) m_writer->drop();
  m_storing = false;
}

void Loader::badByte(const char* at) {
  const uint64_t offset = m_offset + static_cast<uint64_t>(at - m_base);
  const char* what = m_encoding == Encoding::Utf8 ? "UTF-8" : "GBK";
  Error e;
  e.kind = ErrorKind::BadEncoding;
  e.line = m_line;
  e.offset = static_cast<int64_t>(offset);
  e.reason = Format(TR("holds bytes that are not %s text (byte %s of the file)"), {what, std::to_string(offset + 1)});
  stopStoring();
  if (m_writer) {
    m_bad = std::move(e);
  } else {
    m_lineBadByte = std::move(e);  // the checker reports the line and reads on
  }
}

// What reading a part of a file gave: the outcome of its loader.
struct Part {
  Error bad;
  Error faultyLine;
  int64_t lines = 0;
  int64_t problems = 0;
};

// A buffer of bytes read from a file: nothing in it is zero-filled first.
class ReadBuffer {
 public:
  explicit ReadBuffer(size_t size) : m_bytes(new char[size]), m_size(size) {}
  char* data() { return m_bytes.get(); }
  size_t size() const { return m_size; }
  // grow doubles the buffer, keeping its bytes.
  void grow() {
    std::unique_ptr<char[]> bigger(new char[m_size * 2]);
    std::memcpy(bigger.get(), m_bytes.get(), m_size);
    m_bytes = std::move(bigger);
    m_size *= 2;
  }

 private:
  std::unique_ptr<char[]> m_bytes;
  size_t m_size;
};

// Reads [start.offset, end) of a file a piece at a time and feeds a loader
// with it. The loader leaves only a few bytes of each piece, so the buffer
// stays at a piece (it grows only while the window that decides the
// encoding is read).
Result<Part> ReadPart(const OpenedFile& file, Loader& loader, uint64_t offset, uint64_t end, size_t readBytes) {
  Part part;
  ReadBuffer buffer(std::max<size_t>(readBytes, 16));
  size_t have = 0;
  bool last = false;
  while (!loader.stopped()) {
    if (!last) {
      if (have == buffer.size()) buffer.grow();
      const size_t want = static_cast<size_t>(std::min<uint64_t>(std::min(buffer.size() - have, readBytes), end - offset));
      size_t n = 0;
      if (want > 0) {
        const Result<size_t> read = file.readAt(offset, buffer.data() + have, want);
        if (!read.ok()) return read.error();
        n = *read;
      }
      last = n == 0;
      offset += n;
      have += n;
    }
    const size_t taken = loader.feed(buffer.data(), have, last);
    if (last) break;
    std::memmove(buffer.data(), buffer.data() + taken, have - taken);
    have -= taken;
  }
  part.bad = loader.badByte();
  part.faultyLine = loader.faultyLine();
  part.lines = loader.lines();
  part.problems = loader.problems();
  return part;
}

// The outcome of a file read in parts, in file order: the first bad byte
// wins over any faulty line, and line numbers run on from part to part.
Error Outcome(const Part& first, Part second = {}) {
  auto later = [&](Error e) {
    e.line += first.lines;
    return e;
  };
  if (!first.bad.ok()) return first.bad;
  if (!second.bad.ok()) return later(second.bad);
  if (!first.faultyLine.ok()) return first.faultyLine;
  if (!second.faultyLine.ok()) return later(second.faultyLine);
  return {};
}

// Below this many pieces a file is read by one thread.
constexpr uint64_t kPiecesForTwoThreads = 8;

// Where a second thread can take over: the file's encoding must be known
// from its start, and the second half starts right after the first line
// end past the middle. Returns a start with offset 0 when the file is
// better read by one thread (short, no line end near its middle, or an
// encoding not settled by its first bytes).
Start SecondHalf(const OpenedFile& file, LineEnd lineEnd, size_t readBytes) {
  const uint64_t size = file.size();
  if (size < kPiecesForTwoThreads * readBytes || std::thread::hardware_concurrency() < 2) return {};
  const size_t probe = static_cast<size_t>(std::min<uint64_t>(size, 2 * kSniffBytes));
  std::string head(probe, '\0');
  const Result<size_t> headRead = file.readAt(0, head.data(), probe);
  if (!headRead.ok() || *headRead != probe) return {};
  Start half;
  half.lineEnd = lineEnd;
  half.encoding = EncodingOf(reinterpret_cast<const Byte*>(head.data()), probe, probe == size);
  if (half.encoding == Encoding::Unknown) return {};
  std::string middle(static_cast<size_t>(std::min<uint64_t>(kSniffBytes, size - size / 2)), '\0');
  const Result<size_t> middleRead = file.readAt(size / 2, middle.data(), middle.size());
  if (!middleRead.ok() || *middleRead != middle.size()) return {};
  const size_t at = middle.find(lineEnd == LineEnd::Cr ? '\r' : '\n');
  if (at == std::string::npos || at + 1 >= middle.size()) return {};
  half.offset = size / 2 + at + 1 + (lineEnd == LineEnd::Cr && middle[at + 1] == '\n' ? 1 : 0);
  return half.offset < size ? half : Start{};
}

// Settled gives a loaded table back the room it did not use; a load that
// failed is its error: there is no partial table.
Result<IdiomTable> Settled(IdiomTable table, const Error& error) {
  if (!error.ok()) return error;
  TableWriter(table).finish();
  return table;
}

// Loads the whole file with one loader.
Result<IdiomTable> LoadWhole(const OpenedFile& file, LineEnd lineEnd, size_t readBytes) {
  IdiomTable table;
  Start start;
  start.lineEnd = lineEnd;
  Loader loader(&table, start, nullptr);
  const Result<Part> part = ReadPart(file, loader, 0, file.size(), readBytes);
  if (!part.ok()) return part.error();
  return Settled(std::move(table), Outcome(*part));
}

// Loads a large file as two halves at once, one per thread, each into a
// table of its own; the second table is then put behind the first.
// Loading is nearly all decoding, which halves.
Result<IdiomTable> LoadHalves(const OpenedFile& file, const Start& half, size_t readBytes) {
  IdiomTable first, second;
  Result<Part> secondPart = Part{};
  std::thread reader;
  try {
    reader = std::thread([&] {
      try {
        Loader loader(&second, half, nullptr);
        secondPart = ReadPart(file, loader, half.offset, file.size(), readBytes);
      } catch (const std::bad_alloc&) {
        secondPart = OutOfMemoryError();
      }
    });
  } catch (const std::system_error&) {
    return LoadWhole(file, half.lineEnd, readBytes);  // no second thread: one reads it all
  }
  Result<Part> firstPart = Part{};
  try {
    Start start = half;
    start.offset = 0;
    Loader loader(&first, start, nullptr);
    firstPart = ReadPart(file, loader, 0, half.offset, readBytes);
  } catch (const std::bad_alloc&) {
    firstPart = OutOfMemoryError();
  }
  reader.join();
  if (!firstPart.ok()) return firstPart.error();
  if (!secondPart.ok()) return secondPart.error();
  const Error outcome = Outcome(*firstPart, *secondPart);
  if (outcome.ok()) TableWriter(first).append(std::move(second));
  return Settled(std::move(first), outcome);
}

// The line end of a whole file (LineEndCounter), read a piece at a time
// before its lines are cut, or of a whole text.
Result<LineEnd> LineEndOf(const OpenedFile& file, size_t readBytes) {
  ReadBuffer buffer(std::max<size_t>(readBytes, 16));
  LineEndCounter count;
  for (uint64_t offset = 0;;) {
    const Result<size_t> n = file.readAt(offset, buffer.data(), buffer.size());
    if (!n.ok()) return n.error();
    if (*n == 0) return count.lineEnd();
    count.add(buffer.data(), *n);
    offset += *n;
  }
}

LineEnd LineEndOf(std::string_view bytes) {
  LineEndCounter count;
  count.add(bytes.data(), bytes.size());
  return count.lineEnd();
}

}  // namespace

Result<IdiomTable> ParseIdiomText(std::string_view bytes) {
  try {
    if (bytes.size() >= UINT32_MAX / 2) return MakeError(ErrorKind::TooLarge, TR("the file is too large"));
    IdiomTable table;
    Start start;
    start.lineEnd = LineEndOf(bytes);
    Loader loader(&table, start, nullptr);
    loader.feed(bytes.data(), bytes.size(), true);
    Part part;
    part.bad = loader.badByte();
    part.faultyLine = loader.faultyLine();
    return Settled(std::move(table), Outcome(part));
  } catch (const std::bad_alloc&) {
    return OutOfMemoryError();
  }
}

Result<IdiomTable> LoadIdiomFile(const std::filesystem::path& path, size_t readBytes) {
  try {
    const Result<OpenedFile> file = OpenedFile::open(path);
    if (!file.ok()) return file.error();
    const Result<LineEnd> lineEnd = LineEndOf(*file, readBytes);
    if (!lineEnd.ok()) return lineEnd.error();
    if (const Start half = SecondHalf(*file, *lineEnd, readBytes); half.offset > 0) {
      return LoadHalves(*file, half, readBytes);
    }
    return LoadWhole(*file, *lineEnd, readBytes);
  } catch (const std::bad_alloc&) {
    return OutOfMemoryError();
  }
}

int64_t CheckIdiomText(std::string_view bytes, const std::function<void(const LineProblem&)>& onProblem) {
  Start start;
  start.encoding = EncodingOf(reinterpret_cast<const Byte*>(bytes.data()), bytes.size(), true);
  start.lineEnd = LineEndOf(bytes);
  Loader loader(nullptr, start, &onProblem);
  loader.feed(bytes.data(), bytes.size(), true);
  return loader.problems();
}

Result<int64_t> CheckIdiomFile(const std::filesystem::path& path, const std::function<void(const LineProblem&)>& onProblem, size_t readBytes) {
  try {
    const Result<OpenedFile> file = OpenedFile::open(path);
    if (!file.ok()) return file.error();
    const Result<LineEnd> lineEnd = LineEndOf(*file, readBytes);
    if (!lineEnd.ok()) return lineEnd.error();
    Start start;
    start.lineEnd = *lineEnd;
    Loader loader(nullptr, start, &onProblem);
    const Result<Part> part = ReadPart(*file, loader, 0, file->size(), readBytes);
    if (!part.ok()) return part.error();
    return part->problems;
  } catch (const std::bad_alloc&) {
    return OutOfMemoryError();
  }
}

Error CheckLine(std::u16string_view line, int64_t lineNumber) {
  LineVerdict verdict;
  if (line.find(u'\0') != std::u16string_view::npos) verdict.nul();
  size_t pos = 0;
  for (int f = 0; f < kFieldCount; ++f) {
    const size_t hash = line.find(kFieldSeparator, pos);
    const std::u16string_view text = line.substr(pos, hash == line.npos ? line.npos : hash - pos);
    verdict.field(f, text.empty());
    if (f == 0 && !text.empty() && text.find_first_not_of(kIdiomComma) == text.npos) verdict.onlyCommas();
    if (hash == line.npos) break;
    pos = hash + 1;
  }
  return verdict.verdict(lineNumber, line.empty());
}

Error AppendLine(IdiomTable& table, std::u16string_view line) {
  if (Error e = CheckLine(line, 0); !e.ok()) return e;
  TableWriter writer(table);
  size_t pos = 0;
  for (int f = 0; f <= kFieldCount; ++f) {
    // Fields 0 to 5, then the rest with the "#" before it, as it stands.
    const size_t hash = f < kFieldCount ? std::min(line.find(kFieldSeparator, pos), line.size()) : line.size();
    const size_t from = f < kFieldCount ? pos : std::min(pos - 1, line.size());
    const std::u16string_view text = line.substr(from, hash - from);
    ColumnWriter column(writer.column(f < kFieldCount ? f : TableWriter::kRestColumn));
    column.room(text.size());
    column.close(std::copy(text.begin(), text.end(), column.end()));
    pos = hash + 1;
  }
  writer.commit();
  return {};
}

}  // namespace tessaly
