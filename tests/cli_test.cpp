// End-to-end tests of tessaly-find on the fixture.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "test_util.h"

namespace tessaly {
namespace {

using testing::Gbk;
using testing::TempDir;

using Result = testing::ProgramRun;

Result Find(const std::vector<std::string>& args, const testing::Launch& launch = {}) {
  static const TempDir dir;
  return testing::Run(dir, "tessaly-find", args, launch);
}

const std::string kFixture = testing::FixturePath().string();

// What a search prints, by the form of its output.
struct OutputCase {
  const char* name;
  std::vector<std::string> args;  // after --data FIXTURE
  int status;
  std::string out;
  std::string err = {};
};

void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.name; }

class FindOutput : public ::testing::TestWithParam<OutputCase> {};

TEST_P(FindOutput, PrintsWhatItFound) {
  const OutputCase& c = GetParam();
  std::vector<std::string> args = {"--data", kFixture};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const Result r = Find(args);
  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_EQ(r.out, c.out);
  EXPECT_EQ(r.err, c.err);
}

const std::string kEntry =
    "一心一意\nPinyin: yī xīn yī yì\nMeaning: 心思专一。\nSource: 无\nExample: 她一心一意地练琴。\n";

INSTANTIATE_TEST_SUITE_P(
    Searches, FindOutput,
    ::testing::Values(
        OutputCase{"Rows", {"天地"}, 0, "别有天地\n天地良心\n"},
        OutputCase{"RowsAreTheIdiomAsStored", {"--mode", "fuzzy", "尚撞"}, 0, "做一天和尚，撞一天钟\n"},
        OutputCase{"CountIsTheBareNumber", {"--count", "天地"}, 0, "2\n"},
        OutputCase{"CountOfNothing", {"-c", "龘"}, 1, "0\n"},
        OutputCase{"WholeTable", {"--count", "*"}, 0, "12\n"},
        OutputCase{"ShowPrintsTheEntry", {"--show", "一心一意"}, 0, kEntry},
        OutputCase{"ShowSeparatesEntriesByABlankLine",
                   {"-s", "地天之合 一生一世"},
                   0,
                   "一生一世\nPinyin: yī shēng yī shì\nMeaning: 一辈子。\nSource: 无\nExample: 他们约定一生一世互相扶持。\n\n"
                   "地天之合\nPinyin: dì tiān zhī hé\nMeaning: 虚构的词条，用来检验“地天”。\nSource: 无\n"
                   "Example: 地天之合这一条只在测试中出现。\nVariants: 地天之合也\n"},
        OutputCase{"ShowWorksWithEveryMode", {"--show", "--mode=pinyin", "yi1xin1yi1yi4"}, 0, kEntry},
        OutputCase{"PinyinSearch", {"--mode", "pinyin", "yi1xin1"}, 0, "一心一意\n"},
        OutputCase{"PatternSearch", {"--mode=pattern", "abac"}, 0, "一生一世\n一心一意\n"},
        OutputCase{"FoldedSearch", {"--mode", "folded", "別有天地"}, 0, "别有天地\n"},
        OutputCase{"ChainSaysWhichLink", {"--mode", "chain", "一心一意"}, 0, "一生一世\n",
                   "tessaly-find: 同音接“yi”：1\n"},
        OutputCase{"NoticeGoesToStandardError", {"y*s"}, 1, "",
                   "tessaly-find: 通配符 * 在拼音查询中只能放在第一个位置，表示所有包含这个拼音的成语；拼音中的其他位置 * 无效\n"},
        OutputCase{"UniquePrefixesAndBundledOptions", {"--co", "-cm", "fuzzy", "一意"}, 0, "1\n"}),
    [](const ::testing::TestParamInfo<OutputCase>& info) { return std::string(info.param.name); });

// JSON: one object per query, every field of every row by name, UTF-8 in
// every locale.
TEST(FindCli, JsonRowsCarryEveryField) {
  Result r = Find({"--data", kFixture, "--json", "ＴＩＡＮ 天地　y*s"});
  EXPECT_EQ(r.status, 0);
  nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["normalized"], "ｔｉａｎ\u3000天地\u3000y*s");
  EXPECT_EQ(j["keywords"], nlohmann::json({"ｔｉａｎ", "天地", "y*s"}));
  EXPECT_EQ(j["hits"], 2);
  ASSERT_EQ(j["rows"].size(), 2u);
  EXPECT_EQ(j["rows"][0]["idiom"], "别有天地");
  EXPECT_EQ(j["rows"][0]["source"], "唐·李白《山中问答》");
  EXPECT_EQ(j["rows"][0]["variants"], nlohmann::json::array());
  EXPECT_FALSE(j["notice"].is_null());

  r = Find({"--data", kFixture, "-j", "地天之合"});
  j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["rows"][0]["variants"], nlohmann::json({"地天之合也"}));
  EXPECT_EQ(j["rows"][0]["near"], nlohmann::json::array());

  r = Find({"--data", kFixture, "--json", "--mode", "meaning", "没有这个"});
  EXPECT_EQ(r.status, 1);
  j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["hits"], 0);
  EXPECT_TRUE(j["notice"].is_null());
}

// -f: a query a line, each answered in turn; found when any found.
TEST(FindCli, QueriesFromAFile) {
  TempDir dir;
  const auto queries = dir.write("queries.txt", "天地\n\n龘\r\n一心一意\n");
  Result r = Find({"--data", kFixture, "-f", queries.string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "别有天地\n天地良心\n一心一意\n") << "a blank line asks nothing";
  r = Find({"--data", kFixture, "--count", "-f", queries.string()});
  EXPECT_EQ(r.out, "2\n0\n1\n");
  r = Find({"--data", kFixture, "--json", "-f", "-"}, {"", queries.string(), ""});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3) << "one object a line";
  EXPECT_EQ(nlohmann::json::parse(r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1))["rows"][0]["idiom"], "一心一意");
  r = Find({"--data", kFixture, "-f", dir.write("none.txt", "龘\n").string()});
  EXPECT_EQ(r.status, 1);
  r = Find({"--data", kFixture, "-f", (dir.path() / "missing.txt").string()});
  EXPECT_EQ(r.status, 2);
}

// What the user gets wrong is an error with status 2 and a message, never a
// silently dropped argument.
TEST(FindCli, UsageErrors) {
  TempDir dir;
  const auto broken = dir.write("cy.dat", Gbk("一心一意#yxyy#p#m#s#e\r\n一二#a#b#c"));
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--data", kFixture, "  \u3000 "}, "empty query"},
      {{"--data", kFixture, "--bogus", "天"}, "--bogus"},
      {{"--data", kFixture, "--json=yes", "天"}, "doesn't allow an argument"},
      {{"--data", kFixture, "--mode", "loose", "天"}, "unknown search 'loose'"},
      {{"--data", kFixture, "--mode"}, "requires an argument"},
      {{"--data", kFixture}, "no query"},
      {{"--data", kFixture, "天", "地"}, "one query only"},
      {{"--data", kFixture, "--show", "--count", "天"}, "exclude each other"},
      {{"--check=" + kFixture, "天"}, "'天' would be ignored"},
      {{"--check", kFixture, "天"}, "'天' would be ignored"},
      {{"--strict", "一心"}, "--strict goes only with --check"},
      {{"-f", "q.txt", "天"}, "'天' would be ignored"},
      {{"--data", broken.string(), "天"}, "cannot load the idiom table " + broken.string() + ", line 2: only 4 fields"},
      {{"--data", (dir.path() / "missing.dat").string(), "天"}, "cannot open the file"},
  };
  for (const auto& [args, message] : cases) {
    const Result r = Find(args);
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << args.back();
  }
}

// The table read: --data, else TESSALY_DATA, else the user's table, else the
// one beside the program; --where says which.
TEST(FindCli, TableLocationOrder) {
  TempDir dir;
  const auto user = dir.path() / "xdg" / "tessaly" / "cy.dat";
  const auto named = dir.write("named.dat", Gbk("天网恢恢#twhh#tiān wǎng huī huī#m#无#无\r\n"));
  auto where = [&](const std::vector<std::string>& args, const std::string& env = {}) {
    return testing::Run(dir, "tessaly-find", args, {env, "", ""}).out;
  };
  const std::string bundled = std::string(TESSALY_BIN_DIR) + "/cy.dat (the table beside the program)\n";
  EXPECT_EQ(where({"--where"}), bundled);
  EXPECT_EQ(testing::Run(dir, "tessaly-find", {"--count", "一心一意"}).out, "1\n");

  std::filesystem::create_directories(user.parent_path());
  std::filesystem::copy_file(testing::FixturePath(), user);
  EXPECT_EQ(where({"--where"}), user.string() + " (the user's own table)\n");
  EXPECT_EQ(where({"--count", "天地"}), "2\n");

  const std::string env = "TESSALY_DATA=" + testing::Quote(named.string());
  EXPECT_EQ(where({"-w"}, env), named.string() + " (named by TESSALY_DATA)\n");
  EXPECT_EQ(where({"--count", "天网"}, env), "1\n");
  EXPECT_EQ(where({"--data", kFixture, "-w"}, env), kFixture + " (named with --data)\n");
  EXPECT_EQ(where({"--data", kFixture, "-c", "天网"}, env), "0\n");
}

TEST(FindCli, CheckListsEveryBrokenLine) {
  TempDir dir;
  const auto broken = dir.write(
      "cy.dat", Gbk("一心一意#yxyy#p#m#s#e\r\n一二#a#b#c\r\n\r\n三心二意#sxey#p##s#e\r\n") + "\xFF\xFF#a\r\n" +
                    Gbk("，#a#b#c#d#e"));
  Result r = Find({"--check", broken.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "line 2: only 4 fields; six at least are needed (separated by #): 一二#a#b#c\n"
            "line 3: a blank line\n"
            "line 4: field 4 (meaning) is empty: 三心二意#sxey#p##s#e\n"
            "line 5: holds bytes that are not GBK text (byte 60 of the file)\n"
            "line 6: the idiom is nothing but full-width commas “，”: ，#a#b#c#d#e\n" +
                broken.string() + ": 5 lines stop the load\n");

  r = Find({"--check", kFixture});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kFixture + ": loads, 12 idioms\n");
  EXPECT_EQ(Find({"--check", (dir.path() / "none").string()}).status, 1);

  // --strict: every fault of a file that loads, and a count per kind.
  r = Find({"--check", "--strict", kFixture});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kFixture + ": loads, 12 idioms; the strict check found nothing\n");
  const auto suspect = dir.write("suspect.dat", Gbk("昂昂自若#aazr#áng áng zì roò#m#无#无\r\n"
                                                    "一心一意#yxyy#yī xīn yī yì#m#《论语》#无\r\n"
                                                    "一心一意#yxy#yī xīn yī yì#m#论语#无\r\n"));
  r = Find({"--strict", "--check=" + suspect.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "line 1 昂昂自若: not a Hanyu Pinyin syllable: syllable “roò”\n"
                   "line 3 一心一意: initials differ from the pinyin: initials yxy, the pinyin gives yxyy\n"
                   "line 3 一心一意: idiom repeated: as on line 2\n"
                   "line 3 一心一意: source not in the format: “论语” is neither “无” nor written "
                   "朝代·作者《书名·篇名》：“原文”\n" +
                       suspect.string() +
                       ": loads, 3 idioms; the strict check found 4 faults: initials differ from the pinyin 1, "
                       "not a Hanyu Pinyin syllable 1, tone mark on the wrong letter 0, syllables and characters "
                       "differ in number 0, idiom repeated 1, field without text 0, not a reading of the character 0, "
                       "a word read two ways 0, example without the idiom 0, source not in the format 1, near or "
                       "opposite idiom not in the table 0, near or opposite idiom one way only 0, variant is a "
                       "headword 0, variant is a part of the idiom 0, an idiom reordered 0, too many near or "
                       "opposite idioms 0, a neutral-tone word read otherwise 0\n");
}

// The informative options, as GNU programs give them.
TEST(FindCli, HelpAndVersion) {
  for (const char* program : {"tessaly-find", "tessaly-import"}) {
    TempDir dir;
    Result r = testing::Run(dir, program, {"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), std::string(program) + " (Tessaly) 1.23.0.0");
    EXPECT_NE(r.out.find("License MIT"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("NO WARRANTY"), std::string::npos) << r.out;
    r = testing::Run(dir, program, {"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Exit status"), std::string::npos) << r.out;
  }
  const Result r = Find({"--help"});
  for (const char* word : {"precise", "fuzzy", "mixed", "meaning", "source", "--data", "--show", "-f, --file",
                           "TESSALY_DATA", "cy.dat"}) {
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  }
}

// A failed write to standard output is an error (exit 2, as grep), for
// every kind of output; a reader that went away is not reported.
TEST(FindCli, WriteErrorsAreErrors) {
  const std::vector<std::vector<std::string>> runs = {
      {"--data", kFixture, "天地"},       {"--data", kFixture, "--count", "天地"},
      {"--data", kFixture, "--json", "天地"}, {"--data", kFixture, "--show", "天地"},
      {"--check", kFixture},            {"--help"},
      {"--version"}};
  for (const auto& args : runs) {
    const Result r = Find(args, {"", "", "/dev/full"});
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_NE(r.err.find("cannot write to standard output: "), std::string::npos) << r.err;
  }
  TempDir dir;
  std::string many;
  for (int i = 0; i < 20000; ++i) many += Gbk("一心一意#yxyy#p#m#s#e\r\n");
  const auto data = dir.write("many.dat", many);
  const Result r = testing::Run(dir, "tessaly-find", {"--data", data.string(), "*"}, {"", "", "/dev/null"});
  EXPECT_EQ(r.status, 0);
  const std::string head = testing::Quote(std::string(TESSALY_BIN_DIR) + "/tessaly-find") + " --data " +
                           testing::Quote(data.string()) + " '*' 2>" + testing::Quote((dir.path() / "err").string()) +
                           " | head -n 1 >/dev/null";
  ASSERT_EQ(std::system(head.c_str()), 0);
  EXPECT_EQ(testing::ReadFile(dir.path() / "err"), "") << "| head stays silent";
}

// In a GB18030 locale a query typed in GB18030 finds what the UTF-8 one
// finds, rows and messages come back in GB18030 and in Chinese, file names
// as the user's bytes, and JSON stays UTF-8.
TEST(FindCli, LocaleEncodingAndLanguage) {
  TempDir dir;
  const std::string made = "localedef --no-archive -i zh_CN -f GB18030 " +
                           testing::Quote((dir.path() / "zh_CN.GB18030").string()) + " >/dev/null 2>&1";
  if (std::system(made.c_str()) != 0) GTEST_SKIP() << "localedef cannot make a GB18030 locale here";
  const std::string env = "env LOCPATH=" + testing::Quote(dir.path().string()) + " LC_ALL=zh_CN.GB18030";
  Result r = Find({"--data", kFixture, Gbk("天地")}, {env, "", ""});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Gbk("别有天地\n天地良心\n"));
  r = Find({"--data", kFixture, Gbk("  ")}, {env, "", ""});
  EXPECT_EQ(r.err, Gbk("tessaly-find: 查询为空：没有可查找的关键字\n"));
  r = Find({"--data", kFixture, "--show", Gbk("一心一意")}, {env, "", ""});
  EXPECT_EQ(r.out.substr(0, r.out.find('\n', r.out.find('\n') + 1) + 1), Gbk("一心一意\n拼音：yī xīn yī yì\n"));

  r = Find({"--data", kFixture, "--json", Gbk("天地")}, {env, "", ""});
  const nlohmann::json j = nlohmann::json::parse(r.out);  // UTF-8, or this throws
  EXPECT_EQ(j["rows"][1]["idiom"], "天地良心");

  // A file name in GB18030 bytes comes back as those bytes.
  const std::string name = (dir.path() / Gbk("词库.dat")).string();
  r = Find({"--data", name, "x"}, {env, "", ""});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(name), std::string::npos) << r.err;
}

// Running out of memory once ended in an uncaught bad_alloc (status 134):
// while loading a table, while reading a query file, while reading JSON
// to import. Under an address-space limit each ends with a message and
// status 2, where it does not fit.
struct OutOfMemoryCase {
  const char* name;
  const char* program;
  std::vector<std::string> args;  // BIG stands for the large input file
  const char* big;                // its name: a table, a query list or JSON
};

void PrintTo(const OutOfMemoryCase& c, std::ostream* os) { *os << c.name; }

class OutOfMemory : public ::testing::TestWithParam<OutOfMemoryCase> {};

TEST_P(OutOfMemory, IsAnErrorNotAnAbort) {
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
  // The sanitizers map their shadow memory at start, which no address-space
  // limit leaves room for, and their operator new ends the process itself
  // when memory runs out.
  GTEST_SKIP() << "no address-space limit can be set under a sanitizer";
#endif
  const OutOfMemoryCase& c = GetParam();
  TempDir dir;
  const std::string name = c.big;
  std::string bytes;
  const size_t size = size_t{48} << 20;
  if (name == "big.dat") {
    const std::string line = Gbk("一心一意#yxyy#yī xīn yī yì#心思专一，没有别的念头。#无#他一心一意地学琴。\r\n");
    while (bytes.size() < size) bytes += line;
  } else if (name == "big.txt") {
    while (bytes.size() < size * 2) bytes += "a\n";
  } else {
    bytes = "[";
    for (int i = 0; bytes.size() < size; ++i) {
      bytes += R"({"word":"成语)" + std::to_string(i) + R"(","pinyin":"chéng yǔ","explanation":"e"},)";
    }
    bytes += R"({"word":"三心二意"}])";
  }
  const auto big = dir.write(name, bytes);
  std::vector<std::string> args;
  for (const std::string& a : c.args) args.push_back(a == "BIG" ? big.string() : a == "OUT" ? (dir.path() / "out.dat").string() : a);
  const std::string limit = "prlimit --as=" + std::to_string(size_t{128} << 20);
  const Result r = testing::Run(dir, c.program, args, {limit, "", ""});
  // Done within the limit, or stopped with the message and status 2.
  if (r.status != 0) {
    EXPECT_EQ(r.status, 2) << r.err.substr(0, 2000);
    EXPECT_NE(r.err.find("out of memory"), std::string::npos) << r.err.substr(0, 2000);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Programs, OutOfMemory,
    ::testing::Values(OutOfMemoryCase{"LoadingTheTable", "tessaly-find", {"--data", "BIG", "--count", "一心"}, "big.dat"},
                      OutOfMemoryCase{"ReadingTheQueryFile", "tessaly-find", {"--count", "-f", "BIG"}, "big.txt"},
                      OutOfMemoryCase{"ImportingJson", "tessaly-import", {"-o", "OUT", "BIG"}, "big.json"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessaly
