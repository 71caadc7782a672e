// Tests of the idiom table and its loader.
#include "idiom_file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "file_io.h"

#include "test_util.h"

namespace tessaly {
namespace {

using testing::Gbk;
using testing::S;
using testing::TempDir;
using testing::U;

const std::string kGood = "一心一意#yxyy#yī xīn yī yì#专一#无#例句";

struct FormatCase {
  const char* name;
  std::string bytes;
  ErrorKind kind;
  int64_t line;    // line of the error, or records loaded when kind is None
  int field = -1;  // the empty field, for EmptyField
};

// Test names carry the case; print only its name.
void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }


class LoaderFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(LoaderFormat, LoadsOrNamesLineAndReason) {
  const FormatCase& c = GetParam();
  const testing::Loaded r = testing::Take(ParseIdiomText(c.bytes));
  EXPECT_EQ(r.error.kind, c.kind) << r.error.reason;
  if (c.kind == ErrorKind::None) {
    EXPECT_EQ(r.table.size(), c.line);
  } else {
    EXPECT_EQ(r.error.line, c.line);
    EXPECT_EQ(r.error.field, c.field);
    EXPECT_FALSE(r.error.reason.empty());
    EXPECT_EQ(r.table.size(), 0) << "records before the faulty line must not be kept";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LoaderFormat,
    ::testing::Values(
        FormatCase{"EmptyFile", "", ErrorKind::None, 0},
        FormatCase{"OneLineNoLineEnd", Gbk(kGood), ErrorKind::None, 1},
        FormatCase{"OneLineEndsWithCrLf", Gbk(kGood + "\r\n"), ErrorKind::None, 1},
        FormatCase{"CrOnlyLineEnds", Gbk(kGood + "\r" + kGood + "\r" + kGood), ErrorKind::None, 3},
        FormatCase{"LoneLfStaysInLineOfACrFile", Gbk(kGood + "\n" + kGood + "\r\n"), ErrorKind::None, 1},
        FormatCase{"LfOnlyFileEndsLinesWithLf", Gbk(kGood + "\n" + kGood + "\n" + kGood + "\n"),
                   ErrorKind::None, 3},
        FormatCase{"LfOnlyBlankLastLine", Gbk(kGood + "\n\n"), ErrorKind::BlankLine, 2},
        FormatCase{"LfOnlyBadByteNamesItsLine", Gbk(kGood + "\n" + kGood + "\n") + "\x81\x20#a#b#c#d#e",
                   ErrorKind::BadEncoding, 3},
        FormatCase{"SevenFieldsLoad", Gbk(kGood + "#多余"), ErrorKind::None, 1},
        FormatCase{"BlankLineInMiddle", Gbk(kGood + "\r\n\r\n" + kGood), ErrorKind::BlankLine, 2},
        FormatCase{"EmptyLastLine", Gbk(kGood + "\r\n\r\n"), ErrorKind::BlankLine, 2},
        FormatCase{"OnlyLineEnd", "\r\n", ErrorKind::BlankLine, 1},
        FormatCase{"CrThenCrLfIsBlankLine", Gbk(kGood + "\r\r\n" + kGood), ErrorKind::BlankLine, 2},
        FormatCase{"FiveFields", Gbk(kGood + "\r\n一二三四#a#b#c#d"), ErrorKind::TooFewFields, 2},
        FormatCase{"TrailingHashMakesLastFieldEmpty", Gbk("一二三四#a#b#c#d#"),
                   ErrorKind::EmptyField, 1, 5},
        FormatCase{"EmptyIdiom", Gbk("#a#b#c#d#e"), ErrorKind::EmptyField, 1, 0},
        FormatCase{"EmptyMeaning", Gbk(kGood + "\r\n一二三四#a#b##d#e"), ErrorKind::EmptyField, 2, 3},
        FormatCase{"IdiomOfCommasOnly", Gbk("，，#a#b#c#d#e"), ErrorKind::IdiomOnlyCommas, 1, 0},
        FormatCase{"BadGbkBytesNameTheirLine", Gbk(kGood + "\r\n") + "\x81\x20#a#b#c#d#e",
                   ErrorKind::BadEncoding, 2},
        FormatCase{"NulInsideLine", Gbk(kGood) + std::string("\0", 1), ErrorKind::NulCharacter, 1}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

TEST(IdiomTable, CommaSayingKeepsCommaInFieldButNotInChars) {
  const testing::Loaded r = testing::Take(ParseIdiomText(Gbk("做一天和尚，撞一天钟#zythszytz#p#m#s#e")));
  ASSERT_TRUE(r.ok());
  const IdiomRecord rec = r.table.record(0);
  EXPECT_EQ(S(rec.Fields[0]), "做一天和尚，撞一天钟");
  EXPECT_EQ(S(rec.IdiomChars), "做一天和尚撞一天钟");
  EXPECT_EQ(rec.IdiomLast, 8);
}

TEST(IdiomTable, RecordsKeepEveryFieldAsSplit) {
  const testing::Loaded r = testing::Take(ParseIdiomText(Gbk(kGood + "#六#\r\n" + kGood + "\n跨行")));
  ASSERT_TRUE(r.ok()) << r.error.reason;
  ASSERT_EQ(r.table.size(), 2);
  const IdiomRecord first = r.table.record(0);
  ASSERT_EQ(first.Fields.size(), 8u);
  EXPECT_EQ(S(first.Fields[6]), "六");
  EXPECT_EQ(S(first.Fields[7]), "");
  EXPECT_EQ(r.table.record(1).Fields.size(), 6u);
  EXPECT_EQ(S(r.table.field(1, Field::Example)), "例句\n跨行") << "a lone LF stays inside the line";
}

TEST(IdiomTable, CharactersBeyondBmpTakeTwoUnits) {
  // U+20BB7 is outside GBK; GB18030 writes it with four bytes.
  const testing::Loaded r = testing::Take(ParseIdiomText(Gbk("\xF0\xA0\xAE\xB7一#a#b#c#d#e")));
  ASSERT_TRUE(r.ok()) << r.error.reason;
  EXPECT_EQ(r.table.IdiomLast(0), 2);
}

TEST(IdiomTable, Utf8FilesLoadWithTheirText) {
  for (const std::string& prefix : {std::string(), std::string("\xEF\xBB\xBF")}) {
    const testing::Loaded r = testing::Take(ParseIdiomText(prefix + kGood + "\r\n" + kGood));
    ASSERT_TRUE(r.ok()) << r.error.reason;
    ASSERT_EQ(r.table.size(), 2);
    EXPECT_EQ(S(r.table.field(0, Field::Idiom)), "一心一意");
    EXPECT_EQ(S(r.table.field(1, Field::Pinyin)), "yī xīn yī yì");
  }
  // A bad byte of a UTF-8 file, with or without the mark, is named in UTF-8
  // terms at its own line and offset.
  for (const std::string& prefix : {std::string(), std::string("\xEF\xBB\xBF")}) {
    const std::string bytes = prefix + kGood + "\r\n" + kGood + "\r\n\xE4\xB8#a#b#c#d#e";
    const testing::Loaded broken = testing::Take(ParseIdiomText(bytes));
    EXPECT_EQ(broken.error.kind, ErrorKind::BadEncoding);
    EXPECT_EQ(broken.error.line, 3);
    EXPECT_EQ(broken.error.offset, static_cast<int64_t>(bytes.find("\xE4\xB8#")));
    EXPECT_NE(broken.error.reason.find("UTF-8 text (byte " + std::to_string(bytes.find("\xE4\xB8#") + 1)),
              std::string::npos) << broken.error.reason;
  }
  // GBK whose bytes happen to be well-formed UTF-8 (一丝 reads as two
  // Cyrillic and modifier letters) is still GBK.
  const testing::Loaded gbk = testing::Take(ParseIdiomText(Gbk("一丝#ys#yī sī#a#b#c")));
  ASSERT_TRUE(gbk.ok()) << gbk.error.reason;
  EXPECT_EQ(S(gbk.table.field(0, Field::Idiom)), "一丝");
}

TEST(IdiomTable, FilesOnDisk) {
  TempDir dir;
  const testing::Loaded missing = testing::Take(LoadIdiomFile(dir.path() / "cy.dat"));
  EXPECT_EQ(missing.error.kind, ErrorKind::CannotOpen);
  EXPECT_EQ(missing.error.line, 0);

  const testing::Loaded fixture = testing::Take(LoadIdiomFile(testing::FixturePath()));
  ASSERT_TRUE(fixture.ok()) << fixture.error.reason;
  EXPECT_EQ(fixture.table.size(), 12);
  EXPECT_EQ(S(fixture.table.field(7, Field::Idiom)), "做一天和尚，撞一天钟");

  // What is not a regular file is refused at once, without reading: a FIFO
  // with no writer would block the open forever, a device read forever.
  ASSERT_EQ(mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
  for (const std::filesystem::path& p : {dir.path(), dir.path() / "fifo", std::filesystem::path("/dev/zero")}) {
    const testing::Loaded r = testing::Take(LoadIdiomFile(p));
    EXPECT_EQ(r.error.kind, ErrorKind::NotRegularFile) << p << r.error.reason;
  }
  // A file beyond the size bound is refused from its size (a sparse file:
  // nothing is written or read).
  const std::filesystem::path big = dir.path() / "big.dat";
  std::ofstream(big).put('x');
  std::filesystem::resize_file(big, kMaxFileBytes + 1);
  EXPECT_EQ(testing::Take(LoadIdiomFile(big)).error.kind, ErrorKind::TooLarge);
}

// A file read a few bytes at a time loads exactly as its bytes parsed in
// one piece: lines, CR LF pairs, UTF-8 characters and the encoding window
// cut at every place, a CR far behind LF line ends, a faulty line before a
// bad byte.
TEST(IdiomTable, FileReadInPiecesLoadsAsParsedWhole) {
  std::string crlf, lf, ascii;
  for (int i = 0; i < 300; ++i) {
    crlf += Gbk("一心一意" + std::to_string(i) + "#yxyy#yī xīn yī yì#心思专一，没有别的念头。#无#例句\r\n");
    lf += Gbk("做一天和尚，撞一天钟" + std::to_string(i) + "#zythszytz#p#m#s#e#七\n");
    ascii += "idiom" + std::to_string(i) + "#a#b#c#d#e" + std::string(static_cast<size_t>(i % 300), 'x') + "\r\n";
  }
  const std::vector<std::pair<const char*, std::string>> files = {
      {"crlf", crlf},
      {"cr-only", Gbk(kGood + "\r" + kGood + "\r")},
      {"lf-only", lf},
      {"lf-then-a-cr", lf + Gbk(kGood + "\r\n")},
      {"utf8-bom", "\xEF\xBB\xBF" + kGood + "\r\n" + kGood},
      {"utf8-after-ascii", ascii + kGood + "\r\n" + kGood + "\r\n"},
      {"gbk-after-ascii", ascii + Gbk(kGood)},
      {"long-line", Gbk("一心一意#yxyy#p#m#s#") + std::string(300000, 'a') + "\r\n" + Gbk(kGood)},
      {"faulty-line-then-bad-byte", Gbk(kGood + "\r\n一二#a\r\n") + crlf + "\x81\x20"},
      {"faulty-line", crlf + Gbk("一二三四#a#b##d#e\r\n") + crlf},
      {"blank-last-line", crlf + "\r\n"},
  };
  TempDir dir;
  for (const auto& [name, bytes] : files) {
    const testing::Loaded whole = testing::Take(ParseIdiomText(bytes));
    const auto path = dir.write(name, bytes);
    for (size_t piece : {size_t{3}, size_t{7}, size_t{64}, size_t{4096}, kReadBytes}) {
      const testing::Loaded read = testing::Take(LoadIdiomFile(path, piece));
      ASSERT_EQ(read.error.kind, whole.error.kind) << name << " " << piece << " " << read.error.reason;
      ASSERT_EQ(read.error.line, whole.error.line) << name << " " << piece;
      ASSERT_EQ(read.error.reason, whole.error.reason) << name << " " << piece;
      ASSERT_EQ(read.table.size(), whole.table.size()) << name << " " << piece;
      for (int32_t i = 0; i < whole.table.size(); ++i) {
        ASSERT_EQ(read.table.record(i).Fields, whole.table.record(i).Fields) << name << " " << piece << " " << i;
        ASSERT_EQ(read.table.IdiomChars(i), whole.table.IdiomChars(i));
      }
    }
    EXPECT_NE(whole.ok() ? whole.table.size() : 1, 0) << name;
  }
  EXPECT_EQ(testing::Take(ParseIdiomText(files[3].second)).table.size(), 1) << "a CR anywhere: LF stays inside lines";
  EXPECT_EQ(testing::Take(ParseIdiomText(files[5].second)).table.field(300, Field::Idiom), u"一心一意");
  EXPECT_EQ(testing::Take(ParseIdiomText(files[8].second)).error.kind, ErrorKind::BadEncoding);
}

TEST(IdiomTable, BundledDataLoads) {
  const testing::Loaded r = testing::Take(LoadIdiomFile(std::filesystem::path(TESSALY_BIN_DIR) / "cy.dat"));
  ASSERT_TRUE(r.ok()) << r.error.line << " " << r.error.reason;
  EXPECT_GE(r.table.size(), 60);
}

// Hostile files end in the failure path with a reason, quickly.
TEST(IdiomTable, HostileFilesFailWithAReason) {
  const std::string huge(20 * 1024 * 1024, 'a');
  testing::Loaded r = testing::Take(ParseIdiomText(huge));
  EXPECT_EQ(r.error.kind, ErrorKind::TooFewFields);
  EXPECT_EQ(r.error.line, 1);

  r = testing::Take(ParseIdiomText(std::string(1000000, '#')));
  EXPECT_EQ(r.error.kind, ErrorKind::EmptyField);
  EXPECT_EQ(r.error.field, 0);

  r = testing::Take(ParseIdiomText(std::string(100000, '\r')));
  EXPECT_EQ(r.error.kind, ErrorKind::BlankLine);
  EXPECT_EQ(r.error.line, 1);

  r = testing::Take(ParseIdiomText(std::string("\0\0\0\0", 4)));
  EXPECT_EQ(r.error.kind, ErrorKind::NulCharacter);

  // A long but well-formed record loads, and so do a million extra fields.
  r = testing::Take(ParseIdiomText(Gbk("一心一意#yxyy#p#m#s#") + huge));
  ASSERT_TRUE(r.ok()) << r.error.reason;
  EXPECT_EQ(r.table.field(0, Field::Example).size(), huge.size());
  r = testing::Take(ParseIdiomText(Gbk(kGood) + std::string(1000000, '#')));
  ASSERT_TRUE(r.ok()) << r.error.reason;
  EXPECT_EQ(r.table.record(0).Fields.size(), 1000006u);
}

struct CheckCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> found;  // "line kind" of every broken line, in file order
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class Checker : public ::testing::TestWithParam<CheckCase> {};

std::string Found(int64_t line, ErrorKind kind) { return std::to_string(line) + " " + std::to_string(static_cast<int>(kind)); }

// The checker lists every line that stops the load, each at its own line,
// whatever the pieces it reads, and a line with a bad byte among them.
TEST_P(Checker, ListsEveryBrokenLine) {
  const CheckCase& c = GetParam();
  std::vector<std::string> whole;
  const int64_t n = CheckIdiomText(c.bytes, [&](const LineProblem& p) {
    whole.push_back(std::to_string(p.error.line) + " " + std::to_string(static_cast<int>(p.error.kind)));
  });
  EXPECT_EQ(whole, c.found);
  EXPECT_EQ(n, static_cast<int64_t>(c.found.size()));
  TempDir dir;
  const auto path = dir.write("check.dat", c.bytes);
  for (size_t piece : {size_t{3}, size_t{5}, size_t{64}, kReadBytes}) {
    std::vector<std::string> read;
    const Result<int64_t> count = CheckIdiomFile(path, [&](const LineProblem& p) {
      read.push_back(std::to_string(p.error.line) + " " + std::to_string(static_cast<int>(p.error.kind)));
    }, piece);
    ASSERT_TRUE(count.ok());
    EXPECT_EQ(read, whole) << piece;
  }
  // A file the checker finds nothing in loads, and one it finds something
  // in does not, failing at the first line it names.
  const testing::Loaded loaded = testing::Take(ParseIdiomText(c.bytes));
  EXPECT_EQ(loaded.ok(), c.found.empty());
  if (!c.found.empty() && loaded.error.kind != ErrorKind::BadEncoding) {
    EXPECT_EQ(Found(loaded.error.line, loaded.error.kind), c.found[0]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Checker,
    ::testing::Values(
        CheckCase{"GoodFile", Gbk(kGood + "\r\n" + kGood), {}},
        CheckCase{"EveryBrokenLine", Gbk("\r\n" + kGood + "\r\n#\r\n" + kGood + "\r\nx"),
                  {Found(1, ErrorKind::BlankLine), Found(3, ErrorKind::TooFewFields), Found(5, ErrorKind::TooFewFields)}},
        CheckCase{"BadByteAmongOtherFaults", Gbk(kGood + "\r\n一二#a\r\n") + "\x81\x20#a#b#c#d#e\r\n" + Gbk("#b#c#d#e#f"),
                  {Found(2, ErrorKind::TooFewFields), Found(3, ErrorKind::BadEncoding), Found(4, ErrorKind::EmptyField)}},
        CheckCase{"LfOnlyFile", Gbk(kGood + "\n\n" + kGood + "\n一#a"),
                  {Found(2, ErrorKind::BlankLine), Found(4, ErrorKind::TooFewFields)}},
        CheckCase{"NulAndCommas", Gbk(kGood) + std::string("\0", 1) + "\r\n" + Gbk("，#a#b#c#d#e"),
                  {Found(1, ErrorKind::NulCharacter), Found(2, ErrorKind::IdiomOnlyCommas)}}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

TEST(IdiomTable, MemoryIsTheTextPlusOffsets) {
  std::string file;
  const int records = 20000;
  size_t units = 0;
  for (int i = 0; i < records; ++i) {
    const std::string line = "一心一意" + std::to_string(i) + "#yxyy#yī xīn yī yì#心思专一，没有别的念头。#无#他一心一意地学琴。";
    units += U(line).size() - 5;  // the five "#" are not kept
    file += Gbk(line) + "\r\n";
  }
  const testing::Loaded r = testing::Take(ParseIdiomText(file));
  ASSERT_TRUE(r.ok());
  // IdiomChars repeat field 0 (without "，"): count them too.
  for (int i = 0; i < records; ++i) units += r.table.IdiomChars(i).size();
  const size_t exact = units * 2 + 8 * 4 * (records + 1);
  EXPECT_GE(r.table.memoryBytes(), exact);
  EXPECT_LE(r.table.memoryBytes(), exact + 64) << "room left over after loading";
}

}  // namespace
}  // namespace tessaly
