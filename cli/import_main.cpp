// tessaly-import: turns public idiom data in the common JSON format (an
// array of objects with word, pinyin, abbreviation, explanation, derivation
// and example) into a cy.dat that loads.
//
//   tessaly-import [--append] -o cy.dat idioms.json [more.json ...]
//
// Records keep their input order; an idiom already written is skipped, so
// several files merge without duplicates, and --append adds to the records
// already in the output file. The output is written only when everything
// went well: a malformed input leaves no partial file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

#include "gbk.h"
#include "idiom_table.h"
#include "pinyin.h"
#include "text.h"

namespace {

using namespace tessaly;

constexpr char kUsage[] = "用法：tessaly-import [--append] -o 输出文件 输入.json [更多.json ...]\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "tessaly-import: %s\n", message.c_str());
  return 2;
}

// A field's text made safe for one cy.dat field: "#" becomes "＃", every
// line break a space, and an empty text "无".
std::u16string FieldText(std::u16string text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u == u'#') {
      out.push_back(u'\uFF03');
    } else if (u == u'\r' || u == u'\n' || u == u'\u2028' || u == u'\u2029') {
      if (u == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      out.push_back(u' ');
    } else if (u == u'\0') {
      out.push_back(u' ');
    } else {
      out.push_back(u);
    }
  }
  return out.empty() ? std::u16string(u"无") : out;
}

std::u16string StringOf(const nlohmann::json& record, const char* key) {
  const auto it = record.find(key);
  if (it == record.end() || !it->is_string()) return {};
  return FromUtf8(it->get_ref<const std::string&>());
}

struct Skipped {
  std::string where;
  std::string why;
};

struct Import {
  std::vector<std::u16string> lines;
  std::unordered_set<std::u16string> idioms;
  std::vector<Skipped> skipped;
};

// Converts one record; returns why it cannot be written, or nothing.
std::optional<std::string> AddRecord(const nlohmann::json& record, Import& import) {
  if (!record.is_object()) return "不是对象";
  std::u16string word = StringOf(record, "word");
  if (word.empty()) return "缺少 word（成语）";
  word = FieldText(word);
  if (word.find_first_not_of(u'\uFF0C') == std::u16string::npos) return "成语只有全角逗号";
  if (import.idioms.count(word)) return "成语重复";
  const std::u16string pinyin = StringOf(record, "pinyin");
  std::u16string initials = StringOf(record, "abbreviation");
  for (char16_t& u : initials) {
    if (u >= u'A' && u <= u'Z') u = static_cast<char16_t>(u - u'A' + u'a');
  }
  if (initials.empty()) initials = InitialsFromPinyin(pinyin);
  const std::u16string line = word + u'#' + FieldText(initials) + u'#' + FieldText(pinyin) + u'#' +
                              FieldText(StringOf(record, "explanation")) + u'#' +
                              FieldText(StringOf(record, "derivation")) + u'#' +
                              FieldText(StringOf(record, "example"));
  if (CheckLine(line, 0).kind != LoadErrorKind::None) return "无法写成有效的一行";
  std::string bytes;
  if (!EncodeGbk(line, bytes)) return "含有无法编码的字符";
  import.idioms.insert(word);
  import.lines.push_back(line);
  return std::nullopt;
}

std::string ReadAll(const std::filesystem::path& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = static_cast<bool>(in);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// LineAndColumn names a byte offset of `text` as line and column, from 1.
std::string LineAndColumn(const std::string& text, size_t offset) {
  size_t line = 1;
  size_t column = 1;
  for (size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++column;
    }
  }
  return "第 " + std::to_string(line) + " 行第 " + std::to_string(column) + " 列";
}

}  // namespace

int main(int argc, char** argv) {
  bool append = false;
  std::filesystem::path output;
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--append") {
      append = true;
    } else if (arg == "-o" || arg == "--output") {
      if (++i >= argc) return Fail("-o 后面缺少输出文件名");
      output = argv[i];
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Fail("未知选项 " + arg + "\n" + kUsage);
    } else {
      inputs.emplace_back(arg);
    }
  }
  if (output.empty() || inputs.empty()) return Fail(std::string("缺少输出文件或输入文件\n") + kUsage);

  Import import;
  if (append && std::filesystem::exists(output)) {
    const LoadResult existing = LoadIdiomFile(output);
    if (!existing.ok()) {
      return Fail("无法追加：" + output.string() + " 不能加载（第 " + std::to_string(existing.error.line) +
                  " 行：" + existing.error.reason + "）");
    }
    for (int32_t r = 0; r < existing.table.size(); ++r) {
      const IdiomRecord rec = existing.table.record(r);
      std::u16string line;
      for (size_t f = 0; f < rec.Fields.size(); ++f) {
        if (f > 0) line += u'#';
        line += rec.Fields[f];
      }
      import.idioms.insert(std::u16string(rec.Fields[0]));
      import.lines.push_back(std::move(line));
    }
  }
  const size_t kept = import.lines.size();

  for (const std::filesystem::path& input : inputs) {
    bool readable = false;
    const std::string text = ReadAll(input, readable);
    if (!readable) return Fail("无法读取 " + input.string());
    nlohmann::json data;
    try {
      data = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
      return Fail(input.string() + " 不是有效的 JSON（" + LineAndColumn(text, e.byte > 0 ? e.byte - 1 : 0) +
                  "）：" + e.what());
    }
    if (!data.is_array()) return Fail(input.string() + " 的顶层不是数组");
    for (size_t k = 0; k < data.size(); ++k) {
      if (auto why = AddRecord(data[k], import)) {
        std::string where = input.filename().string() + " 第 " + std::to_string(k + 1) + " 条";
        if (data[k].is_object() && data[k].contains("word") && data[k]["word"].is_string() &&
            !data[k]["word"].get_ref<const std::string&>().empty()) {
          where += "（" + data[k]["word"].get<std::string>() + "）";
        }
        import.skipped.push_back({where, *why});
      }
    }
  }

  std::u16string all;
  for (size_t i = 0; i < import.lines.size(); ++i) {
    if (i > 0) all += u"\r\n";
    all += import.lines[i];
  }
  std::string bytes;
  if (!EncodeGbk(all, bytes)) return Fail("无法编码输出");
  const LoadResult check = ParseIdiomText(bytes);
  if (!check.ok()) return Fail("生成的文件不能加载（第 " + std::to_string(check.error.line) + " 行：" + check.error.reason + "）");

  // Write beside the target, then rename over it: no partial file ever.
  const std::filesystem::path temporary = output.string() + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::error_code ec;
      std::filesystem::remove(temporary, ec);
      return Fail("无法写入 " + output.string());
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, output, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    return Fail("无法写入 " + output.string());
  }

  for (const Skipped& s : import.skipped) {
    std::fprintf(stderr, "跳过 %s：%s\n", s.where.c_str(), s.why.c_str());
  }
  std::printf("写入 %zu 个成语（新增 %zu 个），跳过 %zu 个：%s\n", import.lines.size(),
              import.lines.size() - kept, import.skipped.size(), output.string().c_str());
  return 0;
}
