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
    LoadResult r = LoadIdiomFile(testing::FixturePath());
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

SearchOutcome Search(const IdiomTable& table, const char* query, SearchMode mode) {
  const QueryCheck q = CheckQuery(U(query));
  EXPECT_TRUE(q.ok) << query;
  return RunSearch(table, q.keywords, mode);
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
        SearchCase{"SourceOnly", SearchMode::Source, "李白", {4}},
        SearchCase{"SourceStarIsPlain", SearchMode::Source, "*", {}}),
    [](const ::testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

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
    const SearchOutcome o = RunSearch(empty, {u"*", u"天"}, mode);
    EXPECT_EQ(o.hitCount, 0);
    EXPECT_EQ(o.FillBatch, 0);
  }
  EXPECT_EQ(S(RunSearch(empty, {u"*"}, SearchMode::Precise).label), "全部成语，一共 0 个！");
  EXPECT_EQ(RunSearch(Fixture(), {u""}, SearchMode::Precise).hitCount, 0);
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
    EXPECT_EQ(ClassifyKeyword(U(keyword), SearchMode::Precise), rule) << keyword;
  }
  EXPECT_EQ(ClassifyKeyword(u"*", SearchMode::Fuzzy), KeywordRule::OrderedFuzzy);
  EXPECT_EQ(ClassifyKeyword(u"ab", SearchMode::Meaning), KeywordRule::MeaningContains);
}

// A table of `size` records; the first `hits` hold 天 in their idiom.
IdiomTable Generated(int32_t size, int32_t hits) {
  IdiomTable table;
  for (int32_t i = 0; i < size; ++i) {
    table.appendLine(i < hits ? u"天一二三#tyes#p#m#s#e" : u"甲乙丙丁#jybd#p#m#s#e");
  }
  return table;
}

TEST(RunSearch, SlicesFromTwoThousandHits) {
  EXPECT_EQ(RunSearch(Generated(3000, 1999), {u"天"}, SearchMode::Precise).FillBatch, 3000);
  EXPECT_EQ(RunSearch(Generated(3000, 2000), {u"天"}, SearchMode::Precise).FillBatch, 500);
  EXPECT_EQ(RunSearch(Generated(1500, 0), {u"*"}, SearchMode::Precise).FillBatch, 1500);
}

// A query of one keyword typed over and over (a 128 KB paste) costs one
// pass: searched once per keyword it would take 10^10 record checks here,
// and the test would run into its time-out.
TEST(RunSearch, RepeatedKeywordsAreSearchedOnce) {
  const IdiomTable table = Generated(100000, 10);
  const Keywords repeated(100000, u"天");
  for (SearchMode mode : {SearchMode::Precise, SearchMode::Fuzzy, SearchMode::Mixed}) {
    EXPECT_EQ(RunSearch(table, repeated, mode).hitCount, 10);
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
      table.appendLine(idiom + u"#a#b#" + idiom + u"#c#d");
    }
    std::u16string key;
    const int keyLength = 1 + static_cast<int>(random() % 3);
    for (int k = 0; k < keyLength; ++k) key += alphabet[random() % alphabet.size()];
    for (SearchMode mode : {SearchMode::Precise, SearchMode::Meaning}) {
      const SearchOutcome o = RunSearch(table, {key}, mode);
      for (int i = 0; i < size; ++i) {
        const bool expected = table.field(i, Field::Idiom).find(key) != std::u16string_view::npos;
        ASSERT_EQ(o.Matched[i] != 0, expected) << "round " << round << " record " << i;
      }
    }
  }
}

TEST(AuthorLine, PiecesInOrder) {
  const std::string line = S(AuthorLine());
  EXPECT_EQ(line.rfind("作者：Orvel\u3000", 0), 0u);
  EXPECT_NE(line.find("\u3000\u3000手机网页版：http://"), std::string::npos);
  EXPECT_EQ(line.substr(line.size() - 8), "/chengyu");
}

}  // namespace
}  // namespace tessaly
