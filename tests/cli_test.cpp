// End-to-end tests of tessaly-find on the fixture.
#include <gtest/gtest.h>

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

TEST(FindCli, ListsCountsAndJson) {
  Result r = Find({"--data", kFixture, "天地"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "别有天地\n天地良心\n");

  r = Find({"--data", kFixture, "--count", "天地"});
  EXPECT_EQ(r.out, "共查到 2 个成语！\n");

  r = Find({"--data", kFixture, "--mode", "fuzzy", "尚撞"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "做一天和尚，撞一天钟\n") << "rows are field 0 as stored";

  r = Find({"--data", kFixture, "--json", "ＴＩＡＮ 天地　y*s"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "{\"normalized\":\"ｔｉａｎ\u3000天地\u3000y*s\",\"keywords\":[\"ｔｉａｎ\",\"天地\",\"y*s\"],"
            "\"label\":\"共查到 2 个成语！\",\"notice\":\"通配符 * 在拼音查询中只能放在第一个位置，"
            "表示所有包含这个拼音的成语；拼音中的其他位置 * 无效\",\"hits\":2,"
            "\"rows\":[\"别有天地\",\"天地良心\"]}\n");

  r = Find({"--data", kFixture, "--json", "--mode", "meaning", "没有这个"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "{\"normalized\":\"没有这个\",\"keywords\":[\"没有这个\"],\"label\":\"共查到 0 个成语！\","
            "\"notice\":null,\"hits\":0,\"rows\":[]}\n");

  r = Find({"--data", kFixture, "*"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 12);

  // The searches of the menu 更多查找.
  const std::vector<std::pair<std::vector<std::string>, std::string>> more = {
      {{"--mode", "pinyin", "yi1xin1"}, "一心一意\n"},
      {{"--mode=pattern", "abac"}, "一生一世\n一心一意\n"},
      {{"--mode", "folded", "別有天地"}, "别有天地\n"},
      {{"--mode", "chain", "一心一意"}, "一生一世\n"},
  };
  for (const auto& [args, rows] : more) {
    std::vector<std::string> all = {"--data", kFixture};
    all.insert(all.end(), args.begin(), args.end());
    r = Find(all);
    EXPECT_EQ(r.status, 0) << args[1];
    EXPECT_EQ(r.out, rows) << args[1];
  }
  EXPECT_EQ(r.err, "tessaly-find: 同音接“yi”：1\n") << "the chain says which link it took";
}

TEST(FindCli, ExitStatusAndErrors) {
  EXPECT_EQ(Find({"--data", kFixture, "龘"}).status, 1);

  Result r = Find({"--data", kFixture, "  \u3000 "});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("查询为空"), std::string::npos) << r.err;

  r = Find({"--data", kFixture, "--bogus", "天"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--bogus"), std::string::npos);

  r = Find({"--data", kFixture, "--mode", "loose", "天"});
  EXPECT_EQ(r.status, 2);

  TempDir dir;
  const auto broken = dir.write("cy.dat", Gbk("一心一意#yxyy#p#m#s#e\r\n一二#a#b#c"));
  r = Find({"--data", broken.string(), "天"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("tessaly-find: 加载成语文件 cy.dat 失败！", 0), 0u) << r.err;
  EXPECT_NE(r.err.find(broken.string() + " 第 2 行"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line: " << r.err;

  r = Find({"--data", (dir.path() / "missing.dat").string(), "天"});
  EXPECT_EQ(r.status, 2);
}

TEST(FindCli, CheckListsEveryBrokenLine) {
  TempDir dir;
  const auto broken = dir.write(
      "cy.dat", Gbk("一心一意#yxyy#p#m#s#e\r\n一二#a#b#c\r\n\r\n三心二意#sxey#p##s#e\r\n，#a#b#c#d#e"));
  Result r = Find({"--check", broken.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "第 2 行：只有 4 个字段，至少需要 6 个（以 # 分隔）：一二#a#b#c\n"
            "第 3 行：空行\n"
            "第 4 行：第 4 个字段（释义）为空：三心二意#sxey#p##s#e\n"
            "第 5 行：成语字段只有全角逗号“，”：，#a#b#c#d#e\n" +
                broken.string() + "：4 行有问题，文件不能加载\n");

  r = Find({"--check", kFixture});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kFixture + "：可以加载，共 12 个成语\n");

  const auto badBytes = dir.write("bad.dat", Gbk("一心一意#yxyy#p#m#s#e\r\n") + "\xFF\xFF");
  r = Find({"--check", badBytes.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("第 2 行：含有不是 GBK 编码的字节"), std::string::npos) << r.out;

  EXPECT_EQ(Find({"--check", (dir.path() / "none").string()}).status, 1);

  // --strict: every fault of a file that loads, and a count per kind.
  r = Find({"--check", "--strict", kFixture});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kFixture + "：可以加载，共 12 个成语，严格检查没有发现问题\n");
  const auto suspect = dir.write("suspect.dat", Gbk("昂昂自若#aazr#áng áng zì roò#m#无#无\r\n"
                                                    "一心一意#yxyy#yī xīn yī yì#m#《论语》#无\r\n"
                                                    "一心一意#yxy#yī xīn yī yì#m#论语#无\r\n"));
  r = Find({"--strict", "--check=" + suspect.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "第 1 行 昂昂自若：不是汉语拼音音节：音节“roò”\n"
                   "第 3 行 一心一意：首字母与拼音不符：首字母 yxy，按拼音应为 yxyy\n"
                   "第 3 行 一心一意：成语重复：与第 2 行相同\n"
                   "第 3 行 一心一意：出处格式不对：“论语”既不是“无”，也不是 朝代·作者《书名·篇名》：“原文” 的格式\n" +
                       suspect.string() +
                       "：可以加载，共 3 个成语；严格检查发现 4 处问题：首字母与拼音不符 1，不是汉语拼音音节 1，"
                       "声调符号位置不对 0，音节数与字数不同 0，成语重复 1，字段没有内容 0，不是该字的读音 0，"
                       "同一个词读音不同 0，示例没有用到成语 0，出处格式不对 1，近义反义不在词库中 0，"
                       "近义反义不对称 0，又作也是词条 0\n");
  EXPECT_EQ(Find({"--strict", "一心"}).status, 2) << "--strict without --check";
}

// The options as GNU programs take them, and the two informative ones.
TEST(FindCli, OptionForms) {
  Result r = Find({"--data=" + kFixture, "--mode=fuzzy", "--", "一意"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "一心一意\n");
  EXPECT_EQ(Find({"--data", kFixture, "--", "-y"}).status, 1) << "after --, a dash starts a query";

  for (const char* program : {"tessaly-find", "tessaly-import"}) {
    TempDir dir;
    r = testing::Run(dir, program, {"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string(program) + " (Tessaly) 1.23.0.0\n");
    r = testing::Run(dir, program, {"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("退出状态"), std::string::npos) << r.out;
  }
  r = Find({"--help"});
  for (const char* mode : {"precise", "fuzzy", "mixed", "meaning", "source", "--data", "cy.dat"}) {
    EXPECT_NE(r.out.find(mode), std::string::npos) << mode;
  }
}

// A failed write to standard output is an error (exit 2, as grep), for
// every kind of output; a reader that went away is not reported.
TEST(FindCli, WriteErrorsAreErrors) {
  const std::vector<std::vector<std::string>> runs = {
      {"--data", kFixture, "天地"}, {"--data", kFixture, "--count", "天地"},
      {"--data", kFixture, "--json", "天地"}, {"--check", kFixture}, {"--help"}, {"--version"}};
  for (const auto& args : runs) {
    const Result r = Find(args, {"", "", "/dev/full"});
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_NE(r.err.find("写入标准输出失败："), std::string::npos) << r.err;
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
// finds, and the rows and messages come back in GB18030.
TEST(FindCli, LocaleEncoding) {
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
}

// Running out of memory while loading once ended in an uncaught bad_alloc
// (status 134); it is a load failure like any other.
TEST(FindCli, OutOfMemoryWhileLoadingIsAnError) {
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
  // The sanitizers map their shadow memory at start, which no address-space
  // limit leaves room for, and their operator new ends the process itself
  // when memory runs out.
  GTEST_SKIP() << "no address-space limit can be set under a sanitizer";
#endif
  TempDir dir;
  std::string table;
  const std::string line = Gbk("一心一意#yxyy#yī xīn yī yì#心思专一，没有别的念头。#无#他一心一意地学琴。\r\n");
  while (table.size() < (size_t{48} << 20)) table += line;
  const auto data = dir.write("big.dat", table);
  const std::string limit = "prlimit --as=" + std::to_string(size_t{128} << 20);
  const Result r = testing::Run(dir, "tessaly-find", {"--data", data.string(), "--count", "一心"}, {limit, "", ""});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("内存不足"), std::string::npos) << r.err;
}

TEST(FindCli, DefaultDataBesideTheProgram) {
  const Result r = Find({"一心一意"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "一心一意\n");
}

}  // namespace
}  // namespace tessaly
