// Whole-process benchmarks: what a user waits for, measured cold (a fresh
// process each time, the file's pages in the page cache but no memory of
// the process touched yet), each next to a yardstick run in turn with it:
//
//   check      tessaly-find --check on the large table  vs  load_floor (one read and
//              a table-driven GBK decode of every byte of the same file)
//   strict     tessaly-find --check --strict  vs  tessaly-find --check, on the large
//              table (its every idiom stands 36 times: 300,000 lines of report)
//   meaning    tessaly-find --mode meaning --count 比喻   vs  grep -cP for 比喻 in
//              the fourth field of a UTF-8 copy
//   window     the main window ready for typing (shown, query box focused, the first
//              pass of the event loop run): with the public data set loaded; with
//              the large table, which may still be loading then (a query typed
//              meanwhile runs when it is in), and with it loaded  vs  a Chinese
//              hello-world window (a QMainWindow with a one-menu Chinese menu bar,
//              a Chinese label and a query box)
//
// The large table is 36 copies of the public data set beside the checkout
// (304,164 records, 57 MB), made in a temporary folder at start; without
// the public data every benchmark is skipped. Each iteration runs the
// command and its yardstick once each, alternating; the counters give the
// median and the best of the per-pair ratios, and each side's peak memory.
// Window benchmarks use Qt's offscreen platform unless DISPLAY is set.
//
//   build/bin/process_benchmark --benchmark_repetitions=3
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>


extern char** environ;

namespace tessaly {
namespace {

const std::filesystem::path kBin = TESSALY_BIN_DIR;
const std::filesystem::path kPublic = std::filesystem::path(TESSALY_SHARED_DATA) / "idioms-a-g.dat";

struct Files {
  std::filesystem::path large;      // GBK, 36 copies of the public data
  std::filesystem::path largeUtf8;  // the same text in UTF-8, for grep
  double largeMiB = 0;
  bool ok = false;
};

struct Run {
  double seconds = 0;
  double peakMiB = 0;
  int status = -1;
};

// Runs `argv` with its output thrown away and returns its wall time, its
// peak resident memory and its exit status. The output goes to a file, not
// to /dev/null: grep stops at the first match when it sees /dev/null.
Run Spawn(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string out = (std::filesystem::temp_directory_path() / "tessaly-process-benchmark.out").string();
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  Run run;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) {
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  return run;
}

// The files are made by child processes: a process started from a large
// one would report the parent's peak memory as its own.
const Files& TestFiles() {
  static const Files files = [] {
    Files f;
    if (!std::filesystem::exists(kPublic)) return f;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tessaly-process-benchmark";
    std::filesystem::create_directories(dir);
    f.large = dir / "large.dat";
    f.largeUtf8 = dir / "large-utf8.dat";
    const std::string make = "for i in $(seq 36); do cat \"$0\"; done >\"$1\" && iconv -f GB18030 -t UTF-8 \"$1\" >\"$2\"";
    f.ok = Spawn({"sh", "-c", make, kPublic.string(), f.large.string(), f.largeUtf8.string()}).status == 0;
    f.largeMiB = static_cast<double>(std::filesystem::file_size(f.large)) / (1 << 20);
    return f;
  }();
  return files;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Times `command` and `yardstick` in turn; the iteration's time is the
// command's.
void Pair(benchmark::State& state, const std::vector<std::string>& command,
          const std::vector<std::string>& yardstick) {
  if (!TestFiles().ok) {
    state.SkipWithError("no public data beside the checkout");
    return;
  }
  std::vector<double> ratios, mine, theirs;
  double peak = 0, yardstickPeak = 0;
  for (auto _ : state) {
    const Run a = Spawn(command);
    const Run b = Spawn(yardstick);
    // 0 or 1 (found, not found; loads, does not); 2 and up are errors.
    if (a.status < 0 || a.status > 1 || b.status < 0 || b.status > 1) {
      state.SkipWithError("a command did not run");
      return;
    }
    state.SetIterationTime(a.seconds);
    ratios.push_back(a.seconds / b.seconds);
    mine.push_back(a.seconds * 1000);
    theirs.push_back(b.seconds * 1000);
    peak = std::max(peak, a.peakMiB);
    yardstickPeak = std::max(yardstickPeak, b.peakMiB);
  }
  state.counters["ratio_median"] = Median(ratios);
  state.counters["ratio_best"] = *std::min_element(ratios.begin(), ratios.end());
  state.counters["ms"] = Median(mine);
  state.counters["yardstick_ms"] = Median(theirs);
  state.counters["peak_MiB"] = peak;
  state.counters["yardstick_peak_MiB"] = yardstickPeak;
  state.counters["peak_per_file_MiB"] = peak / TestFiles().largeMiB;
}

std::string Bin(const char* program) { return (kBin / program).string(); }

void BM_Check(benchmark::State& state) {
  Pair(state, {Bin("tessaly-find"), "--check", TestFiles().large.string()},
       {Bin("load_floor"), TestFiles().large.string()});
}

void BM_StrictCheck(benchmark::State& state) {
  Pair(state, {Bin("tessaly-find"), "--check", "--strict", TestFiles().large.string()},
       {Bin("tessaly-find"), "--check", TestFiles().large.string()});
}

void BM_MeaningOneShot(benchmark::State& state) {
  Pair(state, {Bin("tessaly-find"), "--data", TestFiles().large.string(), "--mode", "meaning", "--count", "比喻"},
       {"grep", "-cP", "^(?:[^#]*#){3}[^#]*比喻", TestFiles().largeUtf8.string()});
}

// The window ready with the public data or the large table; `tableIn`
// waits for the table as well.
void BM_WindowReady(benchmark::State& state, bool large, bool tableIn) {
  std::vector<std::string> command = {Bin("window_ready")};
  if (tableIn) command.push_back("--table-in");
  command.push_back(large ? TestFiles().large.string() : kPublic.string());
  Pair(state, command, {Bin("hello_window")});
}

BENCHMARK(BM_Check)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrictCheck)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeaningOneShot)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowReady, public_8449, false, true)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowReady, large_304164, true, false)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowReady, large_304164_table_in, true, true)
    ->UseManualTime()
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessaly

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
