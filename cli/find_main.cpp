// tessaly-find: the searches of the idiom finder from the command line.
//
//   tessaly-find [OPTION]... QUERY
//   tessaly-find [OPTION]... -f FILE
//   tessaly-find --check [--strict] FILE
//
// Prints what the window would list, one idiom per line; with --show every
// entry in full. Exit status as grep's: 0 when something was found, 1 when
// nothing was, 2 on an error.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "command_line.h"
#include "data_check.h"
#include "data_location.h"
#include "file_io.h"
#include "idiom_file.h"
#include "query.h"
#include "result_filler.h"
#include "search_engine.h"
#include "searches.h"
#include "text.h"

namespace {

using namespace tessaly;

constexpr int kExitHits = 0;
constexpr int kExitNoHits = 1;

// SearchesHelp lists every search with what --help says of it: its name,
// then its text, each further line of it indented under the first.
std::string SearchesHelp() {
  std::string out;
  for (const SearchKind* kind : Searches()) {
    std::string name(kind->name);
    name.resize(std::max<size_t>(name.size() + 1, 9), ' ');
    out += "  " + name;
    const std::string_view help = TR(kind->help);
    for (size_t at = 0; at < help.size();) {
      const size_t end = std::min(help.find('\n', at), help.size());
      if (at > 0) out += "           ";
      out += help.substr(at, end - at);
      out += '\n';
      at = end + 1;
    }
  }
  return out;
}

// SearchNames returns the searches' names for a message: "a, b or c".
std::string SearchNames() {
  std::string names;
  const auto searches = Searches();
  for (size_t i = 0; i < searches.size(); ++i) {
    if (i > 0) names += i + 1 == searches.size() ? TR(" or ") : ", ";
    names += searches[i]->name;
  }
  return names;
}

void PrintHelp(Console& console) {
  console.out(Format(TR("Usage: %s [OPTION]... QUERY\n"
                       "  or:  %s [OPTION]... -f FILE\n"
                       "  or:  %s --check [--strict] FILE\n"),
                     {console.program(), console.program(), console.program()}));
  console.out(TR(
      "Search the idiom table (cy.dat) as the Tessaly window does and print the\n"
      "idioms found, one per line, in the order of the table.\n"
      "\n"
      "The query is read as the window's query box reads it: keywords separated by\n"
      "spaces (ASCII or ideographic), a record found when any one keyword matches;\n"
      "upper case is lowered, and ？ ? 。 . stand for *.\n"
      "\n"
      "Searches (--mode):\n"));
  console.out(SearchesHelp());
  console.out(TR(
      "\n"
      "Options:\n"
      "  -d, --data=FILE    read the idiom table from FILE\n"
      "  -m, --mode=MODE    the search (see above)\n"
      "  -f, --file=FILE    read one query per line from FILE (- for standard input)\n"
      "                     and answer each in turn\n"
      "  -s, --show         print every idiom found in full: pinyin, meaning, source,\n"
      "                     example, other written forms, near and opposite idioms\n"
      "  -c, --count        print only the number of idioms found\n"
      "  -j, --json         print one JSON object per query (UTF-8 in every locale)\n"
      "  -w, --where        print which idiom table is read, and why, and exit\n"
      "      --check[=FILE] tell whether FILE loads; list every line that stops it\n"
      "      --strict       with --check: check every line of a table that loads\n"
      "                     (initials, syllables and readings, tone marks, duplicates,\n"
      "                     examples, sources, near and opposite idioms)\n"
      "  -h, --help         display this help and exit\n"
      "  -V, --version      output version information and exit\n"
      "\n"
      "The idiom table is FILE of --data, else the file TESSALY_DATA names, else the\n"
      "user's table $XDG_DATA_HOME/tessaly/cy.dat (~/.local/share/tessaly/cy.dat)\n"
      "when it exists, else cy.dat beside the program: GBK (or UTF-8) text, one\n"
      "idiom per line, fields separated by #:\n"
      "  idiom#initials#pinyin#meaning#source#example[#variants#near#opposite]\n"
      "\n"
      "Exit status: 0 when an idiom was found (--check: the file loads), 1 when none\n"
      "was (--check: it does not), 2 on an error.\n"));
}

struct Options {
  std::filesystem::path data;
  SearchMode mode = SearchMode::Precise;
  bool show = false;
  bool count = false;
  bool json = false;
  bool where = false;
  bool check = false;
  bool strict = false;
  std::optional<std::filesystem::path> checkFile;
  std::optional<std::string> queryFile;
  std::vector<std::string> operands;
};

// The message for a table that does not load.
std::string LoadFailure(const Console& console, const std::filesystem::path& path, const Error& error) {
  return Format(TR("cannot load the idiom table %s"), {ErrorText(error, console.name(path))});
}

std::vector<std::string> Names(std::u16string_view list) {
  std::vector<std::string> names;
  while (!list.empty()) {
    const size_t end = list.find(kListSeparator);
    if (end != 0) names.push_back(ToUtf8(list.substr(0, end)));
    if (end == std::u16string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return names;
}

// Entry is one record in full, as the window's detail pane shows it, a
// heading and its text a line.
std::string Entry(const IdiomTable& table, int32_t i) {
  std::string out;
  AppendUtf8(out, table.field(i, Field::Idiom));
  out += '\n';
  const std::pair<const char*, std::u16string_view> lines[] = {
      {N_("Pinyin"), table.field(i, Field::Pinyin)},      {N_("Meaning"), table.field(i, Field::Meaning)},
      {N_("Source"), table.field(i, Field::Source)},      {N_("Example"), table.field(i, Field::Example)},
      {N_("Variants"), table.extra(i, kVariantsField)},  {N_("Near"), table.extra(i, kNearField)},
      {N_("Opposite"), table.extra(i, kOppositeField)}};
  for (const auto& [heading, text] : lines) {
    if (text.empty()) continue;  // the lists, where the record has none
    out += Format(TR("%s: "), {TR(heading)});
    AppendUtf8(out, text);
    out += '\n';
  }
  return out;
}

nlohmann::json Row(const IdiomTable& table, int32_t i) {
  return {{"idiom", ToUtf8(table.field(i, Field::Idiom))},
          {"initials", ToUtf8(table.field(i, Field::Initials))},
          {"pinyin", ToUtf8(table.field(i, Field::Pinyin))},
          {"meaning", ToUtf8(table.field(i, Field::Meaning))},
          {"source", ToUtf8(table.field(i, Field::Source))},
          {"example", ToUtf8(table.field(i, Field::Example))},
          {"variants", Names(table.extra(i, kVariantsField))},
          {"near", Names(table.extra(i, kNearField))},
          {"opposite", Names(table.extra(i, kOppositeField))}};
}

// Searcher answers queries over one loaded table.
class Searcher {
 public:
  Searcher(Console& console, const Options& options, const IdiomTable& table, IdiomViews& views)
      : m_console(console), m_options(options), m_table(table), m_views(views) {}

  // answer runs `typed` and writes what it found. Returns the exit status
  // of this query alone.
  int answer(std::string_view typed) {
    const Result<Query> query = CheckQuery(m_console.argument(typed));
    if (!query.ok()) {
      m_console.error(TR("empty query: nothing to search for"));
      return kExitError;
    }
    const Result<SearchOutcome> searched = RunSearch(m_table, m_views, query->keywords, m_options.mode);
    if (!searched.ok()) {
      m_console.error(searched.error().reason);
      return kExitError;
    }
    const SearchOutcome& outcome = *searched;
    ResultRows rows;
    ResultFiller filler;
    filler.start(outcome.FillBatch);
    while (filler.active()) filler.step(outcome.Matched, rows);

    if (m_options.json) {
      nlohmann::json found = nlohmann::json::array();
      for (int32_t row : rows) found.push_back(Row(m_table, row));
      const nlohmann::json object = {
          {"query", ToUtf8(m_console.argument(typed))},
          {"normalized", ToUtf8(query->text)},
          {"keywords", [&] {
             nlohmann::json k = nlohmann::json::array();
             for (const std::u16string& keyword : query->keywords) k.push_back(ToUtf8(keyword));
             return k;
           }()},
          {"label", ToUtf8(outcome.label)},
          {"notice", outcome.notice ? nlohmann::json(ToUtf8(*outcome.notice)) : nlohmann::json(nullptr)},
          {"hits", outcome.hitCount},
          {"rows", found}};
      // JSON is UTF-8 whatever the locale; a text that is not valid UTF-8
      // is mended, never a reason to stop.
      m_console.outBytes(object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
    } else {
      if (outcome.notice) m_console.error(ToUtf8(*outcome.notice));
      if (m_options.count) {
        m_console.out(std::to_string(outcome.hitCount) + "\n");
      } else if (m_options.show) {
        std::string out;
        for (int32_t row : rows) {
          if (m_entries++ > 0) out += '\n';
          out += Entry(m_table, row);
          flush(out);
        }
        m_console.out(out);
      } else {
        std::string out;
        for (int32_t row : rows) {
          AppendUtf8(out, m_table.field(row, Field::Idiom));
          out += '\n';
          flush(out);
        }
        m_console.out(out);
      }
    }
    return outcome.hitCount > 0 ? kExitHits : kExitNoHits;
  }

 private:
  // flush writes what has gathered once it is large: a long list is never
  // held whole.
  void flush(std::string& out) {
    if (out.size() < (size_t{1} << 16)) return;
    m_console.out(out);
    out.clear();
  }

  Console& m_console;
  const Options& m_options;
  const IdiomTable& m_table;
  IdiomViews& m_views;
  int m_entries = 0;  // entries shown so far: a blank line goes between two
};

int Search(Console& console, const Options& options) {
  const DataLocation data = FindDataFile(options.data);
  const Result<IdiomTable> loaded = LoadIdiomFile(data.path);
  if (!loaded.ok()) {
    console.error(LoadFailure(console, data.path, loaded.error()));
    return console.finish(kExitError);
  }
  IdiomViews views;
  if (const Error e = PrepareViews(views, *loaded, options.mode); !e.ok()) {
    console.error(e.reason);
    return console.finish(kExitError);
  }
  Searcher searcher(console, options, *loaded, views);
  if (!options.queryFile) return console.finish(searcher.answer(options.operands[0]));

  // One query a line, each answered in turn: 0 when any found something,
  // as grep -f. A blank line asks nothing.
  Result<std::string> text = ReadWholeFile(*options.queryFile == "-" ? "-" : *options.queryFile);
  if (!text.ok()) {
    const std::string name = *options.queryFile == "-" ? std::string(TR("standard input")) : console.name(*options.queryFile);
    console.error(Format(TR("cannot read %s"), {ErrorText(text.error(), name)}));
    return console.finish(kExitError);
  }
  int status = kExitNoHits;
  bool error = false;
  for (const std::string_view line : SplitLines(std::string_view(*text))) {
    if (console.failed()) break;
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    const int answered = searcher.answer(line);
    if (answered == kExitHits) status = kExitHits;
    error = error || answered == kExitError;
  }
  return console.finish(error && status != kExitHits ? kExitError : status);
}

// StrictCheck lists, for a table that loads, every fault of every line, and
// a count per kind. Exits 0 only when there is none.
int StrictCheck(Console& console, const std::filesystem::path& path, const IdiomTable& table) {
  const Result<StrictCounts> report = ReportRecords(table, [&](std::string_view lines) { console.out(lines); });
  if (!report.ok()) {
    console.error(Format(TR("cannot check %s"), {ErrorText(report.error(), console.name(path))}));
    return console.finish(kExitError);
  }
  int64_t findings = 0;
  for (int64_t n : *report) findings += n;
  std::string out = Format(TR("%s: loads, %s idioms"), {console.name(path), std::to_string(table.size())});
  if (findings == 0) {
    out += TR("; the strict check found nothing\n");
  } else {
    std::string kinds;
    for (int k = 0; k < kFindingKinds; ++k) {
      if (k > 0) kinds += TR(", ");
      kinds += Format(TR("%s %s"), {FindingName(static_cast<FindingKind>(k)),
                                   std::to_string((*report)[static_cast<size_t>(k)])});
    }
    out += Format(TR("; the strict check found %s faults: %s\n"), {std::to_string(findings), kinds});
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
    console.out(Format(TR("%s: loads, %s idioms\n"), {console.name(path), std::to_string(loaded->size())}));
    return console.finish(0);
  }
  if (loaded.ok()) return StrictCheck(console, path, *loaded);
  if (loaded.error().line == 0) {
    // The file as a whole: missing, not a file, too large, out of memory.
    console.out(LoadFailure(console, path, loaded.error()) + "\n");
    return console.finish(1);
  }
  // Only a file that fails is read again, to list every faulty line as it
  // is found.
  std::string out;
  const Result<int64_t> problems = CheckIdiomFile(path, [&](const LineProblem& p) {
    out += Format(TR("line %s: %s"), {std::to_string(p.error.line), p.error.reason});
    if (!p.start.empty()) {
      out += TR(": ");
      AppendUtf8(out, p.start);
    }
    out += '\n';
    if (out.size() >= (size_t{1} << 16)) {
      console.out(out);
      out.clear();
    }
  });
  if (!problems.ok()) {
    console.out(out + LoadFailure(console, path, problems.error()) + "\n");
    return console.finish(1);
  }
  out += Format(TR("%s: %s lines stop the load\n"), {console.name(path), std::to_string(*problems)});
  console.out(out);
  return console.finish(1);
}

int Where(Console& console, const Options& options) {
  const DataLocation data = FindDataFile(options.data);
  static const char* const kWhy[] = {N_("named with --data"), N_("named by TESSALY_DATA"),
                                     N_("the user's own table"), N_("the table beside the program")};
  console.out(Format(TR("%s (%s)\n"), {console.name(data.path), TR(kWhy[static_cast<int>(data.origin)])}));
  return console.finish(0);
}

// ParseOptions reads the command line into `options`; returns -1 to go on,
// or the exit status when it has answered (--help, --version) or refused.
int ParseOptions(Console& console, int argc, char** argv, Options& options) {
  enum { kCheck = 256, kStrict };
  static const option kOptions[] = {
      {"data", required_argument, nullptr, 'd'}, {"mode", required_argument, nullptr, 'm'},
      {"file", required_argument, nullptr, 'f'}, {"show", no_argument, nullptr, 's'},
      {"count", no_argument, nullptr, 'c'},      {"json", no_argument, nullptr, 'j'},
      {"where", no_argument, nullptr, 'w'},      {"check", optional_argument, nullptr, kCheck},
      {"strict", no_argument, nullptr, kStrict}, {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, 'V'},    {nullptr, 0, nullptr, 0}};
  for (int c; (c = getopt_long(argc, argv, "d:m:f:scjwhV", kOptions, nullptr)) != -1;) {
    switch (c) {
      case 'd':
        if (*optarg == '\0') return console.usageError(TR("--data needs a file name"));
        options.data = optarg;
        break;
      case 'm': {
        const SearchKind* kind = FindSearch(std::string_view(optarg));
        if (kind == nullptr) return console.usageError(Format(TR("unknown search '%s': %s"), {optarg, SearchNames()}));
        options.mode = kind->mode;
        break;
      }
      case 'f': options.queryFile = optarg; break;
      case 's': options.show = true; break;
      case 'c': options.count = true; break;
      case 'j': options.json = true; break;
      case 'w': options.where = true; break;
      case kCheck:
        options.check = true;
        if (optarg != nullptr) options.checkFile = std::filesystem::path(optarg);
        break;
      case kStrict: options.strict = true; break;
      case 'h':
        PrintHelp(console);
        return console.finish(0);
      case 'V':
        console.out(VersionText("tessaly-find"));
        return console.finish(0);
      default:
        return console.usageError({});  // getopt said what is wrong
    }
  }
  for (int i = optind; i < argc; ++i) options.operands.emplace_back(argv[i]);
  return -1;
}

int Main(Console& console, int argc, char** argv) {
  Options options;
  if (const int answered = ParseOptions(console, argc, argv, options); answered >= 0) return answered;
  if (options.strict && !options.check) return console.usageError(TR("--strict goes only with --check"));
  if (options.where) {
    if (!options.operands.empty()) return console.usageError(TR("--where takes no query"));
    return Where(console, options);
  }
  if (options.check) {
    if (!options.checkFile) {
      if (options.operands.empty()) return console.usageError(TR("--check needs a file name"));
      options.checkFile = std::filesystem::path(options.operands.front());
      options.operands.erase(options.operands.begin());
    }
    if (!options.operands.empty()) {
      return console.usageError(Format(TR("--check checks one file; '%s' would be ignored"), {options.operands[0]}));
    }
    if (options.checkFile->empty()) return console.usageError(TR("--check needs a file name"));
    return CheckFile(console, *options.checkFile, options.strict);
  }
  const int outputs = options.show + options.count + options.json;
  if (outputs > 1) return console.usageError(TR("--show, --count and --json exclude each other"));
  if (options.queryFile) {
    if (!options.operands.empty()) {
      return console.usageError(Format(TR("-f reads the queries; '%s' would be ignored"), {options.operands[0]}));
    }
  } else if (options.operands.empty()) {
    return console.usageError(TR("no query"));
  } else if (options.operands.size() > 1) {
    return console.usageError(TR("one query only; quote a query that holds spaces"));
  }
  return Search(console, options);
}

}  // namespace

int main(int argc, char** argv) {
  Console console("tessaly-find");
  try {
    return Main(console, argc, argv);
  } catch (const std::bad_alloc&) {
    // Each step that allocates by the size of its input reports a failed
    // allocation itself; this is the last line behind them, so that no
    // memory limit ends the program with an abort.
    console.error(TR("out of memory"));
    return kExitError;
  }
}
