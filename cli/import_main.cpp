// tessaly-import: turns public idiom data in the common JSON format into a
// cy.dat that loads.
//
//   tessaly-import [OPTION]... [-o FILE] INPUT.json...
//
// Without -o it writes the user's own table. The output is replaced only
// when everything went well, and then safely: a failed import leaves the
// old file byte for byte as it was.
#include <csignal>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "command_line.h"
#include "data_check.h"
#include "data_location.h"
#include "file_io.h"
#include "idiom_file.h"
#include "importer.h"

namespace {

using namespace tessaly;

// The output was replaced, but a later step failed: the folder's flush,
// or the report on standard output.
constexpr int kExitReplacedButFailed = 3;

void PrintHelp(Console& console) {
  console.out(Format(TR("Usage: %s [OPTION]... [-o FILE] INPUT.json...\n"), {console.program()}));
  console.out(TR(
      "Turn public idiom data in the common JSON format (an array of objects with\n"
      "word, pinyin, abbreviation, explanation, derivation and example) into a\n"
      "Tessaly idiom table cy.dat (GBK, CR LF).\n"
      "\n"
      "  -o, --output=FILE   the table to write (- for standard output); without it\n"
      "                      the user's own table, $XDG_DATA_HOME/tessaly/cy.dat\n"
      "                      (~/.local/share/tessaly/cy.dat), which the window and\n"
      "                      tessaly-find then read. The new table is written beside\n"
      "                      the old under a temporary name and replaces it only when\n"
      "                      all went well; on any failure the old stays as it was\n"
      "  -a, --append        keep the idioms already in the output and add to them;\n"
      "                      a second import into the same folder waits meanwhile\n"
      "      --allow-empty   allow writing a table without a single idiom\n"
      "      --strict        check the new records as tessaly-find --check --strict\n"
      "                      does and skip the suspect ones, saying why\n"
      "  -h, --help          display this help and exit\n"
      "  -V, --version       output version information and exit\n"
      "\n"
      "An input of - reads standard input. Several inputs merge in order, an idiom\n"
      "kept where it first stands; every record that cannot be written (no idiom,\n"
      "repeated, a character GBK lacks, ...) is listed on standard error.\n"
      "\n"
      "Example: tessaly-import idiom.json\n"
      "\n"
      "Exit status: 0 written; 2 an error, the output unchanged; 3 the output\n"
      "replaced, but a last step failed (its folder's flush, the report).\n"));
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

struct Options {
  std::filesystem::path output;
  bool toStdout = false;
  bool append = false;
  bool allowEmpty = false;
  bool strict = false;
  std::vector<std::filesystem::path> inputs;
};

int Main(Console& console, int argc, char** argv) {
  // A file-size limit must end in a reported write error, not a silent kill
  // that leaves a temporary file behind; an interrupt takes its temporary
  // file with it.
  std::signal(SIGXFSZ, SIG_IGN);
  RemoveTemporaryOnSignals();
  auto fail = [&](const std::string& message) {
    console.error(message);
    return console.finish(kExitError);
  };

  enum { kAllowEmpty = 256, kStrict };
  static const option kOptions[] = {{"output", required_argument, nullptr, 'o'},
                                    {"append", no_argument, nullptr, 'a'},
                                    {"allow-empty", no_argument, nullptr, kAllowEmpty},
                                    {"strict", no_argument, nullptr, kStrict},
                                    {"help", no_argument, nullptr, 'h'},
                                    {"version", no_argument, nullptr, 'V'},
                                    {nullptr, 0, nullptr, 0}};
  Options options;
  for (int c; (c = getopt_long(argc, argv, "o:ahV", kOptions, nullptr)) != -1;) {
    switch (c) {
      case 'o':
        if (*optarg == '\0') return console.usageError(TR("-o needs a file name"));
        options.toStdout = std::string_view(optarg) == "-";
        options.output = optarg;
        break;
      case 'a': options.append = true; break;
      case kAllowEmpty: options.allowEmpty = true; break;
      case kStrict: options.strict = true; break;
      case 'h':
        PrintHelp(console);
        return console.finish(0);
      case 'V':
        console.out(VersionText("tessaly-import"));
        return console.finish(0);
      default:
        return console.usageError({});
    }
  }
  for (int i = optind; i < argc; ++i) options.inputs.emplace_back(argv[i]);
  if (options.inputs.empty()) return console.usageError(TR("no input file"));
  if (options.toStdout && options.append) return console.usageError(TR("--append needs an output file, not -"));

  if (options.output.empty()) {
    // The user's own table, in a folder made for it.
    options.output = UserTablePath();
    if (options.output.empty()) return fail(TR("no output named, and no home folder for the user's table"));
    std::error_code ec;
    std::filesystem::create_directories(options.output.parent_path(), ec);
    if (ec) {
      return fail(Format(TR("cannot make the folder %s: %s"),
                         {console.name(options.output.parent_path()), ec.message()}));
    }
  }
  const std::string outputName = options.toStdout ? std::string(TR("standard output")) : console.name(options.output);
  for (const std::filesystem::path& input : options.inputs) {
    if (!options.toStdout && input != "-" && SameFile(input, options.output)) {
      return fail(Format(TR("the output %s is an input too; it is not overwritten"), {outputName}));
    }
  }

  // A read-modify-write holds the folder from the read to the rename, so
  // that two imports into it never lose each other's records.
  FolderLock lock;
  if (!options.toStdout) {
    const std::filesystem::path folder = options.output.has_parent_path() ? options.output.parent_path() : ".";
    Result<FolderLock> taken = FolderLock::take(folder, [&] {
      console.error(Format(TR("another import is writing into %s; waiting"), {console.name(folder)}));
    });
    if (!taken.ok()) {
      return fail(Format(TR("cannot lock %s"), {ErrorText(taken.error(), console.name(folder))}));
    }
    lock = std::move(taken).value();
  }

  Importer importer;
  if (options.append) {
    Result<IdiomTable> existing = LoadIdiomFile(options.output);
    if (!existing.ok() && existing.error().kind == ErrorKind::CannotOpen && Absent(options.output)) {
      existing = IdiomTable();
    }
    if (!existing.ok()) {
      return fail(Format(TR("cannot append, the table does not load: %s"), {ErrorText(existing.error(), outputName)}));
    }
    importer.keepTable(*existing);
  }
  const size_t kept = importer.lineCount();

  for (const std::filesystem::path& input : options.inputs) {
    const std::string name = input == "-" ? std::string(TR("standard input")) : console.name(input);
    const Result<std::string> text = ReadWholeFile(input);
    if (!text.ok()) return fail(Format(TR("cannot read %s"), {ErrorText(text.error(), name)}));
    if (const Error e = importer.addJson(*text, input == "-" ? name : console.name(input.filename())); !e.ok()) {
      return fail(e.reason);
    }
  }

  if (options.strict) {
    // The strict check of tessaly-find --check --strict, on what this
    // import adds: a suspect record is skipped with what is wrong with it.
    const Result<IdiomTable> taken = ParseIdiomText(importer.fileBytes());
    if (!taken.ok()) return fail(Format(TR("cannot check: %s"), {taken.error().reason}));
    std::vector<std::pair<size_t, std::string>> reasons;
    const Result<StrictCounts> checked = CheckRecords(*taken, [&](const Finding& f) {
      if (static_cast<size_t>(f.record) < kept) return;  // what was there stays
      reasons.emplace_back(static_cast<size_t>(f.record),
                           Format(TR("strict check: %s: %s"), {FindingName(f.kind), Describe(f, *taken)}));
    });
    if (!checked.ok()) return fail(Format(TR("cannot check: %s"), {checked.error().reason}));
    importer.drop(reasons, kept);
  }
  for (const Importer::Skipped& s : importer.skipped()) {
    console.error(Format(TR("skipped %s: %s"), {s.where, s.why}));
  }
  if (importer.lineCount() == 0 && !options.allowEmpty) {
    return fail(Format(TR("no idiom to write; %s is unchanged (--allow-empty writes an empty table)"), {outputName}));
  }
  const std::string bytes = importer.fileBytes();
  // What is written must load: the importer never makes a broken file.
  if (const Result<IdiomTable> check = ParseIdiomText(bytes); !check.ok()) {
    return fail(Format(TR("the table made does not load (line %s: %s)"),
                       {std::to_string(check.error().line), check.error().reason}));
  }
  const std::string summary =
      Format(TR("wrote %s idioms (%s new), skipped %s: %s\n"),
             {std::to_string(importer.lineCount()), std::to_string(importer.lineCount() - kept),
              std::to_string(importer.skipped().size()), outputName});
  if (options.toStdout) {
    console.outBytes(bytes);
    console.error(summary.substr(0, summary.size() - 1));
    return console.finish(0);
  }
  if (const Error e = WriteFileSafely(options.output, bytes); !e.ok()) {
    if (e.kind == ErrorKind::Unsynced) {
      console.error(Format(TR("%s was replaced, but: %s"), {outputName, e.reason}));
      console.out(summary);
      return console.finish(kExitReplacedButFailed, kExitReplacedButFailed);
    }
    return fail(Format(TR("cannot write %s; it is unchanged"), {ErrorText(e, outputName)}));
  }
  console.out(summary);
  const int status = console.finish(0, kExitReplacedButFailed);
  if (status == kExitReplacedButFailed) console.error(Format(TR("%s was replaced"), {outputName}));
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  Console console("tessaly-import");
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
