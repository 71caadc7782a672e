// Cutting lines and judging them.
#include "line_cutter.h"

#include <cstring>
#include <string>

#include "idiom_table.h"

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
    e.reason = "空行";
  } else if (m_nul) {
    e.kind = ErrorKind::NulCharacter;
    e.reason = "含有 NUL 字符（字节 0）";
  } else if (m_fields < kFieldCount) {
    e.kind = ErrorKind::TooFewFields;
    e.reason = "只有 " + std::to_string(m_fields) + " 个字段，至少需要 6 个（以 # 分隔）";
  } else if (m_firstEmpty >= 0) {
    e.kind = ErrorKind::EmptyField;
    e.field = m_firstEmpty;
    e.reason = "第 " + std::to_string(m_firstEmpty + 1) + " 个字段（" + FieldName(m_firstEmpty) + "）为空";
  } else if (m_onlyCommas) {
    e.kind = ErrorKind::IdiomOnlyCommas;
    e.field = 0;
    e.reason = "成语字段只有全角逗号“，”";
  } else {
    e.line = 0;
  }
  return e;
}

}  // namespace tessaly
