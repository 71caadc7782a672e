// Tests of tessaly-import on JSON fixtures of our own, and of the bundled
// data's consistency.
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

Result Import(const TempDir& dir, const std::vector<std::string>& args) {
  return testing::Run(dir, "tessaly-import", args);
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
  EXPECT_NE(r.out.find("写入 5 个成语（新增 5 个），跳过 4 个"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("第 5 条：缺少 word（成语）"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("第 7 条：不是对象"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("第 8 条（一心一意）：成语重复"), std::string::npos) << r.err;

  const std::string bytes = ReadFile(output);
  EXPECT_NE(bytes.substr(bytes.size() - 2), "\r\n") << "no blank last line";
  std::u16string text;
  size_t bad = 0;
  ASSERT_TRUE(DecodeGbk(bytes, text, bad));
  EXPECT_EQ(S(text),
            "一心一意#yxyy#yī xīn yī yì#心思\"专一\"#无#他 一心 一意\r\n"
            "绿水青山#lsqs#lǜ shuǐ qīng shān#山＃水#无#春天\r\n"
            "女中豪杰#nzhj#Nǚ zhōng háo jié#x#y#z\r\n"
            "𠮷祥如意#jxry#jí xiáng rú yì#不在 GBK 里的字#无#例\r\n"
            "做一天和尚，撞一天钟#zythszytz#zuò yī tiān hé shàng，zhuàng yī tiān zhōng#得过且过#无#例");

  // Round trip: the file loads and finds what it should.
  const LoadResult loaded = LoadIdiomFile(output);
  ASSERT_TRUE(loaded.ok()) << loaded.error.reason;
  EXPECT_EQ(RunSearch(loaded.table, CheckQuery(u"lsqs").keywords, SearchMode::Precise).hitCount, 1);
  EXPECT_EQ(RunSearch(loaded.table, CheckQuery(u"*hszyt").keywords, SearchMode::Precise).hitCount, 1);
  EXPECT_EQ(RunSearch(loaded.table, CheckQuery(u"＃").keywords, SearchMode::Meaning).hitCount, 1);
  EXPECT_EQ(S(loaded.table.field(3, 0)), "𠮷祥如意");
}

TEST(Import, AppendAndMergeWithoutDuplicates) {
  TempDir dir;
  const auto first = dir.write("a.json", R"([{"word":"天长地久","pinyin":"tiān cháng dì jiǔ"}])");
  const auto second = dir.write("b.json", R"([{"word":"天长地久","pinyin":"x"},{"word":"地久天长","pinyin":"dì jiǔ tiān cháng"}])");
  const auto output = dir.path() / "cy.dat";
  ASSERT_EQ(Import(dir, {"-o", output.string(), first.string(), second.string()}).status, 0);
  EXPECT_EQ(LoadIdiomFile(output).table.size(), 2);

  const auto third = dir.write("c.json", R"([{"word":"地久天长","pinyin":"y"},{"word":"天荒地老","pinyin":"tiān huāng dì lǎo"}])");
  const Result r = Import(dir, {"--append", "-o", output.string(), third.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("写入 3 个成语（新增 1 个），跳过 1 个"), std::string::npos) << r.out;
  const LoadResult loaded = LoadIdiomFile(output);
  ASSERT_EQ(loaded.table.size(), 3);
  EXPECT_EQ(S(loaded.table.field(1, 1)), "djtc") << "the first record of an idiom wins";
  EXPECT_EQ(S(loaded.table.field(2, 0)), "天荒地老");
}

TEST(Import, MalformedInputWritesNothing) {
  TempDir dir;
  const auto broken = dir.write("bad.json", "[\n  {\"word\": \"一心一意\",\n   \"pinyin\": }\n]");
  const auto output = dir.path() / "cy.dat";
  Result r = Import(dir, {"-o", output.string(), broken.string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("不是有效的 JSON（第 3 行第 14 列）"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_FALSE(std::filesystem::exists(output.string() + ".part"));

  // An existing output stays as it was.
  const auto good = dir.write("good.json", R"([{"word":"一心一意","pinyin":"yī xīn yī yì"}])");
  ASSERT_EQ(Import(dir, {"-o", output.string(), good.string()}).status, 0);
  const std::string before = ReadFile(output);
  EXPECT_EQ(Import(dir, {"-o", output.string(), good.string(), broken.string()}).status, 2);
  EXPECT_EQ(ReadFile(output), before);

  EXPECT_EQ(Import(dir, {"-o", output.string(), dir.write("obj.json", "{}").string()}).status, 2);
  EXPECT_EQ(Import(dir, {"-o", output.string()}).status, 2);
  EXPECT_EQ(Import(dir, {"-o", output.string(), (dir.path() / "missing.json").string()}).status, 2);
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

// The bundled database: it loads, every field holds text, no idiom twice,
// and the initials agree with the pinyin's syllables and the idiom's length.
TEST(BundledData, IsConsistent) {
  const LoadResult r = LoadIdiomFile(std::filesystem::path(TESSALY_BIN_DIR) / "cy.dat");
  ASSERT_TRUE(r.ok()) << r.error.line << " " << r.error.reason;
  std::set<std::u16string> seen;
  for (int32_t i = 0; i < r.table.size(); ++i) {
    const IdiomRecord rec = r.table.record(i);
    const std::string idiom = S(rec.Fields[0]);
    EXPECT_EQ(rec.Fields.size(), 6u) << idiom;
    EXPECT_TRUE(seen.insert(std::u16string(rec.Fields[0])).second) << "twice: " << idiom;
    EXPECT_EQ(S(InitialsFromPinyin(rec.Fields[2])), S(rec.Fields[1])) << idiom;
    EXPECT_EQ(rec.Fields[1].size(), rec.IdiomChars.size()) << idiom << ": one initial per character";
    for (std::u16string_view f : rec.Fields) {
      EXPECT_FALSE(f.empty()) << idiom;
      EXPECT_EQ(f.find_first_not_of(u' '), 0u) << idiom << ": no leading blank";
    }
  }
}

}  // namespace
}  // namespace tessaly
