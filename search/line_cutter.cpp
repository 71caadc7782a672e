// Cutting lines and judging them.
#include "line_cutter.h"

#include <cstring>
#include <string>

#include "idiom_table.h"
#include "messages.h"
#include "table_writer.h"

namespace tessaly {
namespace {

const char* Find(const char* from, const char* end, char byte) {
  return static_cast<const char*>(std::memchr(from, byte, static_cast<size_t>(end - from)));
}

}  // namespace

void LineEndCounter::add(const char* p, size_t n) {
  const char* const end = p + n;
  if (m_pendingCr && p < end) {
    if (*p == '\n') {
      ++m_crLf;
      ++p;
    } else {
      ++m_loneCr;
    }
    m_pendingCr = false;
  }
  while (p < end) {
    const char* cr = Find(p, end, '\r');
    for (const char* lf = Find(p, cr != nullptr ? cr : end, '\n'); lf != nullptr; lf = Find(lf + 1, cr != nullptr ? cr : end, '\n')) {
      ++m_loneLf;
    }
    if (cr == nullptr) return;
    if (cr + 1 == end) {
      m_pendingCr = true;
      return;
    }
    if (cr[1] == '\n') {
      ++m_crLf;
      p = cr + 2;
    } else {
      ++m_loneCr;
      p = cr + 1;
    }
  }
}

LineEnd LineEndCounter::lineEnd() const {
  // cy.dat's own line end is CR LF; a file without a single CR (as Unix
  // tools and dos2unix leave it) ends its lines with LF.
  if (m_crLf > 0 || loneCr() > 0) return LineEnd::Cr;
  return m_loneLf > 0 ? LineEnd::Lf : LineEnd::Cr;
}

const char* LineCutter::find(const char* p, const char* end, bool last) {
  const char* from = p + m_searched;
  if (m_lineEnd == LineEnd::Lf) {
    const char* lf = Find(from, end, '\n');
    if (lf == nullptr) {
      m_searched = static_cast<size_t>(end - p);
      if (!last) return nullptr;
      m_searched = 0;
      return end;
    }
    m_searched = 0;
    return lf;
  }
  const char* cr = Find(from, end, '\r');
  if (cr == nullptr || (cr + 1 == end && !last)) {
    // No end yet, or a CR whose LF may be in the next piece: search from
    // the CR again then.
    m_searched = static_cast<size_t>((cr != nullptr ? cr : end) - p);
    if (cr == nullptr && last) {
      m_searched = 0;
      return end;
    }
    return nullptr;
  }
  m_searched = 0;
  return cr;
}

Error LineVerdict::verdict(int64_t line, bool blank) const {
  Error e;
  e.line = line;
  if (blank) {
    e.kind = ErrorKind::BlankLine;
    e.reason = TR("a blank line");
  } else if (m_nul) {
    e.kind = ErrorKind::NulCharacter;
    e.reason = TR("holds a NUL character (byte 0)");
  } else if (m_fields < kFieldCount) {
    e.kind = ErrorKind::TooFewFields;
    e.reason = Format(TR("only %s fields; six at least are needed (separated by #)"), {std::to_string(m_fields)});
  } else if (m_firstEmpty >= 0) {
    e.kind = ErrorKind::EmptyField;
    e.field = m_firstEmpty;
    e.reason = Format(TR("field %s (%s) is empty"), {std::to_string(m_firstEmpty + 1), FieldName(m_firstEmpty)});
  } else if (m_onlyCommas) {
    e.kind = ErrorKind::IdiomOnlyCommas;
    e.field = 0;
    e.reason = TR("the idiom is nothing but full-width commas “，”");
  } else {
    e.line = 0;
  }
  return e;
}

}  // namespace tessaly
