// Tests of the search engine on the shared fixture and generated tables.
#include "search_engine.h"

#include <random>

#include <gtest/gtest.h>

#include "test_util.h"

namespace tessaly {
namespace {

using testing::S;
using testing::U;

const IdiomTable& Fixture() {
  static const IdiomTable table = [] {
    testing::Loaded r = testing::Take(LoadIdiomFile(testing::FixturePath()));
    if (!r.ok()) throw std::runtime_error("fixture does not load: " + r.error.reason);
    return std::move(r.table);
  }();
  return table;
}

std::vector<int32_t> HitsOf(const SearchOutcome& o) {
  std::vector<int32_t> hits;
  for (size_t i = 0; i < o.Matched.size(); ++i) {
    if (o.Matched[i]) hits.push_back(static_cast<int32_t>(i));
  }
  return hits;
}

// Run prepares the views `mode` reads and runs the search.
SearchOutcome Searched(const IdiomTable& table, const Keywords& keywords, SearchMode mode) {
  IdiomViews views;
  EXPECT_TRUE(PrepareViews(views, table, mode).ok());
  Result<SearchOutcome> o = RunSearch(table, views, keywords, mode);
  EXPECT_TRUE(o.ok()) << o.error().reason;
  return o.ok() ? std::move(o).value() : SearchOutcome();
}

SearchOutcome Search(const IdiomTable& table, const char* query, SearchMode mode) {
  const Result<Query> q = CheckQuery(U(query));
  EXPECT_TRUE(q.ok()) << query;
  return q.ok() ? Searched(table, q->keywords, mode) : SearchOutcome();
}

struct SearchCase {
  const char* name;
  SearchMode mode;
  const char* query;
  std::vector<int32_t> hits;  // fixture indexes
  const char* notice = nullptr;
};

// Test names carry the case; print only its name.
void PrintTo(const SearchCase& c, std::ostream* os) { *os << c.name; }


// Fixture rows: 0 一生一世, 1 一心一意, 2 三心二意, 3 心满意足, 4 别有天地,
// 5 暗无天日, 6 必争之地, 7 做一天和尚，撞一天钟, 8 天地良心, 9 地天之合,
// 10 功到自然成, 11 卧薪尝胆.
class FixtureSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(FixtureSearch, MarksCountsAndNotices) {
  const SearchCase& c = GetParam();
  const SearchOutcome o = Search(Fixture(), c.query, c.mode);
  EXPECT_EQ(HitsOf(o), c.hits);
  EXPECT_EQ(o.hitCount, static_cast<int32_t>(c.hits.size()));
  EXPECT_EQ(S(o.label), "共查到 " + std::to_string(c.hits.size()) + " 个成语！");
  if (c.notice == nullptr) {
    EXPECT_FALSE(o.notice.has_value()) << S(*o.notice);
  } else {
    ASSERT_TRUE(o.notice.has_value());
    EXPECT_EQ(S(*o.notice), c.notice);
  }
  EXPECT_EQ(o.FillBatch, c.hits.empty() ? 0 : Fixture().size());
}

const char* const kPinyin =
    "通配符 * 在拼音查询中只能放在第一个位置，表示所有包含这个拼音的成语；拼音中的其他位置 * 无效";

const char* const kPinyinNoticeText =
    "全拼查找，音节间可空格，声调可加数字 1-5；汉字或通配符无效，多个关键字用“，”或“、”分开";

INSTANTIATE_TEST_SUITE_P(
    Rules, FixtureSearch,
    ::testing::Values(
        SearchCase{"TextContains", SearchMode::Precise, "天地", {4, 8}},
        SearchCase{"TextContainsIsOrdered", SearchMode::Precise, "地天", {9}},
        SearchCase{"TextContainsSeesTheComma", SearchMode::Precise, "尚撞", {}},
        SearchCase{"TextContainsTheComma", SearchMode::Precise, "尚，撞", {7}},
        SearchCase{"WildcardPrefix", SearchMode::Precise, "*心*意", {1, 2}},
        SearchCase{"WildcardPrefixRunsOn", SearchMode::Precise, "天地*", {8}},
        SearchCase{"WildcardLongerThanIdiom", SearchMode::Precise, "一心一意*", {}},
        SearchCase{"LengthFive", SearchMode::Precise, "*****", {10}},
        SearchCase{"LengthCountsWithoutComma", SearchMode::Precise, "*********", {7}},
        SearchCase{"InitialsPrefix", SearchMode::Precise, "ysys", {0}},
        SearchCase{"InitialsPrefixShort", SearchMode::Precise, "y", {0, 1}},
        SearchCase{"InitialsUpperCaseTyped", SearchMode::Precise, "YXYY", {1}},
        SearchCase{"InitialsContains", SearchMode::Precise, "*hszyt", {7}},
        SearchCase{"InitialsContainsNotPrefix", SearchMode::Precise, "*ys", {0}},
        SearchCase{"MisplacedPinyinWildcard", SearchMode::Precise, "y*s", {}, kPinyin},
        SearchCase{"TwoStarsInPinyin", SearchMode::Precise, "*y*", {}, kPinyin},
        SearchCase{"LettersWithDigitAreText", SearchMode::Precise, "ysys1", {}},
        SearchCase{"PinyinFieldIsNotSearched", SearchMode::Precise, "yī", {}},
        SearchCase{"UnionOfKeywords", SearchMode::Precise, "天地 一心", {1, 4, 8}},
        SearchCase{"UnionCountsOnce", SearchMode::Precise, "天 天地", {4, 5, 7, 8, 9}},
        SearchCase{"PinyinNoticeAfterKeyword", SearchMode::Precise, "天地 y*s", {4, 8}, kPinyin},
        SearchCase{"PinyinNoticeBeforeKeyword", SearchMode::Precise, "y*s 天地", {4, 8}, kPinyin},
        SearchCase{"FuzzyInOrder", SearchMode::Fuzzy, "一意", {1}},
        SearchCase{"FuzzyAcrossComma", SearchMode::Fuzzy, "尚撞", {7}},
        SearchCase{"FuzzyStarIsPlain", SearchMode::Fuzzy, "*", {}, "顺序模糊包含关键字；拼音或通配符无效"},
        SearchCase{"FuzzyOutOfOrder", SearchMode::Fuzzy, "意一", {}, "顺序模糊包含关键字；拼音或通配符无效"},
        SearchCase{"MixedAnyOrder", SearchMode::Mixed, "意一", {1}},
        SearchCase{"MixedUsesEachOccurrenceOnce", SearchMode::Mixed, "一一", {0, 1, 7}},
        SearchCase{"MixedNeedsEnoughOccurrences", SearchMode::Mixed, "天天天", {}, "混序模糊包含关键字；拼音或通配符无效"},
        SearchCase{"MeaningOnly", SearchMode::Meaning, "地天", {9}},
        SearchCase{"MeaningNotExample", SearchMode::Meaning, "一意", {}},
        SearchCase{"PinyinSyllablesTypedApartAreOneKeyword", SearchMode::Pinyin, "yi xin yi yi", {1}},
        SearchCase{"PinyinKeywordsSeparatedByCommas", SearchMode::Pinyin, "yi sheng，wo xin、tian di", {0, 4, 8, 11}},
        SearchCase{"PinyinCharactersGetTheNotice", SearchMode::Pinyin, "一心", {}, kPinyinNoticeText},
        SearchCase{"PinyinToneSixGetsTheNotice", SearchMode::Pinyin, "yi6", {}, kPinyinNoticeText},
        SearchCase{"PinyinNoticeBesideHits", SearchMode::Pinyin, "wo xin，yi?", {11}, kPinyinNoticeText},
        SearchCase{"PinyinOnlySeparators", SearchMode::Pinyin, "， 、", {}, kPinyinNoticeText},
        SearchCase{"SourceOnly", SearchMode::Source, "李白", {4}},
        SearchCase{"SourceStarIsPlain", SearchMode::Source, "*", {}}),
    [](const ::testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

// The searches of the menu 更多查找, one record at a time: does the keyword
// (as the query check leaves it) find the record?
struct RuleCase {
  const char* name;
  SearchMode mode;
  const char* keyword;
  const char* idiom;
  const char* pinyin;
  bool hit;
};

void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.name; }

class OneRecord : public ::testing::TestWithParam<RuleCase> {};

TEST_P(OneRecord, FindsOrNot) {
  const RuleCase& c = GetParam();
  const IdiomTable table = testing::TableOf({std::string(c.idiom) + "#x#" + c.pinyin + "#m#s#e"});
  const SearchOutcome o = Search(table, c.keyword, c.mode);
  EXPECT_EQ(o.hitCount, c.hit ? 1 : 0);
  EXPECT_EQ(S(o.label), c.hit ? "共查到 1 个成语！" : "共查到 0 个成语！");
}

constexpr SearchMode kFullPinyin = SearchMode::Pinyin;
constexpr SearchMode kPattern = SearchMode::Pattern;
constexpr SearchMode kFolded = SearchMode::Folded;

INSTANTIATE_TEST_SUITE_P(
    MoreSearches, OneRecord,
    ::testing::Values(
        RuleCase{"PinyinWhole", kFullPinyin, "yixinyiyi", "一心一意", "yī xīn yī yì", true},
        RuleCase{"PinyinUpperCaseTyped", kFullPinyin, "YiXin", "一心一意", "yī xīn yī yì", true},
        RuleCase{"PinyinEndsInsideASyllable", kFullPinyin, "yixiny", "一心一意", "yī xīn yī yì", true},
        RuleCase{"PinyinStartsAtASyllable", kFullPinyin, "ixin", "一心一意", "yī xīn yī yì", false},
        RuleCase{"PinyinFromALaterSyllable", kFullPinyin, "yi1xin1", "万众一心", "wàn zhòng yī xīn", true},
        RuleCase{"PinyinToneMustMatch", kFullPinyin, "yi4xin", "一心一意", "yī xīn yī yì", false},
        RuleCase{"PinyinToneOfTheLastSyllable", kFullPinyin, "yi4", "一心一意", "yī xīn yī yì", true},
        RuleCase{"PinyinToneInsideASyllable", kFullPinyin, "x1in", "一心一意", "yī xīn yī yì", false},
        RuleCase{"PinyinToneOnA", kFullPinyin, "ma3", "马到成功", "mǎ dào chéng gōng", true},
        RuleCase{"PinyinToneOnE", kFullPinyin, "he2", "和", "hé", true},
        RuleCase{"PinyinToneOnI", kFullPinyin, "qi4", "气", "qì", true},
        RuleCase{"PinyinToneOnO", kFullPinyin, "wo3", "我", "wǒ", true},
        RuleCase{"PinyinToneOnU", kFullPinyin, "lu4", "路", "lù", true},
        RuleCase{"PinyinUmlautAsV", kFullPinyin, "lv4shui3", "绿水", "lǜ shuǐ", true},
        RuleCase{"PinyinUmlautIsNotU", kFullPinyin, "lu4", "绿", "lǜ", false},
        RuleCase{"PinyinPlainUmlaut", kFullPinyin, "lve", "略", "lüe", true},
        RuleCase{"PinyinUpperCaseData", kFullPinyin, "nv3zhong", "女中豪杰", "Nǚ zhōng háo jié", true},
        RuleCase{"PinyinCombiningMark", kFullPinyin, "an1", "安", "a\u0304n", true},
        RuleCase{"PinyinNeutralAsFive", kFullPinyin, "luo2bo5", "萝卜", "luó bo", true},
        RuleCase{"PinyinNeutralAsZero", kFullPinyin, "bo0", "萝卜", "luó bo", true},
        RuleCase{"PinyinNeutralIsNotFirst", kFullPinyin, "bo1", "萝卜", "luó bo", false},
        RuleCase{"PinyinApostropheAtASyllableEnd", kFullPinyin, "xi'an", "西安", "xī ān", true},
        RuleCase{"PinyinApostropheNotAtAnEnd", kFullPinyin, "xi'an", "先", "xiān", false},
        RuleCase{"PinyinWithoutApostropheReadsOn", kFullPinyin, "xian", "西安", "xī ān", true},
        RuleCase{"PinyinToneThenApostrophe", kFullPinyin, "xi1'an1", "西安", "xī ān", true},
        RuleCase{"PinyinAcrossTheComma", kFullPinyin, "shangzhuang", "做一天和尚，撞一天钟",
                 "zuò yī tiān hé shàng，zhuàng yī tiān zhōng", true},
        RuleCase{"PinyinSpaceEndsASyllable", kFullPinyin, "xi an", "先", "xiān", false},
        RuleCase{"PinyinTypedUmlaut", kFullPinyin, "lü shui", "绿水", "lǜ shuǐ", true},
        RuleCase{"PinyinTypedCombiningUmlaut", kFullPinyin, "lu\u0308", "绿", "lǜ", true},
        RuleCase{"PinyinTypedToneMarks", kFullPinyin, "yī xīn", "一心一意", "yī xīn yī yì", true},
        RuleCase{"PinyinTypedMarkAsksNoTone", kFullPinyin, "yì xīn", "一心一意", "yī xīn yī yì", true},
        RuleCase{"PinyinFullWidthLettersAndDigits", kFullPinyin, "ＹＩ１ｘｉｎ", "一心一意", "yī xīn yī yì", true},
        RuleCase{"PinyinInputMethodApostrophe", kFullPinyin, "xi’an", "西安", "xī ān", true},
        RuleCase{"PinyinInputMethodApostropheEndsASyllable", kFullPinyin, "xi’an", "先", "xiān", false},
        RuleCase{"PinyinOtherCharacter", kFullPinyin, "yi-xin", "一心一意", "yī xīn yī yì", false},
        RuleCase{"PinyinChineseKeyword", kFullPinyin, "一心", "一心一意", "yī xīn yī yì", false},
        RuleCase{"PinyinWildcard", kFullPinyin, "yi?", "一心一意", "yī xīn yī yì", false},
        RuleCase{"PinyinDigitFirst", kFullPinyin, "1yi", "一心一意", "yī xīn yī yì", false},
        RuleCase{"PinyinTwoDigits", kFullPinyin, "yi11", "一心一意", "yī xīn yī yì", false},
        RuleCase{"PatternAabb", kPattern, "aabb", "兢兢业业", "p", true},
        RuleCase{"PatternAabbNotAbac", kPattern, "aabb", "一心一意", "p", false},
        RuleCase{"PatternAbac", kPattern, "abac", "半信半疑", "p", true},
        RuleCase{"PatternLettersDiffer", kPattern, "abac", "一一一二", "p", false},
        RuleCase{"PatternWithCharacters", kPattern, "一a一b", "一丝一毫", "p", true},
        RuleCase{"PatternCharacterMustMatch", kPattern, "一a一b", "半信半疑", "p", false},
        RuleCase{"PatternAabc", kPattern, "aabc", "面面俱到", "p", true},
        RuleCase{"PatternAabcNeedsThreeCharacters", kPattern, "aabc", "兢兢业业", "p", false},
        RuleCase{"PatternAbcc", kPattern, "abcc", "小心翼翼", "p", true},
        RuleCase{"PatternStars", kPattern, "****", "一心一意", "p", true},
        RuleCase{"PatternLengthMustMatch", kPattern, "****", "功到自然成", "p", false},
        RuleCase{"PatternSayingWithoutComma", kPattern, "*********", "做一天和尚，撞一天钟", "p", true},
        RuleCase{"PatternLongerIdiom", kPattern, "aabb", "兢兢业业地", "p", false},
        RuleCase{"FoldedTraditionalKeyword", kFolded, "愛不釋手", "爱不释手", "p", true},
        RuleCase{"FoldedTraditionalData", kFolded, "爱屋及乌", "愛屋及烏", "p", true},
        RuleCase{"FoldedWildcard", kFolded, "*不釋手", "爱不释手", "p", true},
        RuleCase{"FoldedLength", kFolded, "****", "愛屋及烏", "p", true},
        RuleCase{"FoldedTextContains", kFolded, "釋手", "爱不释手", "p", true},
        RuleCase{"FoldedStillExact", kFolded, "愛不釋腳", "爱不释手", "p", false}),
    [](const ::testing::TestParamInfo<RuleCase>& info) { return std::string(info.param.name); });

// The chain: from the last character, the text itself excepted; from the
// last syllable when no idiom begins with that character; nothing at all.
TEST(RunSearch, IdiomChain) {
  const IdiomTable table = testing::TableOf({
      "一心一意#yxyy#yī xīn yī yì#m#s#e",         // 0
      "意气风发#yqff#yì qì fēng fā#m#s#e",        // 1
      "天外有天#twyt#tiān wài yǒu tiān#m#s#e",    // 2
      "天下太平#txtp#tiān xià tài píng#m#s#e",    // 3
      "不亦乐乎#bylh#bù yì lè hū#m#s#e",          // 4
      "呼风唤雨#hfhy#hū fēng huàn yǔ#m#s#e",      // 5
      "胡思乱想#hslx#hú sī luàn xiǎng#m#s#e",     // 6
      "做一天和尚，撞一天钟#zythszytz#zuò yī tiān hé shàng，zhuàng yī tiān zhōng#m#s#e",  // 7
  });
  struct Case {
    const char* from;
    std::vector<int32_t> hits;
    const char* notice;
  };
  for (const Case& c : std::vector<Case>{
           {"一心一意", {1}, "接“意”字：1"},
           {"天外有天", {3}, "接“天”字：1"},
           {"不亦乐乎", {5, 6}, "同音接“hu”：2"},
           {"做一天和尚，撞一天钟", {}, "同音接“zhong”：0"},
           {"好好学习", {}, "接“习”字：0"},
           {"乎", {}, "接“乎”字：0"},
       }) {
    const SearchOutcome o = Searched(table, {U(c.from), u"天"}, SearchMode::Chain);
    EXPECT_EQ(HitsOf(o), c.hits) << c.from;
    ASSERT_TRUE(o.notice.has_value()) << c.from;
    EXPECT_EQ(S(*o.notice), c.notice);
    EXPECT_EQ(S(o.label), "共查到 " + std::to_string(c.hits.size()) + " 个成语！");
  }
}

// A record is found by the other written forms of its idiom, and only by
// them: not by its near or opposite idioms.
TEST(RunSearch, VariantsFindTheirRecord) {
  const IdiomTable table = testing::TableOf({
      "筋疲力尽#jpljn#jīn pí lì jìn#m#无#无#精疲力尽、筋疲力竭#疲惫不堪#精神抖擞",
      "疲惫不堪#pbbk#pí bèi bù kān#m#无#无##筋疲力尽#",
      "精神抖擞#jsds#jīng shén dǒu sǒu#m#无#无###筋疲力尽",
  });
  auto hits = [&](const char* query, SearchMode mode) { return HitsOf(Search(table, query, mode)); };
  EXPECT_EQ(hits("精疲力尽", SearchMode::Precise), (std::vector<int32_t>{0}));
  EXPECT_EQ(hits("力竭", SearchMode::Precise), (std::vector<int32_t>{0}));
  EXPECT_EQ(hits("疲惫", SearchMode::Precise), (std::vector<int32_t>{1})) << "a near idiom is no variant";
  EXPECT_EQ(hits("抖擞", SearchMode::Precise), (std::vector<int32_t>{2}));
  EXPECT_EQ(hits("尽、筋", SearchMode::Precise), (std::vector<int32_t>{})) << "two variants are not one text";
  EXPECT_EQ(hits("精疲", SearchMode::Fuzzy), (std::vector<int32_t>{})) << "the other searches read the idiom";
}

// OpenCC reads C strings: a keyword with a NUL once lost its tail there,
// and the empty rest found every idiom.
TEST(RunSearch, FoldedKeywordWithNulFindsNothing) {
  const SearchOutcome o = Searched(Fixture(), {std::u16string(u"\0一", 2), std::u16string(u"天\0", 2)}, SearchMode::Folded);
  EXPECT_EQ(o.hitCount, 0);
}

TEST(RunSearch, LoneStarListsEverything) {
  const SearchOutcome alone = Search(Fixture(), "*", SearchMode::Precise);
  EXPECT_TRUE(alone.all);
  EXPECT_EQ(alone.hitCount, 12);
  EXPECT_EQ(S(alone.label), "全部成语，一共 12 个！");
  EXPECT_FALSE(alone.notice.has_value()) << "a lone star alone shows no notice";

  for (const char* query : {"天地 *", "* 天地", "y*s *"}) {
    const SearchOutcome o = Search(Fixture(), query, SearchMode::Precise);
    EXPECT_EQ(o.hitCount, 12) << query;
    EXPECT_EQ(S(o.label), "全部成语，一共 12 个！") << query;
    ASSERT_TRUE(o.notice.has_value()) << query;
    EXPECT_EQ(S(*o.notice),
              " * 作为单字通配符时不能前后同时空格。单个 * 关键字会显示全部词库，其他关键字将无效！");
  }
}

TEST(RunSearch, EmptyTableAndEmptyKeyword) {
  const IdiomTable empty;
  for (SearchMode mode : {SearchMode::Precise, SearchMode::Fuzzy, SearchMode::Mixed,
                          SearchMode::Meaning, SearchMode::Source}) {
    const SearchOutcome o = Searched(empty, {u"*", u"天"}, mode);
    EXPECT_EQ(o.hitCount, 0);
    EXPECT_EQ(o.FillBatch, 0);
  }
  EXPECT_EQ(S(Searched(empty, {u"*"}, SearchMode::Precise).label), "全部成语，一共 0 个！");
  EXPECT_EQ(Searched(Fixture(), {u""}, SearchMode::Precise).hitCount, 0);
}

TEST(ClassifyKeyword, PreciseRulesInOrder) {
  const std::vector<std::pair<const char*, KeywordRule>> cases = {
      {"天地", KeywordRule::TextContains},     {"a1", KeywordRule::TextContains},
      {"ＡＢ", KeywordRule::TextContains},     {"*心", KeywordRule::WildcardPrefix},
      {"*1", KeywordRule::WildcardPrefix},     {"**", KeywordRule::Length},
      {"*", KeywordRule::All},                 {"abc", KeywordRule::InitialsPrefix},
      {"*abc", KeywordRule::InitialsContains}, {"ab*", KeywordRule::MisplacedPinyinWildcard},
      {"**ab", KeywordRule::MisplacedPinyinWildcard}};
  for (const auto& [keyword, rule] : cases) {
    EXPECT_EQ(ClassifyKeyword(U(keyword)), rule) << keyword;
  }
}

// A table of `size` records; the first `hits` hold 天 in their idiom.
IdiomTable Generated(int32_t size, int32_t hits) {
  IdiomTable table;
  for (int32_t i = 0; i < size; ++i) {
    AppendLine(table, i < hits ? u"天一二三#tyes#p#m#s#e" : u"甲乙丙丁#jybd#p#m#s#e");
  }
  return table;
}

TEST(RunSearch, SlicesFromTwoThousandHits) {
  EXPECT_EQ(Searched(Generated(3000, 1999), {u"天"}, SearchMode::Precise).FillBatch, 3000);
  EXPECT_EQ(Searched(Generated(3000, 2000), {u"天"}, SearchMode::Precise).FillBatch, 500);
  EXPECT_EQ(Searched(Generated(1500, 0), {u"*"}, SearchMode::Precise).FillBatch, 1500);
}

// A query of one keyword typed over and over (a 128 KB paste) costs one
// pass: searched once per keyword it would take 10^10 record checks here,
// and the test would run into its time-out.
TEST(RunSearch, RepeatedKeywordsAreSearchedOnce) {
  const IdiomTable table = Generated(100000, 10);
  const Keywords repeated(100000, u"天");
  for (SearchMode mode : {SearchMode::Precise, SearchMode::Fuzzy, SearchMode::Mixed}) {
    EXPECT_EQ(Searched(table, repeated, mode).hitCount, 10);
  }
}

// The column-wide find must agree with a plain per-record find, also where
// a match would straddle two records.
TEST(RunSearch, ColumnFindAgreesWithPerRecordFind) {
  std::mt19937 random(7);
  const std::u16string alphabet = u"天地人";
  for (int round = 0; round < 200; ++round) {
    IdiomTable table;
    const int size = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < size; ++i) {
      std::u16string idiom;
      const int length = 1 + static_cast<int>(random() % 4);
      for (int k = 0; k < length; ++k) idiom += alphabet[random() % alphabet.size()];
      AppendLine(table, idiom + u"#a#b#" + idiom + u"#c#d");
    }
    std::u16string key;
    const int keyLength = 1 + static_cast<int>(random() % 3);
    for (int k = 0; k < keyLength; ++k) key += alphabet[random() % alphabet.size()];
    for (SearchMode mode : {SearchMode::Precise, SearchMode::Meaning}) {
      const SearchOutcome o = Searched(table, {key}, mode);
      for (int i = 0; i < size; ++i) {
        const bool expected = table.field(i, Field::Idiom).find(key) != std::u16string_view::npos;
        ASSERT_EQ(o.Matched[i] != 0, expected) << "round " << round << " record " << i;
      }
    }
  }
}

}  // namespace
}  // namespace tessaly
