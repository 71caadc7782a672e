// The strict check of an idiom table, line by line; and the bundled data,
// which must pass it.
#include "data_check.h"

#include <fstream>
#include <map>

#include <gtest/gtest.h>

#include "pinyin.h"
#include "pinyin_reader.h"
#include "test_util.h"

namespace tessaly {
namespace {

using testing::S;

struct StrictCase {
  const char* name;
  std::vector<std::string> lines;
  std::vector<std::string> found;  // "line kind: what" of every finding
};

void PrintTo(const StrictCase& c, std::ostream* os) { *os << c.name; }

class StrictCheck : public ::testing::TestWithParam<StrictCase> {};

TEST_P(StrictCheck, FindsWhatIsWrong) {
  const StrictCase& c = GetParam();
  const IdiomTable table = testing::TableOf(c.lines);
  std::vector<std::string> found;
  const Result<StrictCounts> counts = CheckRecords(table, [&](const Finding& f) {
    found.push_back(std::to_string(f.record + 1) + " " + FindingName(f.kind) + ": " + Describe(f, table));
  });
  ASSERT_TRUE(counts.ok());
  int64_t total = 0;
  for (int64_t n : *counts) total += n;
  // The report says the same, a line a finding.
  std::string report;
  ASSERT_TRUE(ReportRecords(table, [&](std::string_view lines) { report += lines; }).ok());
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), total);
  EXPECT_EQ(found, c.found);
  EXPECT_EQ(total, static_cast<int64_t>(found.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, StrictCheck,
    ::testing::Values(
        StrictCase{"GoodLinesPass",
                   {"一心一意#yxyy#yī xīn yī yì#m#无#无", "绿水青山#lsqs#lǜ shuǐ qīng shān#m#无#无",
                    "做一天和尚，撞一天钟#zythszytz#zuò yī tiān hé shang，zhuàng yī tiān zhōng#m#无#无",
                    "萝卜#lb#luó bo#m#无#无", "略#l#lüè#m#无#无", "安#a#a\u0304n#m#无#无", "𠮷祥#jx#jí xiáng#m#无#无"},
                   {}},
        StrictCase{"InitialsDifferFromPinyin",
                   {"爱则加诸膝，恶则坠诸渊#azjzxzzzy#ài zé jiā zhū xī，wù zé zhuì zhū yuān#m#无#无"},
                   {"1 initials differ from the pinyin: initials azjzxzzzy, the pinyin gives azjzxwzzzy"}},
        StrictCase{"NotASyllable", {"昂昂自若#aazr#áng áng zì roò#m#无#无"}, {"1 not a Hanyu Pinyin syllable: syllable “roò”"}},
        StrictCase{"IpaLetter", {"蔽聪#bc#bì cōnɡ#m#无#无"}, {"1 not a Hanyu Pinyin syllable: syllable “cōnɡ” holds letters pinyin has not"}},
        StrictCase{"ToneOnTheWrongVowel",
                   {"苟且#gq#goǔ qiě#m#无#无", "岸边#ab#àn bìan#m#无#无", "流水#ls#liú shuǐ#m#无#无"},
                   {"1 tone mark on the wrong letter: syllable “goǔ”", "2 tone mark on the wrong letter: syllable “bìan”"}},
        StrictCase{"TwoToneMarks", {"好#h#hǎò#m#无#无"}, {"1 tone mark on the wrong letter: syllable “hǎò”"}},
        StrictCase{"SyllablesAndCharacters",
                   {"沧横流#chhl#cāng hǎi héng liú#m#无#无"},
                   {"1 syllables and characters differ in number: 4 syllables, 3 characters"}},
        // The report once sized its lines in advance and left out the
        // initials the pinyin gives, which a long pinyin with short
        // initials overran.
        StrictCase{"ReportOfLongPinyinWithShortInitials",
                   {"一心一意#x#" + [] {
                      std::string a = "a";
                      for (int i = 1; i < 200; ++i) a += " a";
                      return a;
                    }() + "#一心#无#无"},
                   {"1 initials differ from the pinyin: initials x, the pinyin gives " + std::string(200, 'a'),
                    "1 syllables and characters differ in number: 200 syllables, 4 characters"}},
        StrictCase{"SyllableNoneOfItsCharactersReadings",
                   {"一心一意#yxyy#yī xīn yī yǐ#m#无#无", "马马虎虎#mmhh#mǎ mǎ hū hū#m#无#无",
                    "萝卜#lb#luó bo#m#无#无"},
                   {"1 not a reading of the character: “意” is never read yǐ (yī, yì)"}},
        StrictCase{"WordReadAsWhereItFirstStood",
                   {"长年累月#cnly#cháng nián lěi yuè#m#无#无", "长年#zn#zhǎng nián#m#无#无",
                    "为人师表#wrsb#wéi rén shī biǎo#m#无#无", "为人作嫁#wrzj#wèi rén zuò jià#m#无#无"},
                   {"2 a word read two ways: “长年” read zhǎng nián, on line 1 read cháng nián"}},
        StrictCase{"ExampleUsesTheIdiomOrAVariant",
                   {"惟妙惟肖#wmwx#wéi miào wéi xiào#m#无#他学鸟叫唯妙唯肖。#唯妙唯肖",
                    "一心一意#yxyy#yī xīn yī yì#m#无#他三心二意。", "做一天和尚，撞一天钟#zythszytz#"
                    "zuò yī tiān hé shang，zhuàng yī tiān zhōng#m#无#他做一天和尚撞一天钟。"},
                   {"2 example without the idiom: the example uses neither the idiom nor one of its variants"}},
        StrictCase{"SourceInTheOneFormat",
                   {"学而时习#xesx#xué ér shí xí#m#《论语·学而》#无",
                    "先忧后乐#xyhl#xiān yōu hòu lè#m#宋·范仲淹《岳阳楼记》：“先天下之忧而忧，后天下之乐而乐。”#无",
                    "大器晚成#dqwc#dà qì wǎn chéng#m#《老子》第四十一章#无",
                    "再接再厉#zjzl#zài jiē zài lì#m#唐·韩愈、孟郊《斗鸡联句》#无",
                    "一心一意#yxyy#yī xīn yī yì#m#论语#无", "三心二意#sxey#sān xīn èr yì#m#《论语》：原文#无"},
                   {"5 source not in the format: “论语” is neither “无” nor written 朝代·作者《书名·篇名》：“原文”",
                    "6 source not in the format: “《论语》：原文” is neither “无” nor written 朝代·作者《书名·篇名》：“原文”"}},
        StrictCase{"NearAndOppositeAreMutualRecords",
                   {"一心一意#yxyy#yī xīn yī yì#m#无#无##全心全意、专心致志#三心二意",
                    "全心全意#qxqy#quán xīn quán yì#m#无#无##一心一意#",
                    "三心二意#sxey#sān xīn èr yì#m#无#无#三心两意、全心全意##"},
                   {"1 near or opposite idiom not in the table: near “专心致志” is no idiom of the table",
                    "1 near or opposite idiom one way only: opposite “三心二意” does not name this idiom back",
                    "3 variant is a headword: the variant “全心全意” is the idiom of line 2"}},
        // A lone LF stays inside a field; the report once split such a
        // finding over two lines.
        StrictCase{"ReportLineOfATextWithALineBreak",
                   {"一心一意#yxyy#yī xīn yī yì#m#论\n语#无"},
                   {"1 source not in the format: “论\n语” is neither “无” nor written 朝代·作者《书名·篇名》：“原文”"}},
        StrictCase{"DuplicateNamesTheFirst",
                   {"一心一意#yxyy#yī xīn yī yì#m#无#无", "三心二意#sxey#sān xīn èr yì#m#无#无",
                    "一心一意#yxyy#yī xīn yī yì#另一个#无#无"},
                   {"3 idiom repeated: as on line 1"}},
        StrictCase{"FieldsWithoutText",
                   {"一心一意#yxyy#yī xīn yī yì#无#无#。", "三心二意#sxey#sān xīn èr yì#……#无#～"},
                   {"1 field without text: the meaning field holds only the placeholder “无”",
                    "1 field without text: the example field holds only punctuation “。”",
                    "2 field without text: the meaning field holds only punctuation “……”",
                    "2 field without text: the example field holds only punctuation “～”"}},
        // The rules of the table's review: a variant is another form of
        // the whole saying, two orders of the same characters are one
        // idiom unless data/ lists them as two, the closest eight relatives
        // at most, the listed neutral-tone words read alike everywhere.
        StrictCase{"VariantIsAPartOfTheSaying",
                   {"天网恢恢，疏而不漏#twhhsebl#tiān wǎng huī huī，shū ér bù lòu#m#无#无#疏而不漏、天网恢恢疏而不漏"},
                   {"1 variant is a part of the idiom: the variant “疏而不漏” is a part of the idiom, not another form of it"}},
        StrictCase{"ReorderedUnlessReviewed",
                   {"千山万水#qsws#qiān shān wàn shuǐ#m#无#无", "万水千山#wsqs#wàn shuǐ qiān shān#m#无#无",
                    "事半功倍#sbgb#shì bàn gōng bèi#m#无#无", "事倍功半#sbgb#shì bèi gōng bàn#m#无#无"},
                   {"2 an idiom reordered: the characters of line 1 (千山万水) in another order, and no reviewed pair "
                    "(data/reordered-pairs.txt)"}},
        StrictCase{"AtMostEightRelatives",
                   {"一#y#yī#m#无#无##二、三、四、五、六、七、八、九、十#", "二#e#èr#m#无#无##一#", "三#s#sān#m#无#无##一#",
                    "四#s#sì#m#无#无##一#", "五#w#wǔ#m#无#无##一#", "六#l#liù#m#无#无##一#", "七#q#qī#m#无#无##一#",
                    "八#b#bā#m#无#无##一#", "九#j#jiǔ#m#无#无##一#", "十#s#shí#m#无#无##一#"},
                   {"1 too many near or opposite idioms: near lists 9 names; at most 8, the closest first"}},
        StrictCase{"NeutralToneWordsAsListed",
                   {"自作聪明#zzcm#zì zuò cōng míng#m#无#无", "断线风筝#dxfz#duàn xiàn fēng zheng#m#无#无"},
                   {"1 a neutral-tone word read otherwise: “聪明” is read cōng ming (data/neutral-tone.txt), here cōng míng"}}),
    [](const ::testing::TestParamInfo<StrictCase>& info) { return std::string(info.param.name); });

// A large table is checked by two threads; the findings and the first of
// each duplicate are those one thread finds.
TEST(StrictCheck, TwoHalvesAsOne) {
  std::vector<std::string> lines;
  for (int i = 0; i < 30000; ++i) {
    lines.push_back(i % 7 == 0 ? "一心一意#yxyy#yī xīn yī yì#m#无#无"
                               : "成语" + std::to_string(i % 9000) + "#cy#chéng yǔ#m#无#无");
  }
  const IdiomTable table = testing::TableOf(lines);
  std::vector<Finding> findings;
  const Result<StrictCounts> counted = CheckRecords(table, [&](const Finding& f) { findings.push_back(f); });
  ASSERT_TRUE(counted.ok());
  const StrictCounts& counts = *counted;
  std::vector<int32_t> expected;  // the records whose idiom came before
  std::map<std::string, int32_t> first;
  for (int32_t i = 0; i < 30000; ++i) {
    const std::string idiom = lines[static_cast<size_t>(i)].substr(0, lines[static_cast<size_t>(i)].find('#'));
    if (!first.emplace(idiom, i).second) expected.push_back(i);
  }
  ASSERT_EQ(counts[static_cast<size_t>(FindingKind::Duplicate)], static_cast<int64_t>(expected.size()));
  // "成语123" has two syllables and four characters: every such line is a
  // Syllables finding, before its duplicate.
  size_t d = 0;
  int32_t last = -1;
  for (const Finding& f : findings) {
    EXPECT_GE(f.record, last) << "in record order";
    last = f.record;
    if (f.kind != FindingKind::Duplicate) continue;
    ASSERT_LT(d, expected.size());
    EXPECT_EQ(f.record, expected[d++]);
    const std::string idiom = lines[static_cast<size_t>(f.record)].substr(0, lines[static_cast<size_t>(f.record)].find('#'));
    EXPECT_EQ(f.other, first[idiom]);
  }
}

TEST(StrictCheck, ToneMarkLetterAndSyllables) {
  const std::vector<std::pair<const char*, int>> marks = {
      {"gou", 1}, {"liu", 2}, {"gui", 2}, {"bian", 2}, {"lve", 2}, {"er", 0}, {"ng", 0}, {"m", 0}, {"zhuang", 3}};
  for (const auto& [letters, at] : marks) EXPECT_EQ(ToneMarkLetter(letters), at) << letters;
  for (const char* s : {"a", "zhuang", "lv", "lve", "nv", "er", "hm", "yo", "shei"}) EXPECT_TRUE(IsPinyinSyllable(s)) << s;
  for (const char* s : {"", "x", "bv", "jv", "iu", "zhuangg", "roo", "bia"}) EXPECT_FALSE(IsPinyinSyllable(s)) << s;
}

// The bundled database: it loads and passes the strict check, and it is
// sorted by pinyin: syllable by syllable, letters first (ü as u, after u),
// then the tone.
TEST(BundledData, IsConsistentAndSorted) {
  const testing::Loaded r = testing::Take(LoadIdiomFile(std::filesystem::path(TESSALY_BIN_DIR) / "cy.dat"));
  ASSERT_TRUE(r.ok()) << r.error.line << " " << r.error.reason;
  EXPECT_GE(r.table.size(), 3000);
  const Result<StrictCounts> counts = CheckRecords(r.table, [&](const Finding& f) {
    ADD_FAILURE() << "line " << f.record + 1 << " " << S(r.table.field(f.record, Field::Idiom)) << ": "
                  << FindingName(f.kind) << ": " << Describe(f, r.table);
  });
  EXPECT_TRUE(counts.ok());
  using Key = std::vector<std::tuple<std::string, bool, int>>;
  auto key = [&](int32_t i) {
    Key k;
    for (const Syllable& s : Syllables(r.table.field(i, Field::Pinyin))) {
      std::string letters = s.letters;
      std::replace(letters.begin(), letters.end(), 'v', 'u');
      k.emplace_back(letters, s.letters.find('v') != std::string::npos, s.tone);
    }
    return k;
  };
  for (int32_t i = 1; i < r.table.size(); ++i) {
    EXPECT_LE(key(i - 1), key(i)) << "line " << i + 1 << " " << S(r.table.field(i, Field::Idiom));
  }
  for (int32_t i = 0; i < r.table.size(); ++i) {
    for (std::u16string_view f : r.table.record(i).Fields) {
      if (!f.empty()) {
        EXPECT_EQ(f.find_first_not_of(u' '), 0u) << "line " << i + 1 << ": no leading blank";
      }
    }
  }
}

// A reviewed list of data/: idiom, then the public data's text and ours.
std::map<std::string, std::pair<std::string, std::string>> ReviewedList(const char* name) {
  std::map<std::string, std::pair<std::string, std::string>> list;
  std::ifstream in(std::filesystem::path(TESSALY_SOURCE_DIR) / "data" / name);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    for (size_t at = 0;;) {
      const size_t tab = line.find('\t', at);
      f.push_back(line.substr(at, tab - at));
      if (tab == std::string::npos) break;
      at = tab + 1;
    }
    if (f.size() >= 3) list[f[0]] = {f[1], f[2]};
  }
  return list;
}

// The book a source names: the title within 《》 up to its first "·".
std::string Book(std::u16string_view source) {
  const size_t open = source.find(u'《');
  const size_t close = source.find(u'》', open);
  if (open == std::u16string_view::npos || close == std::u16string_view::npos) return {};
  const std::u16string_view title = source.substr(open + 1, close - open - 1);
  return S(title.substr(0, title.find(u'·')));
}

// The bundled table against the public data set beside the checkout: every
// idiom in both is read alike and named from the same book, unless the
// difference is one of the reviewed lists of data/ (and there exactly).
TEST(BundledData, AgreesWithThePublicDataOrSaysWhy) {
  const std::filesystem::path publicData = std::filesystem::path(TESSALY_SHARED_DATA) / "idioms-a-g.dat";
  if (!std::filesystem::exists(publicData)) GTEST_SKIP() << "no public data beside the checkout";
  const testing::Loaded ours = testing::Take(LoadIdiomFile(std::filesystem::path(TESSALY_BIN_DIR) / "cy.dat"));
  const testing::Loaded theirs = testing::Take(LoadIdiomFile(publicData));
  ASSERT_TRUE(ours.ok() && theirs.ok());
  std::map<std::string, int32_t> publicRecord;
  for (int32_t i = 0; i < theirs.table.size(); ++i) publicRecord.emplace(S(theirs.table.field(i, Field::Idiom)), i);
  const auto readings = ReviewedList("public-readings.tsv");
  const auto sources = ReviewedList("public-sources.tsv");
  int overlap = 0;
  for (int32_t i = 0; i < ours.table.size(); ++i) {
    const std::string idiom = S(ours.table.field(i, Field::Idiom));
    const auto it = publicRecord.find(idiom);
    if (it == publicRecord.end()) continue;
    ++overlap;
    const std::string mine = S(ours.table.field(i, Field::Pinyin));
    const std::string public_ = S(theirs.table.field(it->second, Field::Pinyin));
    if (mine != public_) {
      const auto reviewed = readings.find(idiom);
      EXPECT_TRUE(reviewed != readings.end() && reviewed->second == std::make_pair(public_, mine))
          << idiom << ": we read " << mine << ", the public data " << public_ << " (data/public-readings.tsv)";
    }
    const std::u16string_view source = ours.table.field(i, Field::Source);
    const std::string myBook = source == u"无" ? std::string() : Book(source);
    const std::string publicBook = Book(theirs.table.field(it->second, Field::Source));
    if (!myBook.empty() && !publicBook.empty() && myBook != publicBook) {
      const auto reviewed = sources.find(idiom);
      EXPECT_TRUE(reviewed != sources.end() && reviewed->second == std::make_pair(publicBook, myBook))
          << idiom << ": we name " << myBook << ", the public data " << publicBook << " (data/public-sources.tsv)";
    }
  }
  EXPECT_GT(overlap, 1000);
}

}  // namespace
}  // namespace tessaly
