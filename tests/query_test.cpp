// Tests of the query check.
#include "query.h"

#include <gtest/gtest.h>

#include "test_util.h"

namespace tessaly {
namespace {

using testing::S;
using testing::U;

struct QueryCase {
  const char* name;
  const char* typed;
  const char* shown;                  // the query box afterwards
  std::vector<std::string> keywords;  // empty: nothing to search
};

// Test names carry the case; print only its name.
void PrintTo(const QueryCase& c, std::ostream* os) { *os << c.name; }


class CheckQueryCases : public ::testing::TestWithParam<QueryCase> {};

TEST_P(CheckQueryCases, NormalisesAndSplits) {
  const QueryCase& c = GetParam();
  const Result<Query> q = CheckQuery(U(c.typed));
  ASSERT_EQ(q.ok(), !c.keywords.empty());
  if (!q.ok()) {
    EXPECT_EQ(q.error().kind, ErrorKind::EmptyQuery);
    return;
  }
  EXPECT_EQ(S(q->text), c.shown);
  std::vector<std::string> keywords;
  for (const auto& k : q->keywords) keywords.push_back(S(k));
  EXPECT_EQ(keywords, c.keywords);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, CheckQueryCases,
    ::testing::Values(
        QueryCase{"Empty", "", "", {}},
        QueryCase{"SpacesOnly", "   ", "", {}},
        QueryCase{"IdeographicSpacesAndLineBreaksOnly", "\u3000 \r\n\u3000", "", {}},
        QueryCase{"UpperCaseLowered", "YSYS", "ysys", {"ysys"}},
        QueryCase{"IdeographicSpaceSeparates", "天\u3000地", "天\u3000地", {"天", "地"}},
        QueryCase{"RunsOfSpacesCollapse", "天地    一心", "天地\u3000一心", {"天地", "一心"}},
        QueryCase{"LongMixedRunCollapses", "a \u3000  \u3000 \u3000   b", "a\u3000b", {"a", "b"}},
        QueryCase{"TrimmedAtBothEnds", "  天地 ", "天地", {"天地"}},
        QueryCase{"FullWidthQuestionAndQuestion", "？心?意", "*心*意", {"*心*意"}},
        QueryCase{"IdeographicAndAsciiFullStop", "。心.意", "*心*意", {"*心*意"}},
        QueryCase{"CrLfPairsRemoved", "天\r\n地", "天地", {"天地"}},
        QueryCase{"LoneCrAndLfStay", "天\r地\n", "天\r地\n", {"天\r地\n"}},
        // A line break next to a space at an end would leave an empty
        // keyword; spaces are trimmed again after the line breaks go.
        QueryCase{"LineBreakNextToSpaceAtStart", "\r\n 天地", "天地", {"天地"}},
        QueryCase{"LineBreakNextToSpaceAtEnd", "天地 \r\n", "天地", {"天地"}},
        QueryCase{"LoneStar", "*", "*", {"*"}},
        QueryCase{"FullWidthLettersStayOthers", "ＹＳ", "ｙｓ", {"ｙｓ"}}),
    [](const ::testing::TestParamInfo<QueryCase>& info) { return std::string(info.param.name); });

TEST(CheckQuery, LowerCasingKeepsCharactersBeyondBmp) {
  // U+10400 DESERET CAPITAL LONG I lowers to U+10428, both outside the BMP.
  const Result<Query> q = CheckQuery(U("\xF0\x90\x90\x80"));
  ASSERT_TRUE(q.ok());
  EXPECT_EQ(S(q->text), "\xF0\x90\x90\xA8");
}

}  // namespace
}  // namespace tessaly
