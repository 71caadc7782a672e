// tessaly-import: turns public idiom data in the common JSON format into a
// cy.dat that loads.
//
//   tessaly-import [--append] [--allow-empty] [--strict] -o cy.dat idioms.json [more.json ...]
//
// The output is replaced only when everything went well, and then safely:
// a failed import leaves the old file byte for byte as it was.
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "command_line.h"
#include "data_check.h"
#include "file_io.h"
#include "idiom_file.h"
#include "importer.h"
#include "tessaly_version.h"

namespace {

using namespace tessaly;

constexpr char kUsage[] = "用法：tessaly-import [选项] -o 输出文件 输入.json [更多.json ...]\n";

constexpr char kHelp[] =
    "把常见 JSON 格式的公开成语数据（对象数组，字段 word、pinyin、abbreviation、\n"
    "explanation、derivation、example）转换为 Tessaly 的成语文件 cy.dat（GBK，CR LF）。\n"
    "\n"
    "  -o, --output 文件   要写入的 cy.dat；先写入同一文件夹中的临时文件，全部成功后\n"
    "                      才替换原文件，失败时原文件保持不变\n"
    "      --append        保留输出文件中已有的成语，在其后追加\n"
    "      --allow-empty   允许写入不含任何成语的文件（默认拒绝）\n"
    "      --strict        对新写入的成语做严格检查（同 tessaly-find --check --strict），\n"
    "                      跳过有问题的成语并说明原因\n"
    "      --help          显示本帮助\n"
    "      --version       显示版本\n"
    "\n"
    "输入文件为 - 时读取标准输入。多个输入按顺序合并，同一成语只保留第一次出现；\n"
    "无法写入的记录（缺少成语、重复、含 GBK 以外的字符等）逐条列在标准错误上。\n"
    "\n"
    "例：tessaly-import -o cy.dat idiom.json\n"
    "\n"
    "退出状态：0 写入成功；2 出错（选项、输入、无可写入的成语、写入失败），输出文件不变。\n";

int Fail(Console& console, const std::string& message) {
  console.error(message);
  return console.finish(kExitError);
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

// Whether `path` names nothing at all (a dangling link names something).
bool Absent(const std::filesystem::path& path) {
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(path, ec);
  return status.type() == std::filesystem::file_type::not_found;
}

}  // namespace

int main(int argc, char** argv) {
  Console console("tessaly-import");
  // A file-size limit must end in a reported write error, not a silent kill
  // that leaves a temporary file behind.
#if defined(SIGXFSZ)
  std::signal(SIGXFSZ, SIG_IGN);
#endif

  bool append = false;
  bool allowEmpty = false;
  bool strict = false;
  std::filesystem::path output;
  std::vector<std::filesystem::path> inputs;
  Arguments args(argc, argv);
  while (const auto arg = args.next()) {
    if (arg->name.empty()) {
      inputs.emplace_back(std::string(arg->operand));
    } else if (arg->name == "--append" && !arg->attached) {
      append = true;
    } else if (arg->name == "--allow-empty" && !arg->attached) {
      allowEmpty = true;
    } else if (arg->name == "--strict" && !arg->attached) {
      strict = true;
    } else if (arg->name == "-o" || arg->name == "--output") {
      const auto v = args.value(*arg);
      if (!v || v->empty()) return Fail(console, "-o 后面缺少输出文件名");
      output = std::string(*v);
    } else if (arg->name == "--help" || arg->name == "-h") {
      console.out(std::string(kUsage) + kHelp);
      return console.finish(0);
    } else if (arg->name == "--version") {
      console.out(std::string("tessaly-import (") + kProductName + ") " + kVersionString + "\n");
      return console.finish(0);
    } else {
      return Fail(console, "未知选项 " + std::string(arg->name) + "\n" + kUsage);
    }
  }
  if (output.empty() || inputs.empty()) return Fail(console, std::string("缺少输出文件或输入文件\n") + kUsage);
  for (const std::filesystem::path& input : inputs) {
    if (input != "-" && SameFile(input, output)) {
      return Fail(console, "输出文件 " + output.string() + " 与输入文件是同一个文件，不能覆盖输入");
    }
  }

  Importer importer;
  if (append) {
    Result<IdiomTable> existing = LoadIdiomFile(output);
    if (!existing.ok() && existing.error().kind == ErrorKind::CannotOpen && Absent(output)) existing = IdiomTable();
    if (!existing.ok()) {
      const Error& e = existing.error();
      return Fail(console, "无法追加：" + output.string() + " 不能加载（" +
                               (e.line > 0 ? "第 " + std::to_string(e.line) + " 行：" : "") + e.reason + "）");
    }
    importer.keepTable(*existing);
  }
  const size_t kept = importer.lineCount();

  for (const std::filesystem::path& input : inputs) {
    const std::string name = input == "-" ? "标准输入" : input.string();
    const Result<std::string> text = ReadWholeFile(input);
    if (!text.ok()) return Fail(console, "无法读取 " + name + "：" + text.error().reason);
    if (const Error e = importer.addJson(*text, input == "-" ? name : input.filename().string()); !e.ok()) {
      return Fail(console, e.reason);
    }
  }

  if (strict) {
    // The strict check of tessaly-find --check --strict, on what this
    // import adds: a suspect record is skipped with what is wrong with it.
    const Result<IdiomTable> taken = ParseIdiomText(importer.fileBytes());
    if (!taken.ok()) return Fail(console, "无法检查：" + taken.error().reason);
    std::vector<std::pair<size_t, std::string>> reasons;
    const Result<StrictCounts> checked = CheckRecords(*taken, [&](const Finding& f) {
      if (static_cast<size_t>(f.record) < kept) return;  // what was there stays
      reasons.emplace_back(static_cast<size_t>(f.record),
                           std::string("严格检查：") + FindingName(f.kind) + "：" + Describe(f, *taken));
    });
    if (!checked.ok()) return Fail(console, "无法检查：" + checked.error().reason);
    importer.drop(reasons, kept);
  }
  for (const Importer::Skipped& s : importer.skipped()) console.error("跳过 " + s.where + "：" + s.why);
  if (importer.lineCount() == 0 && !allowEmpty) {
    return Fail(console, "没有可写入的成语，" + output.string() +
                             " 保持不变（确要写入空文件时请加 --allow-empty）");
  }
  const std::string bytes = importer.fileBytes();
  // What is written must load: the importer never produces a broken file.
  if (const Result<IdiomTable> check = ParseIdiomText(bytes); !check.ok()) {
    return Fail(console, "生成的文件不能加载（第 " + std::to_string(check.error().line) + " 行：" + check.error().reason + "）");
  }
  if (const Error e = WriteFileSafely(output, bytes); !e.ok()) {
    return Fail(console, e.reason + "；" + output.string() + " 保持不变");
  }
  console.out("写入 " + std::to_string(importer.lineCount()) + " 个成语（新增 " +
              std::to_string(importer.lineCount() - kept) + " 个），跳过 " +
              std::to_string(importer.skipped().size()) + " 个：" + output.string() + "\n");
  return console.finish(0);
}
