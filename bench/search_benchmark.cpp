// Benchmarks of searching (and of loading warm, in one process), on the real
// data set beside the checkout when present and on generated tables of
// 30,000 and 300,000 records. Each search is measured next to a floor: the
// least work its rule needs, as a plain loop over plain vectors (one find
// over the column for the contains-rules). The cold whole-process measures
// of loading are in process_benchmark.
//
//   build/bin/search_benchmark --benchmark_enable_random_interleaving=true
//       --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <filesystem>
#include <algorithm>
#include <map>
#include <random>

#include "file_io.h"
#include "gbk.h"
#include "idiom_file.h"
#include "query.h"
#include "pinyin.h"
#include "pinyin_reader.h"
#include "search_engine.h"
#include "searches.h"

namespace tessaly {
namespace {

const std::filesystem::path kRealData =
    std::filesystem::path(TESSALY_SHARED_DATA) / "idioms-a-g.dat";

std::string ReadBytes(const std::filesystem::path& p) {
  Result<std::string> bytes = ReadWholeFile(p);
  return bytes.ok() ? std::move(bytes).value() : std::string();
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
  // Syllables with tone marks, as the pinyin field has them.
  static const std::u16string_view kSyllables[] = {u"yī", u"xīn", u"yì", u"tiān", u"dì", u"rén", u"shān",
                                                   u"shuǐ", u"fēng", u"yǔ", u"lǜ", u"huā", u"bù", u"zhī"};
  IdiomTable table;
  std::u16string line;
  for (int32_t i = 0; i < size; ++i) {
    line.clear();
    std::u16string pinyin;
    for (int k = 0; k < 4; ++k) {
      line += ch();
      if (k > 0) pinyin += u' ';
      pinyin += kSyllables[random() % std::size(kSyllables)];
    }
    line += u'#';
    for (int k = 0; k < 4; ++k) line += letter();
    line += u'#' + pinyin + u'#';
    const int meaning = 20 + static_cast<int>(random() % 40);
    for (int k = 0; k < meaning; ++k) line += ch();
    line += u"#《";
    for (int k = 0; k < 6; ++k) line += ch();
    line += u"》#";
    for (int k = 0; k < 20; ++k) line += ch();
    AppendLine(table, line);
  }
  return tables.emplace(size, std::move(table)).first->second;
}

const IdiomTable* Real() {
  static const Result<IdiomTable> loaded = LoadIdiomFile(kRealData);
  return loaded.ok() ? &*loaded : nullptr;
}

// The views of `table`, made once for all its searches.
const IdiomViews& ViewsOf(const IdiomTable& table, SearchMode mode) {
  static std::map<const IdiomTable*, IdiomViews> views;
  IdiomViews& v = views[&table];
  PrepareViews(v, table, mode);
  return v;
}

// A plain copy of one field of every record, for the floors: the text back
// to back and the offset of each record, in ordinary vectors.
struct FlatColumn {
  std::u16string text;
  std::vector<uint32_t> starts{0};
  std::u16string_view at(size_t i) const { return std::u16string_view(text).substr(starts[i], starts[i + 1] - starts[i]); }
  size_t size() const { return starts.size() - 1; }
};

FlatColumn Flat(const IdiomTable& table, Field f, bool chars = false) {
  FlatColumn c;
  for (int32_t i = 0; i < table.size(); ++i) {
    if (chars && f == Field::Pinyin) {
      // The plain letters of the pinyin, as the pinyin search reads them.
      for (char16_t u : table.field(i, f)) {
        int tone = 0;
        if (const char letter = PinyinLetter(u, tone)) c.text += static_cast<char16_t>(letter);
      }
    } else {
      c.text += chars ? table.IdiomChars(i) : table.field(i, f);
    }
    c.starts.push_back(static_cast<uint32_t>(c.text.size()));
  }
  return c;
}

// A floor is the least work the search's rule needs: the same per-record
// check written as a plain loop over plain vectors, or for a contains-rule
// one find over the column.
enum class FloorKind { Find, Prefix, Wildcard, Length, Subsequence, Counts, Pattern };

struct Query {
  const char* name;
  std::string_view search;  // the search's name in the list (searches.h)
  const char16_t* text;
  Field field;   // the column the floor scans
  bool chars;    // IdiomChars instead of the field (the plain letters for the pinyin field)
  FloorKind floor;
};

// Keywords chosen to hit rarely, so that each search walks the whole table,
// each beside its floor; a search of the list that has none here is
// measured with its example keyword, without a floor.
const Query kQueries[] = {
    {"text", "precise", u"天地", Field::Idiom, false, FloorKind::Find},
    {"wildcard", "precise", u"*心*意", Field::Idiom, true, FloorKind::Wildcard},
    {"length", "precise", u"*****", Field::Idiom, true, FloorKind::Length},
    {"initials", "precise", u"ysys", Field::Initials, false, FloorKind::Prefix},
    {"initials_contains", "precise", u"*hszy", Field::Initials, false, FloorKind::Find},
    {"fuzzy", "fuzzy", u"一意", Field::Idiom, true, FloorKind::Subsequence},
    {"mixed", "mixed", u"意一", Field::Idiom, true, FloorKind::Counts},
    {"meaning", "meaning", u"天下太平", Field::Meaning, false, FloorKind::Find},
    {"source", "source", u"史记", Field::Source, false, FloorKind::Find},
    {"pinyin", "pinyin", u"yi1xin1tian1", Field::Pinyin, true, FloorKind::Find},
    {"pattern", "pattern", u"abac", Field::Idiom, true, FloorKind::Pattern},
    {"chain", "chain", u"天下太平", Field::Idiom, true, FloorKind::Prefix},
    {"folded", "folded", u"天下", Field::Idiom, false, FloorKind::Find},
};

void RunQuery(benchmark::State& state, const IdiomTable* table, const Query& q) {
  if (table == nullptr) {
    state.SkipWithError("real data not present");
    return;
  }
  const Keywords keywords = CheckQuery(q.text)->keywords;
  // The views a search reads are measured by BM_FirstUse; here they are
  // made before the clock runs.
  const SearchMode mode = FindSearch(q.search)->mode;
  const IdiomViews& views = ViewsOf(*table, mode);
  for (auto _ : state) {
    Result<SearchOutcome> o = RunSearch(*table, views, keywords, mode);
    benchmark::DoNotOptimize(o->hitCount);
  }
  state.counters["records"] = table->size();
}

size_t FloorCount(const FlatColumn& c, const Query& q) {
  std::u16string key(q.text);
  size_t found = 0;
  switch (q.floor) {
    case FloorKind::Find: {
      std::erase(key, u'*');
      std::erase_if(key, [](char16_t u) { return u >= u'0' && u <= u'9'; });
      const std::u16string_view text(c.text);
      for (size_t pos = text.find(key); pos != std::u16string_view::npos; pos = text.find(key, pos + 1)) ++found;
      break;
    }
    case FloorKind::Prefix:
      if (q.search == "chain") key = key.substr(key.size() - 1);  // the link
      for (size_t i = 0; i < c.size(); ++i) found += c.at(i).substr(0, key.size()) == key;
      break;
    case FloorKind::Wildcard:
      for (size_t i = 0; i < c.size(); ++i) {
        const std::u16string_view chars = c.at(i);
        if (chars.size() < key.size()) continue;
        size_t k = 0;
        while (k < key.size() && (key[k] == u'*' || key[k] == chars[k])) ++k;
        found += k == key.size();
      }
      break;
    case FloorKind::Length:
      for (size_t i = 0; i < c.size(); ++i) found += c.starts[i + 1] - c.starts[i] == key.size();
      break;
    case FloorKind::Subsequence:
      for (size_t i = 0; i < c.size(); ++i) {
        size_t p = 0;
        for (char16_t u : c.at(i)) {
          if (u == key[p] && ++p == key.size()) break;
        }
        found += p == key.size();
      }
      break;
    case FloorKind::Pattern:
      for (size_t i = 0; i < c.size(); ++i) {
        const std::u16string_view chars = c.at(i);
        found += chars.size() == key.size() && chars[0] == chars[2] && chars[1] != chars[0] && chars[3] != chars[1];
      }
      break;
    case FloorKind::Counts:
      for (size_t i = 0; i < c.size(); ++i) {
        bool all = true;
        for (char16_t k : key) {
          const std::u16string_view chars = c.at(i);
          all = all && std::count(chars.begin(), chars.end(), k) >= std::count(key.begin(), key.end(), k);
        }
        found += all;
      }
      break;
  }
  return found;
}

void Floor(benchmark::State& state, const IdiomTable* table, const Query& q) {
  if (table == nullptr) {
    state.SkipWithError("real data not present");
    return;
  }
  const FlatColumn column = Flat(*table, q.field, q.chars);
  for (auto _ : state) benchmark::DoNotOptimize(FloorCount(column, q));
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
    Result<IdiomTable> r = ParseIdiomText(bytes);
    benchmark::DoNotOptimize(r->size());
    memory = r->memoryBytes();
    records = std::max(r->size(), 1);
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
  for (auto _ : state) {
    Result<std::u16string> text = DecodeGbk(bytes);
    benchmark::DoNotOptimize(text->data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeRealFileOnly)->Unit(benchmark::kMillisecond);

// What the pinyin search and the chain, and the folded search, make of the
// table on their first use.
void BM_FirstUse(benchmark::State& state, bool folded) {
  const IdiomTable& source = Synthetic(300000);
  size_t bytes = 0;
  for (auto _ : state) {
    IdiomViews views;
    if (folded) {
      (void)views.buildFolded(source);
      bytes = views.foldedBytes();
    } else {
      views.buildSyllables(source);
      bytes = views.syllableBytes();
    }
  }
  state.counters["bytes_per_record"] = static_cast<double>(bytes) / source.size();
}
BENCHMARK_CAPTURE(BM_FirstUse, syllables_300000, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_FirstUse, folded_300000, true)->Unit(benchmark::kMillisecond)->Iterations(3);

void RegisterSearches() {
  static std::vector<Query> queries(std::begin(kQueries), std::end(kQueries));
  for (const SearchKind* kind : Searches()) {
    if (std::none_of(std::begin(kQueries), std::end(kQueries), [&](const Query& q) { return q.search == kind->name; })) {
      queries.push_back({kind->name.data(), kind->name, kind->example.data(), Field::Idiom, false, FloorKind::Find});
    }
  }
  for (size_t i = 0; i < queries.size(); ++i) {
    const Query& q = queries[i];
    const bool floored = i < std::size(kQueries);
    benchmark::RegisterBenchmark((std::string("BM_Search/real/") + q.name).c_str(),
                                 [&q](benchmark::State& s) { RunQuery(s, Real(), q); })
        ->Unit(benchmark::kMicrosecond);
    for (int32_t size : {30000, 300000}) {
      benchmark::RegisterBenchmark(
          (std::string("BM_Search/") + std::to_string(size) + "/" + q.name).c_str(),
          [&q, size](benchmark::State& s) { RunQuery(s, &Synthetic(size), q); })
          ->Unit(benchmark::kMicrosecond);
    }
    if (!floored) continue;
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
