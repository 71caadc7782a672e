// Tests of tessaly-import on JSON fixtures of our own, and of the bundled
// data's consistency.
#include <sys/stat.h>

#include <set>

#include <gtest/gtest.h>

#include "pinyin.h"
#include "query.h"
#include "search_engine.h"
#include "test_util.h"

namespace tessaly {
namespace {

using testing::Gbk;
using testing::S;
using testing::TempDir;
using testing::U;

using Result = testing::ProgramRun;
using testing::ReadFile;

Result Import(const TempDir& dir, const std::vector<std::string>& args, const testing::Launch& launch = {}) {
  return testing::Run(dir, "tessaly-import", args, launch);
}

const char kJson[] = R"([
  {"word": "一心一意", "pinyin": "yī xīn yī yì", "abbreviation": "yxyy",
   "explanation": "心思\"专一\"", "derivation": "", "example": "他\n一心\r\n一意", "extra": 1},
  {"word": "绿水青山", "pinyin": "lǜ shuǐ qīng shān", "explanation": "山#水", "derivation": null,
   "example": "\u6625\u5929"},
  {"word": "女中豪杰", "pinyin": "Nǚ zhōng háo jié", "abbreviation": "", "explanation": "x",
   "derivation": "y", "example": "z"},
  {"word": "𠮷祥如意", "pinyin": "jí xiáng rú yì", "explanation": "不在 GBK 里的字",
   "derivation": "无", "example": "例"},
  {"word": "", "pinyin": "a"},
  {"pinyin": "no word"},
  "not an object",
  {"word": "一心一意", "pinyin": "again"},
  {"word": "做一天和尚，撞一天钟", "pinyin": "zuò yī tiān hé shàng，zhuàng yī tiān zhōng",
   "explanation": "得过且过", "derivation": "无", "example": "例"}
])";

TEST(Import, WritesLoadableFileInInputOrder) {
  TempDir dir;
  const auto input = dir.write("idioms.json", kJson);
  const auto output = dir.path() / "cy.dat";
  const Result r = Import(dir, {"-o", output.string(), input.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("wrote 4 idioms (4 new), skipped 5"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("record 4 (𠮷祥如意): holds “𠮷”, which GBK lacks"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("record 5: no word (the idiom)"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("record 7: not an object"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("record 8 (一心一意): the idiom is there already"), std::string::npos) << r.err;

  const std::string bytes = ReadFile(output);
  const tessaly::Result<std::u16string> text = DecodeGbk(bytes);
  ASSERT_TRUE(text.ok());
  EXPECT_EQ(S(*text),
            "一心一意#yxyy#yī xīn yī yì#心思\"专一\"#无#他 一心 一意\r\n"
            "绿水青山#lsqs#lǜ shuǐ qīng shān#山＃水#无#春天\r\n"
            "女中豪杰#nzhj#Nǚ zhōng háo jié#x#y#z\r\n"
            "做一天和尚，撞一天钟#zythszytz#zuò yī tiān hé shàng，zhuàng yī tiān zhōng#得过且过#无#例\r\n")
      << "GBK only, and CR LF after the last record too";

  // Round trip: the file loads and finds what it should.
  const testing::Loaded loaded = testing::Take(LoadIdiomFile(output));
  ASSERT_TRUE(loaded.ok()) << loaded.error.reason;
  const IdiomViews views;
  auto hits = [&](std::u16string_view query, SearchMode mode) {
    return RunSearch(loaded.table, views, CheckQuery(query)->keywords, mode)->hitCount;
  };
  EXPECT_EQ(hits(u"lsqs", SearchMode::Precise), 1);
  EXPECT_EQ(hits(u"*hszyt", SearchMode::Precise), 1);
  EXPECT_EQ(hits(u"＃", SearchMode::Meaning), 1);

  // Standard input as "-", and the same result.
  const Result piped = Import(dir, {"--output=" + (dir.path() / "piped.dat").string(), "--", "-"},
                              {"", input.string(), ""});
  ASSERT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(ReadFile(dir.path() / "piped.dat"), bytes);
}

// The public data set turns into its cy.dat byte for byte.
TEST(Import, PublicDataGivesItsDatFile) {
  const std::filesystem::path shared = std::filesystem::path(TESSALY_TEST_DATA) / "../../../shared/data";
  if (!std::filesystem::exists(shared / "idioms-a-g.json")) GTEST_SKIP() << "no public data beside the checkout";
  TempDir dir;
  const Result r = Import(dir, {"-o", (dir.path() / "cy.dat").string(), (shared / "idioms-a-g.json").string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(ReadFile(dir.path() / "cy.dat") == ReadFile(shared / "idioms-a-g.dat"));
}

TEST(Import, AppendAndMergeWithoutDuplicates) {
  TempDir dir;
  const auto first = dir.write("a.json", R"([{"word":"天长地久","pinyin":"tiān cháng dì jiǔ"}])");
  const auto second = dir.write("b.json", R"([{"word":"天长地久","pinyin":"x"},{"word":"地久天长","pinyin":"dì jiǔ tiān cháng"}])");
  const auto output = dir.path() / "cy.dat";
  ASSERT_EQ(Import(dir, {"-o", output.string(), first.string(), second.string()}).status, 0);
  EXPECT_EQ(LoadIdiomFile(output)->size(), 2);

  const auto third = dir.write("c.json", R"([{"word":"地久天长","pinyin":"y"},{"word":"天荒地老","pinyin":"tiān huāng dì lǎo"}])");
  const Result r = Import(dir, {"--append", "-o", output.string(), third.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("wrote 3 idioms (1 new), skipped 1"), std::string::npos) << r.out;
  const testing::Loaded loaded = testing::Take(LoadIdiomFile(output));
  ASSERT_EQ(loaded.table.size(), 3);
  EXPECT_EQ(S(loaded.table.field(1, Field::Initials)), "djtc") << "the first record of an idiom wins";
  EXPECT_EQ(S(loaded.table.field(2, Field::Idiom)), "天荒地老");

  // --strict skips what the strict check finds in the new records.
  const auto suspect = dir.write("d.json", R"([{"word":"昂昂自若","pinyin":"áng áng zì roò"},{"word":"安然无恙","pinyin":"ān rán wú yàng","explanation":"平安，没有损伤。"}])");
  const Result strict = Import(dir, {"--append", "--strict", "-o", output.string(), suspect.string()});
  ASSERT_EQ(strict.status, 0) << strict.err;
  EXPECT_NE(strict.err.find("record 1 (昂昂自若): strict check: not a Hanyu Pinyin syllable: syllable “roò”"), std::string::npos) << strict.err;
  EXPECT_EQ(LoadIdiomFile(output)->size(), 4);
}

TEST(Import, MalformedInputWritesNothing) {
  TempDir dir;
  const auto broken = dir.write("bad.json", "[\n  {\"word\": \"一心一意\",\n   \"pinyin\": }\n]");
  const auto output = dir.path() / "cy.dat";
  Result r = Import(dir, {"-o", output.string(), broken.string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("is not valid JSON (line 3, column 14)"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(output));

  // An existing output stays as it was.
  const auto good = dir.write("good.json", R"([{"word":"一心一意","pinyin":"yī xīn yī yì"}])");
  ASSERT_EQ(Import(dir, {"-o", output.string(), good.string()}).status, 0);
  const std::string before = ReadFile(output);
  EXPECT_EQ(Import(dir, {"-o", output.string(), good.string(), broken.string()}).status, 2);
  EXPECT_EQ(ReadFile(output), before);

  EXPECT_EQ(Import(dir, {"-o", output.string(), dir.write("obj.json", "{}").string()}).status, 2);
  EXPECT_EQ(Import(dir, {"-o", output.string(), dir.write("huge.json", "[2e218030]").string()}).status, 2)
      << "a number beyond double's range is an error, not a crash";
  EXPECT_EQ(Import(dir, {"-o", output.string()}).status, 2);
  EXPECT_EQ(Import(dir, {"-o", output.string(), (dir.path() / "missing.json").string()}).status, 2);
  EXPECT_EQ(ReadFile(output), before);
}

// The output is replaced whole or not at all, and keeps what the user set
// on it. Each case starts from a 1.5 MB cy.dat (mode 640) that must stay
// byte for byte as it was whenever the import fails.
TEST(Import, OutputIsReplacedSafelyOrNotAtAll) {
  TempDir dir;
  const auto good = dir.write("good.json", R"([{"word":"一心一意","pinyin":"yī xīn yī yì",
      "explanation":"心思专一，没有别的念头。","example":"她一心一意地练琴。"}])");
  const std::filesystem::path out = dir.path() / "cy.dat";
  std::string big;
  while (big.size() < 1500000) big += Gbk("一心一意#yxyy#yī xīn yī yì#心思专一。#无#例句。\r\n");
  auto reset = [&] {
    std::filesystem::remove(out);
    dir.write("cy.dat", big);
    std::filesystem::permissions(out, std::filesystem::perms(0640));
  };
  auto temporaries = [&] {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) n += e.path().filename().string()[0] == '.';
    return n;
  };

  // A write cut short by the file-size limit is an error, not "wrote 1 idioms"
  // (the limit cuts the message on stderr too).
  reset();
  Result r = Import(dir, {"-o", out.string(), good.string()}, {"prlimit --fsize=40", "", ""});
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_TRUE(ReadFile(out) == big);
  EXPECT_EQ(temporaries(), 0) << "the temporary file is removed";

  // Nothing to write: refused unless asked for.
  const auto empty = dir.write("empty.json", "[]");
  const auto other = dir.write("other.json", R"({"idioms": []})");
  for (const auto& input : {empty, other, dir.write("schema.json", R"([{"name": "x"}])")}) {
    r = Import(dir, {"-o", out.string(), input.string()});
    EXPECT_EQ(r.status, 2) << input;
    EXPECT_TRUE(ReadFile(out) == big) << input;
  }
  EXPECT_NE(r.err.find("--allow-empty"), std::string::npos) << r.err;
  r = Import(dir, {"--allow-empty", "-o", (dir.path() / "empty.dat").string(), empty.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "empty.dat") && ReadFile(dir.path() / "empty.dat").empty());

  // The input itself, also through a link, is never the output.
  std::filesystem::create_symlink(good, dir.path() / "alias.json");
  const std::string json = ReadFile(good);
  for (const auto& target : {good, dir.path() / "alias.json"}) {
    EXPECT_EQ(Import(dir, {"-o", target.string(), good.string()}).status, 2);
    EXPECT_EQ(ReadFile(good), json);
  }

  // A FIFO or a folder at the output path is refused (a device likewise).
  ASSERT_EQ(mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(dir.path() / "folder");
  for (const char* node : {"fifo", "folder"}) {
    r = Import(dir, {"-o", (dir.path() / node).string(), good.string()});
    EXPECT_EQ(r.status, 2) << node;
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir.path() / "fifo"));

  // A link planted where an old importer put its temporary file is neither
  // followed nor removed.
  reset();
  const auto victim = dir.write("victim.txt", "keep me");
  std::filesystem::create_symlink(victim, out.string() + ".part");
  ASSERT_EQ(Import(dir, {"-o", out.string(), good.string()}).status, 0);
  EXPECT_EQ(ReadFile(victim), "keep me");
  EXPECT_TRUE(std::filesystem::is_symlink(out.string() + ".part"));
  EXPECT_EQ(std::filesystem::status(out).permissions(), std::filesystem::perms(0640)) << "mode kept";
  EXPECT_EQ(LoadIdiomFile(out)->size(), 1);

  // A link at the output path is written through to its target.
  reset();
  std::filesystem::create_symlink(out, dir.path() / "link.dat");
  ASSERT_EQ(Import(dir, {"-o", (dir.path() / "link.dat").string(), good.string()}).status, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.dat"));
  EXPECT_EQ(LoadIdiomFile(out)->size(), 1);

  // A file with a second hard link cannot be replaced without the other
  // name keeping the old text: refused, both names unchanged.
  reset();
  std::filesystem::create_hard_link(out, dir.path() / "hard.dat");
  r = Import(dir, {"-o", out.string(), good.string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("hard links"), std::string::npos) << r.err;
  EXPECT_TRUE(ReadFile(out) == big);
  EXPECT_EQ(std::filesystem::hard_link_count(out), 2u);
  EXPECT_EQ(temporaries(), 0);
}

// Without -o the import goes to the user's own table, which the finder
// then reads; "-o -" writes standard output and nothing else.
TEST(Import, UserTableAndStandardOutput) {
  TempDir dir;
  const auto input = dir.write("idioms.json", kJson);
  Result r = Import(dir, {input.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto user = dir.path() / "xdg" / "tessaly" / "cy.dat";
  EXPECT_NE(r.out.find(user.string()), std::string::npos) << r.out;
  EXPECT_EQ(LoadIdiomFile(user)->size(), 4);
  EXPECT_EQ(testing::Run(dir, "tessaly-find", {"--count", "女中豪杰"}).out, "1\n") << "the finder reads it";

  r = Import(dir, {"-o", "-", input.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, ReadFile(user));
  EXPECT_NE(r.err.find("wrote 4 idioms"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "-"));
  EXPECT_EQ(Import(dir, {"--append", "-o", "-", input.string()}).status, 2);
}

// Two imports into one table at once: the second waits, and neither loses
// the other's records (once both exited 0 with one run's records gone).
TEST(Import, ConcurrentAppendsKeepEveryRecord) {
  TempDir dir;
  auto records = [](char tag) {
    std::string json = "[";
    for (int i = 0; i < 20000; ++i) {
      json += std::string(i > 0 ? "," : "") + R"({"word":"成语)" + tag + std::to_string(i) + R"(","pinyin":"chéng yǔ"})";
    }
    return json + "]";
  };
  const auto a = dir.write("a.json", records('A'));
  const auto b = dir.write("b.json", records('B'));
  const auto out = dir.path() / "cy.dat";
  const std::string import = testing::Quote(std::string(TESSALY_BIN_DIR) + "/tessaly-import");
  const std::string both = "cd " + testing::Quote(dir.path().string()) + " && (" + import + " --append -o cy.dat a.json" +
                           " >/dev/null 2>&1 & " + import + " --append -o cy.dat b.json >/dev/null 2>&1 & wait)";
  ASSERT_EQ(std::system(both.c_str()), 0);
  EXPECT_EQ(LoadIdiomFile(out)->size(), 40000);
}

// Temporary files: a writer killed before it could clean up leaves one; the
// next write into the folder removes it, but never a live writer's. Any
// name the file system takes can be written, and a replaced output whose
// report cannot be written says so with its own status.
TEST(Import, TemporaryFilesAndTheOutputsFate) {
  TempDir dir;
  const auto good = dir.write("good.json", R"([{"word":"一心一意","pinyin":"yī xīn yī yì"}])");
  const auto stale = dir.write(".tessaly-Ab12Cd", "left by a killed run");
  const auto live = dir.write(".tessaly-Ef34Gh", "being written");
  const std::string hold = "flock " + testing::Quote(live.string()) + " sleep 3 & sleep 0.5";
  ASSERT_EQ(std::system(hold.c_str()), 0);
  ASSERT_EQ(Import(dir, {"-o", (dir.path() / "cy.dat").string(), good.string()}).status, 0);
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(live)) << "a locked temporary file is a live writer's";

  const std::string longest = std::string(251, 'x') + ".dat";
  Result r = Import(dir, {"-o", (dir.path() / longest).string(), good.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(LoadIdiomFile(dir.path() / longest)->size(), 1);
  r = Import(dir, {"-o", (dir.path() / (std::string(256, 'y') + ".dat")).string(), good.string()});
  EXPECT_EQ(r.status, 2) << "a name the file system refuses is an error, not an abort";

  std::filesystem::create_symlink("loop", dir.path() / "loop");
  r = Import(dir, {"--append", "-o", (dir.path() / "loop").string(), good.string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot append"), std::string::npos) << r.err;

  r = Import(dir, {"-o", (dir.path() / "full.dat").string(), good.string()}, {"", "", "/dev/full"});
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_NE(r.err.find("was replaced"), std::string::npos) << r.err;
  EXPECT_EQ(LoadIdiomFile(dir.path() / "full.dat")->size(), 1);
}

TEST(InitialsFromPinyin, SyllablesToLetters) {
  EXPECT_EQ(S(InitialsFromPinyin(u"lǜ shuǐ qīng shān")), "lsqs");
  EXPECT_EQ(S(InitialsFromPinyin(u"Nǚ zhōng háo jié")), "nzhj");
  EXPECT_EQ(S(InitialsFromPinyin(u"xī'ān")), "xa");
  EXPECT_EQ(S(InitialsFromPinyin(u"zuò yī tiān hé shàng，zhuàng yī tiān zhōng")), "zythszytz");
  EXPECT_EQ(S(InitialsFromPinyin(u"ǎi")), "a");
  EXPECT_EQ(S(InitialsFromPinyin(u"a\u0304n ji\u0300")), "aj") << "combining marks";
  EXPECT_EQ(S(InitialsFromPinyin(u"ńg ḿ")), "nm");
  EXPECT_EQ(S(InitialsFromPinyin(u"")), "");
}

}  // namespace
}  // namespace tessaly
