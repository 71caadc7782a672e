// tessaly-find: runs one search of the idiom finder from the command line
// and prints what the window would list.
//
//   tessaly-find [--data FILE] [--mode precise|fuzzy|mixed|meaning|source]
//                [--json] [--count] QUERY
//
// Exit status as grep's: 0 when there are hits, 1 when there are none, 2 on
// an error.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "idiom_table.h"
#include "query.h"
#include "result_filler.h"
#include "search_engine.h"
#include "text.h"

namespace {

using namespace tessaly;

constexpr int kExitHits = 0;
constexpr int kExitNoHits = 1;
constexpr int kExitError = 2;

constexpr char kUsage[] =
    "用法：tessaly-find [--data 文件] [--mode precise|fuzzy|mixed|meaning|source] "
    "[--json] [--count] 查询\n"
    "      tessaly-find --check 文件\n";

struct Options {
  std::filesystem::path data;
  SearchMode mode = SearchMode::Precise;
  bool json = false;
  bool count = false;
  std::optional<std::string> query;
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "tessaly-find: %s\n", message.c_str());
  return kExitError;
}

std::optional<SearchMode> ParseMode(std::string_view name) {
  if (name == "precise") return SearchMode::Precise;
  if (name == "fuzzy") return SearchMode::Fuzzy;
  if (name == "mixed") return SearchMode::Mixed;
  if (name == "meaning") return SearchMode::Meaning;
  if (name == "source") return SearchMode::Source;
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

std::string LoadFailure(const std::filesystem::path& path, const LoadError& error) {
  std::string message = "加载成语文件 cy.dat 失败！ " + path.string();
  if (error.line > 0) message += " 第 " + std::to_string(error.line) + " 行";
  message += "：" + error.reason;
  return message;
}

// CheckFile lists every line of `path` that would stop the load, with its
// number, the reason and the start of the line. Exits 0 only for a file that
// loads.
int CheckFile(const std::filesystem::path& path);

int Run(const Options& options) {
  const std::filesystem::path path =
      options.data.empty() ? ProgramFolder() / "cy.dat" : options.data;
  const LoadResult loaded = LoadIdiomFile(path);
  if (!loaded.ok()) return Fail(LoadFailure(path, loaded.error));

  const QueryCheck check = CheckQuery(FromUtf8(*options.query));
  if (!check.ok) return Fail("查询为空：没有可查找的关键字");

  const IdiomTable& table = loaded.table;
  const SearchOutcome outcome = RunSearch(table, check.keywords, options.mode);
  ResultRows rows;
  ResultFiller filler;
  filler.start(outcome.FillBatch);
  while (filler.active()) filler.step(outcome.Matched, rows);

  const int status = outcome.hitCount > 0 ? kExitHits : kExitNoHits;
  if (options.json) {
    std::string out = "{\"normalized\":" + JsonString(check.text) + ",\"keywords\":[";
    for (size_t k = 0; k < check.keywords.size(); ++k) {
      if (k > 0) out += ',';
      out += JsonString(check.keywords[k]);
    }
    out += "],\"label\":" + JsonString(outcome.label) + ",\"notice\":";
    out += outcome.notice ? JsonString(*outcome.notice) : "null";
    out += ",\"hits\":" + std::to_string(outcome.hitCount) + ",\"rows\":[";
    for (size_t r = 0; r < rows.size(); ++r) {
      if (r > 0) out += ',';
      out += JsonString(table.field(rows[r], 0));
    }
    out += "]}\n";
    std::fputs(out.c_str(), stdout);
    return status;
  }
  if (outcome.notice) std::fprintf(stderr, "%s\n", ToUtf8(*outcome.notice).c_str());
  if (options.count) {
    std::printf("%s\n", ToUtf8(outcome.label).c_str());
    return status;
  }
  std::string out;
  for (int32_t row : rows) {
    out += ToUtf8(table.field(row, 0));
    out += '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return status;
}

int CheckFile(const std::filesystem::path& path) {
  std::string bytes;
  const LoadError readError = ReadFileBytes(path, bytes);
  if (readError.kind != LoadErrorKind::None) {
    std::printf("%s\n", LoadFailure(path, readError).c_str());
    return 1;
  }
  const LoadResult loaded = ParseIdiomText(bytes);
  if (loaded.ok()) {
    std::printf("%s：可以加载，共 %d 个成语\n", path.string().c_str(), loaded.table.size());
    return 0;
  }
  // Only a file that fails is read again, to find every faulty line.
  const std::vector<LineProblem> problems = CheckIdiomText(bytes);
  for (const LineProblem& p : problems) {
    std::string line = p.error.line > 0 ? "第 " + std::to_string(p.error.line) + " 行：" : "";
    line += p.error.reason;
    if (!p.start.empty()) line += "：" + ToUtf8(p.start);
    std::printf("%s\n", line.c_str());
  }
  std::printf("%s：%zu 行有问题，文件不能加载\n", path.string().c_str(), problems.size());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::optional<std::filesystem::path> check;
  bool endOfOptions = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&]() -> std::optional<std::string_view> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string_view(argv[++i]);
    };
    if (!endOfOptions && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") {
        endOfOptions = true;
      } else if (arg == "--data") {
        const auto v = value();
        if (!v) return Fail("--data 后面缺少文件名");
        options.data = std::filesystem::path(std::string(*v));
      } else if (arg == "--mode") {
        const auto v = value();
        const auto mode = v ? ParseMode(*v) : std::nullopt;
        if (!mode) return Fail("--mode 只能是 precise、fuzzy、mixed、meaning 或 source");
        options.mode = *mode;
      } else if (arg == "--json") {
        options.json = true;
      } else if (arg == "--count") {
        options.count = true;
      } else if (arg == "--check") {
        const auto v = value();
        if (!v) return Fail("--check 后面缺少文件名");
        check = std::filesystem::path(std::string(*v));
      } else if (arg == "--help" || arg == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
      } else {
        return Fail("未知选项 " + std::string(arg) + "\n" + kUsage);
      }
      continue;
    }
    if (options.query) return Fail("只能有一个查询；含空格的查询请加引号");
    options.query = std::string(arg);
  }
  if (check) return CheckFile(*check);
  if (!options.query) return Fail(std::string("缺少查询\n") + kUsage);
  return Run(options);
}
