// Tests of the 生词本: its file, its exports and what an import reads back.
#include "wordbook.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace tessaly {
namespace {

using testing::S;
using testing::U;

Wordbook BookOf(const std::vector<std::string>& idioms) {
  Wordbook book;
  for (const std::string& idiom : idioms) book.add(U(idiom));
  return book;
}

std::vector<std::string> IdiomsOf(const std::vector<std::u16string>& idioms) {
  std::vector<std::string> out;
  for (const std::u16string& idiom : idioms) out.push_back(S(idiom));
  return out;
}

// A table whose texts hold what CSV and HTML must escape.
const IdiomTable& Table() {
  static const IdiomTable table = testing::TableOf({
      "一心一意#yxyy#yī xīn yī yì#心思专一，没有别的念头。#无#她一心一意地练琴。",
      "天外有天#twyt#tiān wài yǒu tiān#说“好”,再说\n一遍#<书> & 注#例",
  });
  return table;
}

TEST(Wordbook, KeepsEachIdiomOnceInTheOrderKept) {
  Wordbook book = BookOf({"一心一意", "天外有天"});
  EXPECT_FALSE(book.add(u"一心一意"));
  EXPECT_FALSE(book.add(u""));
  EXPECT_EQ(book.merge({u"三心二意", u"天外有天", u"三心二意", u"守株待兔"}), 2);
  EXPECT_TRUE(book.remove(u"天外有天"));
  EXPECT_FALSE(book.remove(u"天外有天"));
  EXPECT_EQ(IdiomsOf(book.idioms()), (std::vector<std::string>{"一心一意", "三心二意", "守株待兔"}));
}

TEST(Wordbook, FileRoundTripAndHandEditedFiles) {
  const Wordbook book = BookOf({"一心一意", "做一天和尚，撞一天钟"});
  const std::string text = WordbookFileText(book);
  EXPECT_EQ(text, "Tessaly 生词本\n一心一意\n做一天和尚，撞一天钟\n");
  Result<Wordbook> back = ParseWordbook(text);
  ASSERT_TRUE(back.ok()) << back.error().reason;
  EXPECT_EQ(back->idioms(), book.idioms());
  // An editor's CR LF, blank lines, spaces and an idiom typed twice.
  back = ParseWordbook("Tessaly 生词本\r\n一心一意\r\n\r\n 三心二意\r\n一心一意");
  ASSERT_TRUE(back.ok()) << back.error().reason;
  EXPECT_EQ(IdiomsOf(back->idioms()), (std::vector<std::string>{"一心一意", "三心二意"}));
  EXPECT_TRUE(ParseWordbook("").ok());
}

TEST(Wordbook, BrokenFilesAreErrorsWithTheirPlace) {
  struct Case {
    const char* name;
    std::string bytes;
    ErrorKind kind;
    int64_t line;
    int64_t offset;
  };
  for (const Case& c : std::vector<Case>{
           {"GBK", "Tessaly " + testing::Gbk("生词本") + "\n", ErrorKind::BadEncoding, 0, 8},
           {"cut UTF-8", "Tessaly 生词本\n一心\xE4\xB8", ErrorKind::BadEncoding, 0, 24},
           {"no header", "一心一意\n", ErrorKind::BadInput, 1, -1},
           {"a tab", "Tessaly 生词本\n一心一意\t1\n", ErrorKind::BadInput, 2, -1},
       }) {
    const Result<Wordbook> book = ParseWordbook(c.bytes);
    ASSERT_FALSE(book.ok()) << c.name;
    EXPECT_EQ(book.error().kind, c.kind) << c.name;
    EXPECT_EQ(book.error().line, c.line) << c.name;
    EXPECT_EQ(book.error().offset, c.offset) << c.name;
  }
}

TEST(Wordbook, SetAsideKeepsTheBytesUnderAFreeName) {
  testing::TempDir dir;
  const std::filesystem::path path = dir.write("wordbook.txt", "broken\xFF");
  dir.write("wordbook.txt.broken", "older");
  Result<std::filesystem::path> aside = SetAside(path);
  ASSERT_TRUE(aside.ok()) << aside.error().reason;
  EXPECT_EQ(aside->filename(), "wordbook.txt.broken-2");
  EXPECT_EQ(testing::ReadFile(*aside), "broken\xFF");
  EXPECT_EQ(testing::ReadFile(dir.path() / "wordbook.txt.broken"), "older");
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(WordbookExport, CsvQuotesWhatItMust) {
  const Wordbook book = BookOf({"天外有天", "一心一意", "不在表中"});
  EXPECT_EQ(WordbookCsv(book, Table()),
            "\xEF\xBB\xBF成语,拼音,释义,出处,示例\r\n"
            "天外有天,tiān wài yǒu tiān,\"说“好”,再说\n一遍\",<书> & 注,例\r\n"
            "一心一意,yī xīn yī yì,心思专一，没有别的念头。,无,她一心一意地练琴。\r\n"
            "不在表中,,,,\r\n");
}

TEST(WordbookExport, AnkiNotesEscapeHtml) {
  const Wordbook book = BookOf({"天外有天", "不在表中"});
  EXPECT_EQ(WordbookAnkiTsv(book, Table()),
            "#separator:tab\n#html:true\n"
            "天外有天\ttiān wài yǒu tiān<br>说“好”,再说 一遍<br>&lt;书&gt; &amp; 注\n"
            "不在表中\t\n");
}

// What an import reads: each export of the program, a 生词本 file and a
// plain list give back the idioms in their order.
TEST(WordbookImport, ReadsEveryExportBack) {
  const Wordbook book = BookOf({"天外有天", "一心一意", "A&B", "\"引\",号"});
  const std::vector<std::string> idioms = IdiomsOf(book.idioms());
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> idioms;
  };
  for (const Case& c : std::vector<Case>{
           {"CSV", WordbookCsv(book, Table()), idioms},
           {"Anki", WordbookAnkiTsv(book, Table()), idioms},
           {"生词本 file", WordbookFileText(book), idioms},
           {"plain list with blanks", "一心一意\r\n\r\n  三心二意 \n", {"一心一意", "三心二意"}},
           {"plain list with a BOM", "\xEF\xBB\xBF一心一意", {"一心一意"}},
           {"empty", "", {}},
       }) {
    const Result<std::vector<std::u16string>> read = ReadIdiomList(c.bytes);
    ASSERT_TRUE(read.ok()) << c.name << ": " << read.error().reason;
    EXPECT_EQ(IdiomsOf(*read), c.idioms) << c.name;
  }
  const Result<std::vector<std::u16string>> gbk = ReadIdiomList(testing::Gbk("一心一意"));
  ASSERT_FALSE(gbk.ok());
  EXPECT_EQ(gbk.error().kind, ErrorKind::BadEncoding);
}

}  // namespace
}  // namespace tessaly
