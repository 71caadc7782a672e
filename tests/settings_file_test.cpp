// Tests of the window's settings file: what Qt's QSettings wrote reads as
// it was written, what we write reads back, and a damaged file reads as
// far as it can.
#include "settings_file.h"

#include <gtest/gtest.h>

#include "file_io.h"
#include "test_util.h"

namespace tessaly {
namespace {

using testing::S;

std::vector<std::string> Utf8(const std::vector<std::u16string>& texts) {
  std::vector<std::string> out;
  for (const std::u16string& t : texts) out.push_back(S(t));
  return out;
}

TEST(RecentQueries, NewestFirstEachOnceAtMostFifty) {
  std::vector<std::u16string> recent;
  for (int i = 0; i < 60; ++i) RememberQuery(recent, testing::U(std::to_string(i).c_str()));
  RememberQuery(recent, u"30");
  ASSERT_EQ(recent.size(), 50u);
  EXPECT_EQ(Utf8({recent.begin(), recent.begin() + 3}), (std::vector<std::string>{"30", "59", "58"}));
  EXPECT_EQ(S(recent.back()), "10");
  RememberQuery(recent, u"");
  EXPECT_EQ(recent.size(), 50u);
}

TEST(Zoom, StepsStayWithinOneHundredAndTwoHundred) {
  EXPECT_EQ(NextZoom(100, +1), 125);
  EXPECT_EQ(NextZoom(200, +1), 200);
  EXPECT_EQ(NextZoom(100, -1), 100);
  EXPECT_EQ(NextZoom(175, 0), 100);
  EXPECT_EQ(NextZoom(333, +1), 125);  // not a step: as from the first
}

// A file as Qt 6's QSettings wrote it for these values: escapes, quotes
// around items with separators or blanks, "@@" for a leading "@", and
// UTF-8 as it is.
TEST(SettingsFile, ReadsWhatQSettingsWrote) {
  const std::string qt =
      "[history]\n"
      "recentQueries=\xE5\xA4\xA9\xE5\x9C\xB0, \"a, b\", \" lead\", q\\\"x, @@at, \"x=y;z\", back\\\\slash, tab\\there\n"
      "\n[network]\nlookupSite=zdic\n\n[view]\nsearchAsYouType=true\nzoom=125\n";
  const SettingsRead read = ParseSettings(qt);
  EXPECT_TRUE(read.unreadLines.empty());
  EXPECT_EQ(read.settings.zoom, 125);
  EXPECT_TRUE(read.settings.searchAsYouType);
  EXPECT_TRUE(read.settings.checkForUpdates);
  EXPECT_EQ(read.settings.lookupSite, LookupSite::Zdic);
  EXPECT_EQ(Utf8(read.settings.recentQueries),
            (std::vector<std::string>{"天地", "a, b", " lead", "q\"x", "@at", "x=y;z", "back\\slash", "tab\there"}));
  // Written again, it is the text QSettings wrote (sections and keys in
  // order), so that each reads the other's.
  Settings settings = read.settings;
  settings.checkForUpdates = false;
  const std::string ours = SettingsText(settings);
  EXPECT_NE(ours.find(qt.substr(0, qt.find("\n\n"))), std::string::npos) << ours;
  EXPECT_EQ(Utf8(ParseSettings(ours).settings.recentQueries), Utf8(read.settings.recentQueries));
  EXPECT_FALSE(ParseSettings(ours).settings.checkForUpdates);

  EXPECT_TRUE(ParseSettings("[history]\nrecentQueries=@Invalid()\n").settings.recentQueries.empty());
  EXPECT_EQ(Utf8(ParseSettings("[history]\nrecentQueries=\xE4\xB8\x80\n").settings.recentQueries),
            std::vector<std::string>{"一"});
}

struct DamagedCase {
  const char* name;
  std::string text;
  std::vector<int64_t> unread;
};

void PrintTo(const DamagedCase& c, std::ostream* os) { *os << c.name; }

class DamagedSettings : public ::testing::TestWithParam<DamagedCase> {};

// What cannot be read reads as the default and is named by its line.
TEST_P(DamagedSettings, ReadAsDefaults) {
  const SettingsRead read = ParseSettings(GetParam().text);
  EXPECT_EQ(read.settings.zoom, 100);
  EXPECT_FALSE(read.settings.searchAsYouType);
  EXPECT_EQ(read.settings.lookupSite, LookupSite::BaiduHanyu);
  EXPECT_EQ(read.unreadLines, GetParam().unread);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedSettings,
    ::testing::Values(DamagedCase{"Garbage", std::string("\x00\xff[view\n=zoom=\x01\n[\n", 17), {1, 2, 3}},
                      DamagedCase{"OutOfRange",
                                  "[view]\nzoom=333\nsearchAsYouType=maybe\n[network]\nlookupSite=nowhere\n"
                                  "[history]\nrecentQueries=@Invalid()\n",
                                  {2, 3, 5}},
                      DamagedCase{"UnclosedQuote", "[history]\nrecentQueries=\"a, b\n[view]\nzoom=@Variant(x)\n", {2, 4}},
                      DamagedCase{"Empty", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsFile, WrittenSafelyAndReadBack) {
  const testing::TempDir dir;
  const std::filesystem::path file = dir.path() / "config" / "tessaly.ini";
  ASSERT_TRUE(ReadSettings(file).ok());  // none yet: the defaults
  Settings settings;
  settings.zoom = 150;
  settings.recentQueries = {u"一心　一意", u"*hszyt"};
  ASSERT_TRUE(WriteSettings(file, settings).ok());
  const Result<SettingsRead> read = ReadSettings(file);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read->settings.zoom, 150);
  EXPECT_EQ(Utf8(read->settings.recentQueries), (std::vector<std::string>{"一心　一意", "*hszyt"}));
  EXPECT_FALSE(ReadSettings(dir.path()).ok());  // a folder cannot be read
}

}  // namespace
}  // namespace tessaly
