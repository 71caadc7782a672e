// tessaly-find: runs one search of the idiom finder from the command line
// and prints what the window would list.
//
//   tessaly-find [--data FILE] [--mode MODE] [--json] [--count] QUERY
//
// MODE is one of the five searches of the window's buttons (precise, fuzzy,
// mixed, meaning, source) or of its menu 更多查找 (pinyin, pattern, chain,
// folded).
//   tessaly-find --check [--strict] FILE
//
// Exit status as grep's: 0 when there are hits, 1 when there are none, 2 on
// an error.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "data_check.h"
#include "idiom_file.h"
#include "program_folder.h"
#include "query.h"
#include "result_filler.h"
#include "search_engine.h"
#include "tessaly_version.h"
#include "text.h"

namespace {

using namespace tessaly;

constexpr int kExitHits = 0;
constexpr int kExitNoHits = 1;

constexpr char kUsage[] =
    "用法：tessaly-find [--data 文件] [--mode 方式] [--json] [--count] 查询\n"
    "      tessaly-find --check [--strict] 文件\n";

constexpr char kHelp[] =
    "在成语文件 cy.dat 中查找，输出与窗口列表相同的成语，每行一个，按文件顺序。\n"
    "查询与窗口的查询框相同：多个关键字用空格（半角或全角）分开，任一关键字\n"
    "找到即算命中；大写转为小写，？ ? 。 . 都当作 *。\n"
    "\n"
    "查找方式（--mode）：\n"
    "  precise  精确查找（默认），关键字的形式决定规则：\n"
    "             天地      成语中含有“天地”\n"
    "             *心*意    * 代表一个字，成语可更长：一心一意\n"
    "             *****     只有 *：所有五个字的成语；单个 * 列出全部\n"
    "             ysys      拼音首字母开头：一生一世\n"
    "             *hszyt    首字母中任意位置：做一天和尚，撞一天钟\n"
    "  fuzzy    顺序模糊：关键字的字按顺序出现，不必相邻        例：一意 → 一心一意\n"
    "  mixed    混和：关键字的每个字都出现，顺序不限            例：意一 → 一心一意\n"
    "  meaning  释义中含有关键字                                例：塌下来\n"
    "  source   出处中含有关键字                                例：岳阳楼记\n"
    "  pinyin   全拼（可不带声调）：从某个音节开始连续相同，可止于音节中间；\n"
    "           音节后的数字 1–5（0 为轻声）要求该音节的声调，' 要求音节在此结束\n"
    "                                                           例：yixinyiyi、yi1xin1、xi'an\n"
    "  pattern  结构：字数相同，小写字母代表一个字（同字母同字、异字母异字），\n"
    "           * 代表任意字，其他字照原样                      例：aabb、abac、一a一b\n"
    "  chain    成语接龙：以第一个关键字的最后一个字开头的成语；没有时，若它是\n"
    "           词库中的成语，则接同音（末字拼音）开头的成语      例：一心一意\n"
    "  folded   简繁通查：同 precise，但繁体与简体一律按简体比较  例：愛不釋手\n"
    "\n"
    "选项：\n"
    "      --data 文件    成语文件（默认：程序所在文件夹中的 cy.dat）\n"
    "      --mode 方式    查找方式，见上\n"
    "      --count        只输出命中数（“共查到 n 个成语！”）\n"
    "      --json         输出一个 JSON 对象：normalized、keywords、label、notice、hits、rows\n"
    "      --check 文件   检查成语文件能否加载，列出每个有问题的行\n"
    "      --strict       与 --check 同用：对能加载的文件逐行严格检查：首字母与拼音、\n"
    "                     汉语拼音音节与声调位置、音节数与字数、重复的成语、没有内容的字段；\n"
    "                     最后按类统计，发现问题时退出状态为 1\n"
    "      --help         显示本帮助\n"
    "      --version      显示版本\n"
    "  选项也可写成 --mode=fuzzy；-- 之后的参数都当作查询。\n"
    "\n"
    "成语文件：GBK（或 UTF-8）文本，每行一个成语，字段以 # 分隔：\n"
    "  成语#拼音首字母#拼音#释义#出处#示例\n"
    "\n"
    "退出状态：0 有命中（--check：文件可以加载）；1 没有命中（--check：文件有问题）；\n"
    "          2 出错（查询为空、选项错误、文件不能加载、写入标准输出失败）。\n";

struct Options {
  std::filesystem::path data;
  SearchMode mode = SearchMode::Precise;
  bool json = false;
  bool count = false;
  std::optional<std::u16string> query;
  std::string queryBytes;  // the query as given, for --check's file name
  bool strict = false;
};

std::optional<SearchMode> ParseMode(std::string_view name) {
  if (name == "precise") return SearchMode::Precise;
  if (name == "fuzzy") return SearchMode::Fuzzy;
  if (name == "mixed") return SearchMode::Mixed;
  if (name == "meaning") return SearchMode::Meaning;
  if (name == "source") return SearchMode::Source;
  if (name == "pinyin") return SearchMode::Pinyin;
  if (name == "pattern") return SearchMode::Pattern;
  if (name == "chain") return SearchMode::Chain;
  if (name == "folded") return SearchMode::Folded;
  return std::nullopt;
}

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  for (char c : ToUtf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

std::string LoadFailure(const std::filesystem::path& path, const Error& error) {
  std::string message = "加载成语文件 cy.dat 失败！ " + path.string();
  if (error.line > 0) message += " 第 " + std::to_string(error.line) + " 行";
  message += "：" + error.reason;
  return message;
}

int Search(Console& console, const Options& options) {
  const std::filesystem::path path = options.data.empty() ? ProgramFolder() / "cy.dat" : options.data;
  const Result<IdiomTable> loaded = LoadIdiomFile(path);
  if (!loaded.ok()) {
    console.error(LoadFailure(path, loaded.error()));
    return console.finish(kExitError);
  }
  const Result<Query> check = CheckQuery(*options.query);
  if (!check.ok()) {
    console.error(check.error().reason);
    return console.finish(kExitError);
  }

  const IdiomTable& table = *loaded;
  IdiomViews views;
  if (const Error e = PrepareViews(views, table, options.mode); !e.ok()) {
    console.error(e.reason);
    return console.finish(kExitError);
  }
  const Result<SearchOutcome> searched = RunSearch(table, views, check->keywords, options.mode);
  if (!searched.ok()) {
    console.error(searched.error().reason);
    return console.finish(kExitError);
  }
  const SearchOutcome& outcome = *searched;
  ResultRows rows;
  ResultFiller filler;
  filler.start(outcome.FillBatch);
  while (filler.active()) filler.step(outcome.Matched, rows);

  const int status = outcome.hitCount > 0 ? kExitHits : kExitNoHits;
  if (options.json) {
    std::string out = "{\"normalized\":" + JsonString(check->text) + ",\"keywords\":[";
    for (size_t k = 0; k < check->keywords.size(); ++k) {
      if (k > 0) out += ',';
      out += JsonString(check->keywords[k]);
    }
    out += "],\"label\":" + JsonString(outcome.label) + ",\"notice\":";
    out += outcome.notice ? JsonString(*outcome.notice) : "null";
    out += ",\"hits\":" + std::to_string(outcome.hitCount) + ",\"rows\":[";
    for (size_t r = 0; r < rows.size(); ++r) {
      if (r > 0) out += ',';
      out += JsonString(table.field(rows[r], Field::Idiom));
    }
    out += "]}\n";
    console.out(out);
    return console.finish(status);
  }
  if (outcome.notice) console.error(ToUtf8(*outcome.notice));
  if (options.count) {
    console.out(ToUtf8(outcome.label) + "\n");
    return console.finish(status);
  }
  std::string out;
  for (int32_t row : rows) {
    out += ToUtf8(table.field(row, Field::Idiom));
    out += '\n';
  }
  console.out(out);
  return console.finish(status);
}

// StrictCheck lists, for a table that loads, every fault of every line, and
// a count per kind. Exits 0 only when there is none.
int StrictCheck(Console& console, const std::filesystem::path& path, const IdiomTable& table) {
  const Result<StrictCounts> report = ReportRecords(table, [&](std::string_view lines) { console.out(lines); });
  if (!report.ok()) {
    console.error(path.string() + "：" + report.error().reason);
    return console.finish(kExitError);
  }
  const StrictCounts& counts = *report;
  int64_t findings = 0;
  for (int64_t n : counts) findings += n;
  std::string out = path.string() + "：可以加载，共 " + std::to_string(table.size()) + " 个成语";
  if (findings == 0) {
    out += "，严格检查没有发现问题\n";
  } else {
    out += "；严格检查发现 " + std::to_string(findings) + " 处问题：";
    for (int k = 0; k < kFindingKinds; ++k) {
      if (k > 0) out += "，";
      out += std::string(FindingName(static_cast<FindingKind>(k))) + " " + std::to_string(counts[static_cast<size_t>(k)]);
    }
    out += "\n";
  }
  console.out(out);
  return console.finish(findings == 0 ? 0 : 1);
}

// CheckFile lists every line of `path` that would stop the load, with its
// number, the reason and the start of the line; with `strict`, for a file
// that loads, every fault StrictCheck finds. Exits 0 only for a file that
// loads (without faults).
int CheckFile(Console& console, const std::filesystem::path& path, bool strict) {
  const Result<IdiomTable> loaded = LoadIdiomFile(path);
  if (loaded.ok() && !strict) {
    console.out(path.string() + "：可以加载，共 " + std::to_string(loaded->size()) + " 个成语\n");
    return console.finish(0);
  }
  if (loaded.ok()) return StrictCheck(console, path, *loaded);
  if (loaded.error().line == 0) {
    // The file as a whole: missing, not a file, too large, out of memory.
    console.out(LoadFailure(path, loaded.error()) + "\n");
    return console.finish(1);
  }
  // Only a file that fails is read again, to list every faulty line as it
  // is found.
  std::string out;
  const Result<int64_t> problems = CheckIdiomFile(path, [&](const LineProblem& p) {
    if (p.error.line > 0) out += "第 " + std::to_string(p.error.line) + " 行：";
    out += p.error.reason;
    if (!p.start.empty()) {
      out += "：";
      AppendUtf8(out, p.start);
    }
    out += '\n';
    if (out.size() >= (size_t{1} << 16)) {
      console.out(out);
      out.clear();
    }
  });
  if (!problems.ok()) {
    console.out(out + LoadFailure(path, problems.error()) + "\n");
    return console.finish(1);
  }
  out += path.string() + "：" + std::to_string(*problems) + " 行有问题，文件不能加载\n";
  console.out(out);
  return console.finish(1);
}

}  // namespace

int main(int argc, char** argv) {
  Console console("tessaly-find");
  auto fail = [&](const std::string& message) {
    console.error(message);
    return console.finish(kExitError);
  };
  Options options;
  bool checking = false;
  std::optional<std::filesystem::path> check;
  Arguments args(argc, argv);
  while (const auto arg = args.next()) {
    if (arg->name.empty()) {
      if (options.query) return fail("只能有一个查询；含空格的查询请加引号");
      options.query = console.argument(arg->operand);
      options.queryBytes = std::string(arg->operand);
    } else if (arg->name == "--data") {
      const auto v = args.value(*arg);
      if (!v || v->empty()) return fail("--data 后面缺少文件名");
      options.data = std::string(*v);
    } else if (arg->name == "--mode") {
      const auto v = args.value(*arg);
      const auto mode = v ? ParseMode(*v) : std::nullopt;
      if (!mode) return fail("--mode 只能是 precise、fuzzy、mixed、meaning、source、pinyin、pattern、chain 或 folded");
      options.mode = *mode;
    } else if (arg->name == "--json" && !arg->attached) {
      options.json = true;
    } else if (arg->name == "--count" && !arg->attached) {
      options.count = true;
    } else if (arg->name == "--strict" && !arg->attached) {
      options.strict = true;
    } else if (arg->name == "--check") {
      // The file may follow at once or after --strict: --check FILE,
      // --check --strict FILE, --check=FILE.
      checking = true;
      if (arg->attached) check = std::filesystem::path(std::string(*arg->attached));
    } else if ((arg->name == "--help" || arg->name == "-h") && !arg->attached) {
      console.out(std::string(kUsage) + "\n" + kHelp);
      return console.finish(0);
    } else if (arg->name == "--version" && !arg->attached) {
      console.out(std::string("tessaly-find (") + kProductName + ") " + kVersionString + "\n");
      return console.finish(0);
    } else {
      return fail("未知选项 " + std::string(arg->name) + "\n" + kUsage);
    }
  }
  if (options.strict && !checking) return fail("--strict 只能与 --check 一起使用");
  if (checking) {
    if (!check && options.query) check = std::filesystem::path(options.queryBytes);
    if (!check || check->empty()) return fail("--check 后面缺少文件名");
    return CheckFile(console, *check, options.strict);
  }
  if (!options.query) return fail(std::string("缺少查询\n") + kUsage);
  return Search(console, options);
}
