// Benchmarks of loading and searching, on the real data set beside the
// checkout when present and on generated tables of 30,000 and 300,000
// records. Each search is measured next to a floor: one find over a single
// buffer holding the same field text.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <random>

#include "file_io.h"
#include "gbk.h"
#include "idiom_file.h"
#include "query.h"
#include "search_engine.h"

namespace tessaly {
namespace {

const std::filesystem::path kRealData =
    std::filesystem::path(TESSALY_SHARED_DATA) / "idioms-a-g.dat";

std::string ReadBytes(const std::filesystem::path& p) {
  std::string bytes;
  ReadWholeFile(p, bytes);
  return bytes;
}

// A generated table: four-character idioms drawn from 3,500 common
// characters, with meanings of 20 to 60 characters.
const IdiomTable& Synthetic(int32_t size) {
  static std::map<int32_t, IdiomTable> tables;
  auto it = tables.find(size);
  if (it != tables.end()) return it->second;
  std::mt19937 random(size);
  auto ch = [&] { return static_cast<char16_t>(0x4E00 + random() % 3500); };
  auto letter = [&] { return static_cast<char16_t>(u'a' + random() % 26); };
  IdiomTable table;
  std::u16string line;
  for (int32_t i = 0; i < size; ++i) {
    line.clear();
    for (int k = 0; k < 4; ++k) line += ch();
    line += u'#';
    for (int k = 0; k < 4; ++k) line += letter();
    line += u"#pīn yīn#";
    const int meaning = 20 + static_cast<int>(random() % 40);
    for (int k = 0; k < meaning; ++k) line += ch();
    line += u"#《";
    for (int k = 0; k < 6; ++k) line += ch();
    line += u"》#";
    for (int k = 0; k < 20; ++k) line += ch();
    table.appendLine(line);
  }
  return tables.emplace(size, std::move(table)).first->second;
}

const IdiomTable* Real() {
  static const LoadResult loaded = LoadIdiomFile(kRealData);
  return loaded.ok() ? &loaded.table : nullptr;
}

struct Query {
  const char* name;
  SearchMode mode;
  const char16_t* text;
  int field;  // the column the floor scans
};

// Keywords chosen to hit rarely, so that each search walks the whole table.
const Query kQueries[] = {
    {"text", SearchMode::Precise, u"天地", 0},      {"wildcard", SearchMode::Precise, u"*心*意", 0},
    {"length", SearchMode::Precise, u"*****", 0},   {"initials", SearchMode::Precise, u"ysys", 1},
    {"initials_contains", SearchMode::Precise, u"*hszy", 1},
    {"fuzzy", SearchMode::Fuzzy, u"一意", 0},       {"mixed", SearchMode::Mixed, u"意一", 0},
    {"meaning", SearchMode::Meaning, u"天下太平", 3}, {"source", SearchMode::Source, u"史记", 4},
};

void RunQuery(benchmark::State& state, const IdiomTable* table, const Query& q) {
  if (table == nullptr) {
    state.SkipWithError("real data not present");
    return;
  }
  const Keywords keywords = CheckQuery(q.text).keywords;
  for (auto _ : state) {
    SearchOutcome o = RunSearch(*table, keywords, q.mode);
    benchmark::DoNotOptimize(o.hitCount);
  }
  state.counters["records"] = table->size();
}

// The floor: one find of the keyword over the column's single buffer.
void Floor(benchmark::State& state, const IdiomTable* table, const Query& q) {
  if (table == nullptr) {
    state.SkipWithError("real data not present");
    return;
  }
  const std::u16string_view text = table->columnText(static_cast<Field>(q.field));
  std::u16string key(q.text);
  std::erase(key, u'*');
  for (auto _ : state) {
    size_t found = 0;
    for (size_t pos = text.find(key); pos != std::u16string_view::npos; pos = text.find(key, pos + 1)) {
      ++found;
    }
    benchmark::DoNotOptimize(found);
  }
}

void BM_LoadRealFile(benchmark::State& state) {
  const std::string bytes = ReadBytes(kRealData);
  if (bytes.empty()) {
    state.SkipWithError("real data not present");
    return;
  }
  size_t memory = 0;
  int32_t records = 1;
  for (auto _ : state) {
    LoadResult r = ParseIdiomText(bytes);
    benchmark::DoNotOptimize(r.table.size());
    memory = r.table.memoryBytes();
    records = std::max(r.table.size(), 1);
  }
  state.counters["table_bytes_per_record"] = static_cast<double>(memory) / records;
  state.counters["file_bytes_per_record"] = static_cast<double>(bytes.size()) / records;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LoadRealFile)->Unit(benchmark::kMillisecond);

// The load's floor: decoding the same bytes and nothing else.
void BM_DecodeRealFileOnly(benchmark::State& state) {
  const std::string bytes = ReadBytes(kRealData);
  if (bytes.empty()) {
    state.SkipWithError("real data not present");
    return;
  }
  std::u16string text;
  for (auto _ : state) {
    size_t bad = 0;
    DecodeGbk(bytes, text, bad);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeRealFileOnly)->Unit(benchmark::kMillisecond);

void RegisterSearches() {
  for (const Query& q : kQueries) {
    benchmark::RegisterBenchmark((std::string("BM_Search/real/") + q.name).c_str(),
                                 [&q](benchmark::State& s) { RunQuery(s, Real(), q); })
        ->Unit(benchmark::kMicrosecond);
    for (int32_t size : {30000, 300000}) {
      benchmark::RegisterBenchmark(
          (std::string("BM_Search/") + std::to_string(size) + "/" + q.name).c_str(),
          [&q, size](benchmark::State& s) { RunQuery(s, &Synthetic(size), q); })
          ->Unit(benchmark::kMicrosecond);
    }
    if (q.mode == SearchMode::Precise && q.text[0] == u'*' && q.field == 0) continue;
    benchmark::RegisterBenchmark(
        (std::string("BM_Floor/300000/") + q.name).c_str(),
        [&q](benchmark::State& s) { Floor(s, &Synthetic(300000), q); })
        ->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace
}  // namespace tessaly

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  tessaly::RegisterSearches();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
