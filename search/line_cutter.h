// The lines of cy.dat and what makes a line a record: the one place these
// rules live. The loader (both halves of a file read by two threads), the
// checker that lists every broken line and CheckLine all cut and judge
// lines here.
//
// How a file's lines end is decided once, from the whole file
// (LineEndCounter): CR LF, a lone CR ending a line too and a lone LF
// staying inside it; or, in a file without a single CR, LF. An end of the
// file right after a line end starts no further line. Every "#" separates
// fields; fields 0 to 5 must exist and be non-empty, field 0 must keep a
// character after every "，" has been taken out of it, and no line may be
// blank or hold a NUL.
//
//   LineEndCounter count;
//   count.add(begin, end - begin);
//   LineCutter cut(count.lineEnd());
//   for (const char* p = begin; p < end;) {
//     const char* e = cut.find(p, end, /*last=*/true);
//     line(p, e);
//     p = cut.next(e, end);
//   }
#pragma once

#include <cstddef>
#include <cstdint>

#include "error.h"

namespace tessaly {

// The byte that ends lines.
enum class LineEnd : uint8_t {
  Cr,  // CR LF, or a lone CR; a lone LF stays inside its line
  Lf,  // LF
};

// LineEndCounter counts how the lines of a file end, its bytes given a
// piece at a time in file order, and says which line end the file has:
// the one place that rule lives.
class LineEndCounter {
 public:
  void add(const char* p, size_t n);
  LineEnd lineEnd() const;

  uint64_t crLf() const { return m_crLf; }
  uint64_t loneCr() const { return m_loneCr + (m_pendingCr ? 1 : 0); }
  uint64_t loneLf() const { return m_loneLf; }

 private:
  uint64_t m_crLf = 0;
  uint64_t m_loneCr = 0;
  uint64_t m_loneLf = 0;
  bool m_pendingCr = false;  // the last byte given was a CR
};

// LineCutter finds where the lines of a file end, in its bytes given a
// piece at a time. It searches every byte at most once, however long a
// line runs across pieces.
class LineCutter {
 public:
  explicit LineCutter(LineEnd lineEnd) : m_lineEnd(lineEnd) {}

  // find returns the line-end byte of the line that starts at `p`,
  // searching [p, end); `last`: the bytes run to the end of the file, and a
  // line without an end runs to `end`, which is returned. Returns null when
  // the line's end is not in the bytes yet (a CR as the last byte waits for
  // the next: it may be the CR of a CR LF). Call it again for the same line
  // with the same `p` and more bytes behind; see moved().
  const char* find(const char* p, const char* end, bool last);
  // next returns where the line after the one whose end find() returned
  // as `e` starts.
  const char* next(const char* e, const char* end) const {
    if (e >= end) return end;
    ++e;
    return m_lineEnd == LineEnd::Cr && e < end && *e == '\n' ? e + 1 : e;
  }
  // moved: the caller took `n` bytes from the front of the line it
  // searches (fields of a long line) and gives its rest as the new `p`.
  void moved(size_t n) { m_searched = n < m_searched ? m_searched - n : 0; }

  LineEnd lineEnd() const { return m_lineEnd; }

 private:
  LineEnd m_lineEnd;
  size_t m_searched = 0;  // bytes of the current line searched without finding its end
};

// LineVerdict judges one line of cy.dat from what is seen of it, field by
// field, in the order these rules rank: a blank line, a NUL, too few
// fields, an empty field among 0 to 5, an idiom of nothing but "，".
class LineVerdict {
 public:
  // field: field `index` (from 0, in order) has ended, `empty` or not.
  // Fields from 6 on need not be told.
  void field(int index, bool empty) {
    m_fields = index + 1;
    if (empty && index < 6 && m_firstEmpty < 0) m_firstEmpty = index;
  }
  // fields: the line had `count` fields (up to 6 counted), the first
  // empty one of them `firstEmpty` (-1: none); as field() told for each.
  void fields(int count, int firstEmpty) {
    m_fields = count;
    m_firstEmpty = firstEmpty;
  }
  void nul() { m_nul = true; }
  void onlyCommas() { m_onlyCommas = true; }
  // faulty: the line cannot be a record, whatever follows in it.
  bool faulty() const { return m_nul || m_firstEmpty >= 0 || m_onlyCommas; }
  // record: what was seen makes a record, unless the line is blank.
  bool record() const { return !faulty() && m_fields >= 6; }
  // verdict is the error of line `line` (kind None for a record); `blank`:
  // the line holds no byte at all.
  Error verdict(int64_t line, bool blank) const;

 private:
  int m_fields = 0;
  int m_firstEmpty = -1;
  bool m_nul = false;
  bool m_onlyCommas = false;
};

}  // namespace tessaly
