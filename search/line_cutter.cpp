// Cutting lines and judging them.
#include "line_cutter.h"

#include <cstring>
#include <string>

#include "idiom_table.h"
#include "messages.h"

namespace tessaly {
namespace {

const char* Find(const char* from, const char* end, char byte) {
  return static_cast<const char*>(std::memchr(from, byte, static_cast<size_t>(end - from)));
}

}  // namespace

const char* LineCutter::find(const char* p, const char* end, bool last) {
  const char* from = p + m_searched;
  if (m_lineEnd == LineEnd::Unknown) {
    const char* cr = Find(from, end, '\r');
    if (cr != nullptr) {
      m_lineEnd = LineEnd::Cr;  // an LF before it stays inside the line
    } else if (const char* lf = Find(from, end, '\n'); lf != nullptr) {
      m_lineEnd = LineEnd::Lf;
      m_tentative = !last;
    } else {
      m_searched = static_cast<size_t>(end - p);
      if (!last) return nullptr;
      m_lineEnd = LineEnd::Cr;  // one line without any line end
      m_searched = 0;
      return end;
    }
  }
  if (m_lineEnd == LineEnd::Lf) {
    const char* lf = Find(from, end, '\n');
    // Each byte is searched for a CR once, as a byte of its line.
    if (m_tentative && Find(from, lf != nullptr ? lf : end, '\r') != nullptr) {
      m_restart = true;
      return nullptr;
    }
    if (lf == nullptr) {
      m_searched = static_cast<size_t>(end - p);
      if (!last) return nullptr;
      m_searched = 0;
      m_tentative = false;
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
