// The line and field checks.
#include "line_check.h"

namespace tessaly {
namespace {

constexpr char16_t kFieldSeparator = u'#';
constexpr char16_t kFullWidthComma = u'\uFF0C';
constexpr int kFieldCount = 6;

const char* FieldName(int field) {
  static const char* const kNames[] = {"成语", "拼音首字母", "拼音", "释义", "出处", "示例"};
  return field >= 0 && field < kFieldCount ? kNames[field] : "";
}

}  // namespace

LoadError MakeError(LoadErrorKind kind, int64_t line, std::string reason, int field) {
  LoadError e;
  e.kind = kind;
  e.line = line;
  e.field = field;
  e.reason = std::move(reason);
  return e;
}

LoadError CheckLine(std::u16string_view line, int64_t lineNumber) {
  if (line.empty()) return MakeError(LoadErrorKind::BlankLine, lineNumber, "空行");
  if (line.find(u'\0') != std::u16string_view::npos) {
    return MakeError(LoadErrorKind::NulCharacter, lineNumber, "含有 NUL 字符（字节 0）");
  }
  std::u16string_view fields[kFieldCount];
  int count = 0;
  size_t pos = 0;
  while (count < kFieldCount) {
    const size_t hash = line.find(kFieldSeparator, pos);
    fields[count++] = line.substr(pos, hash == line.npos ? line.npos : hash - pos);
    if (hash == line.npos) break;
    pos = hash + 1;
  }
  if (count < kFieldCount) {
    return MakeError(LoadErrorKind::TooFewFields, lineNumber,
                     "只有 " + std::to_string(count) + " 个字段，至少需要 6 个（以 # 分隔）");
  }
  for (int f = 0; f < kFieldCount; ++f) {
    if (fields[f].empty()) {
      return MakeError(LoadErrorKind::EmptyField, lineNumber,
                       "第 " + std::to_string(f + 1) + " 个字段（" + FieldName(f) + "）为空", f);
    }
  }
  if (fields[0].find_first_not_of(kFullWidthComma) == std::u16string_view::npos) {
    return MakeError(LoadErrorKind::IdiomOnlyCommas, lineNumber, "成语字段只有全角逗号“，”", 0);
  }
  return {};
}

}  // namespace tessaly
