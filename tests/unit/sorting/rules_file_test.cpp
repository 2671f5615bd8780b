// The profile's rules file name, whatever the user's folder or profile is called.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "foundation/text.h"
#include "platform/environment.h"
#include "sorting/rules_file.h"
#include "sorting/sortwise.h"
#include "test_files.h"

namespace swo {
namespace {

class RulesFileTest : public ::testing::Test {
 protected:
  void SetUp() override { FSaved = brv::platform::ExpandEnvironmentText(u"%AppData%"); }
  void TearDown() override {
    brv::platform::SetEnvironmentText(u"AppData", FSaved == u"%AppData%" ? std::u16string() : FSaved);
  }
  std::u16string FSaved;
};

TEST_F(RulesFileTest, TheProfileNamesAFileInTheUsersApplicationData) {
  const struct {
    const char16_t* AppData;
    const char16_t* Profile;
    const char16_t* File;
  } cases[] = {
      {u"C:\\Users\\anna\\AppData\\Roaming", u"Work", u"C:\\Users\\anna\\AppData\\Roaming\\Brevanta\\Sortwise\\Work.xml"},
      // A "%" in the user's folder or in the profile is text, never a directive or a variable.
      {u"C:\\Users\\100%s%d\\AppData", u"Work", u"C:\\Users\\100%s%d\\AppData\\Brevanta\\Sortwise\\Work.xml"},
      {u"C:\\Users\\anna", u"%AppData%", u"C:\\Users\\anna\\Brevanta\\Sortwise\\%25AppData%25.xml"},
      {u"C:\\Users\\anna", u"50%s", u"C:\\Users\\anna\\Brevanta\\Sortwise\\50%25s.xml"},
      // A profile cannot climb out of the folder.
      {u"C:\\Users\\anna", u"..\\..\\Escaped", u"C:\\Users\\anna\\Brevanta\\Sortwise\\..%5C..%5CEscaped.xml"},
  };
  for (const auto& c : cases) {
    brv::platform::SetEnvironmentText(u"AppData", c.AppData);
    EXPECT_EQ(RulesFileName(c.Profile), c.File);
  }
}

TEST_F(RulesFileTest, AProfileNameBecomesOneFileNameThatWindowsTakesAsItIs) {
  const struct {
    const char16_t* Profile;
    const char16_t* Stem;
  } cases[] = {
      // Ordinary names stay, so that existing rules files keep loading.
      {u"Outlook", u"Outlook"},
      {u"Outlook (2)", u"Outlook (2)"},
      {u"\u00DCber", u"\u00DCber"},
      {u"Work 2026", u"Work 2026"},
      {u"a.b c", u"a.b c"},
      {u"Console", u"Console"},
      {u"COM10", u"COM10"},
      {u"LPT0", u"LPT0"},
      {u"CONIN", u"CONIN"},
      {u" con", u" con"},
      // The separators, what Windows refuses in a name, and "%" that escapes them.
      {u"..\\..\\Escaped", u"..%5C..%5CEscaped"},
      {u"a/b", u"a%2Fb"},
      {u"Wo<r>k?", u"Wo%3Cr%3Ek%3F"},
      {u"C:x*\"|", u"C%3Ax%2A%22%7C"},
      {u"tab\there\x01", u"tab%09here%01"},
      {u"100%", u"100%25"},
      // Trailing dots and blanks, which Windows would drop.
      {u"Work.", u"Work%2E"},
      {u"Work .. ", u"Work%20%2E%2E%20"},
      {u"...", u"%2E%2E%2E"},
      {u" ", u"%20"},
      // Device names, in any case, with or without an extension.
      {u"con", u"%63on"},
      {u"CON", u"%43ON"},
      {u"Prn.txt", u"%50rn.txt"},
      {u"aux .old", u"%61ux .old"},
      {u"NUL", u"%4EUL"},
      {u"com1", u"%63om1"},
      {u"COM9.xml", u"%43OM9.xml"},
      {u"LPT5", u"%4CPT5"},
      {u"lpt\u00B9", u"%6Cpt\u00B9"},
      {u"CONOUT$", u"%43ONOUT$"},
      {u"nul.", u"%6Eul%2E"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RulesFileStem(c.Profile), c.Stem) << brv::Utf16ToUtf8(c.Profile);
}

TEST_F(RulesFileTest, ALongNameIsCutToTheLimitWithAMarkThatTellsNamesApart) {
  const std::u16string fits(kRulesFileStemLength, u'a');
  EXPECT_EQ(RulesFileStem(fits), fits);
  const std::u16string longer = fits + u"b", other = fits + u"c";
  const std::u16string cut = RulesFileStem(longer);
  EXPECT_EQ(cut.size(), kRulesFileStemLength);
  EXPECT_EQ(cut.substr(0, kRulesFileStemLength - 10), fits.substr(0, kRulesFileStemLength - 10));
  EXPECT_EQ(cut.substr(kRulesFileStemLength - 10, 2), u"%~");
  EXPECT_NE(cut, RulesFileStem(other));
  // A registry key name may hold 255 characters; escaped, each takes three. The cut never
  // splits an escape or a surrogate pair.
  const std::u16string escaped = RulesFileStem(std::u16string(255, u'?'));
  EXPECT_LE(escaped.size(), kRulesFileStemLength);
  EXPECT_EQ(escaped.find(u"%~") % 3, 0u) << brv::Utf16ToUtf8(escaped);
  std::u16string pairs;
  for (int i = 0; i < 100; ++i) pairs += u"\U0001F600";
  const std::u16string emoji = RulesFileStem(pairs);
  EXPECT_LE(emoji.size(), kRulesFileStemLength);
  EXPECT_EQ(emoji.find(u"%~") % 2, 0u);
}

// A profile may be called exactly what another profile's cut stem is: it is kept whole, and so
// it must not name the other's file.
TEST_F(RulesFileTest, ANameThatLooksLikeACutStemNeverNamesTheFileOfTheProfileCutToIt) {
  std::u16string pairs;
  for (int i = 0; i < 100; ++i) pairs += u"\U0001F600";
  const std::u16string longNames[] = {std::u16string(200, u'a'), std::u16string(255, u'?'), pairs,
                                      std::u16string(120, u'x') + u"..........",
                                      // What the cut looked like before: "~" and the hash.
                                      std::u16string(119, u'b') + u"~0123ABCD" + u"tail"};
  for (const std::u16string& profile : longNames) {
    const std::u16string cut = RulesFileStem(profile);
    ASSERT_NE(cut.size(), profile.size()) << "not cut: " << brv::Utf16ToUtf8(profile);
    EXPECT_NE(RulesFileStem(cut), cut) << brv::Utf16ToUtf8(cut);
    // The earlier mark: a name shaped like an earlier cut stem is an ordinary name today.
    const std::u16string earlierShape = cut.substr(0, cut.find(u"%~")) + u"~" + cut.substr(cut.size() - 8);
    EXPECT_NE(RulesFileStem(earlierShape), cut) << brv::Utf16ToUtf8(earlierShape);
  }
}

// Before file names were made safe, the rules file was the profile name itself plus ".xml".
// Those names are still looked for, as long as they stay plain files of the rules folder.
TEST_F(RulesFileTest, EarlierNamesOfAProfilesFileStayInsideTheRulesFolder) {
  brv::platform::SetEnvironmentText(u"AppData", u"C:\\Users\\anna");
  const std::u16string folder = u"C:\\Users\\anna\\Brevanta\\Sortwise\\";
  const std::u16string longName(300, u'n');
  const struct {
    std::u16string Profile;
    std::vector<std::u16string> Earlier;
  } cases[] = {
      {u"Team 100%", {folder + u"Team 100%.xml"}},
      {u"Sales/EU", {folder + u"Sales\\EU.xml"}},
      {u"Sales\\EU", {folder + u"Sales\\EU.xml"}},
      {u"Sales//EU", {folder + u"Sales\\EU.xml"}},
      {u"Work.", {folder + u"Work..xml"}},
      {u"Work ", {folder + u"Work .xml"}},
      // An ordinary name has no other name.
      {u"Outlook", {}},
      {u"Outlook (2)", {}},
      // Names that would leave the folder, or name a stream, a device, or a folder that
      // Windows would read otherwise, are never followed.
      {u"..\\Work", {}},
      {u"Sales/../../Work", {}},
      {u"./Work", {}},
      {u"a:b", {}},
      {u"con", {}},
      {u"Sales/nul", {}},
      {u"Sales./EU", {}},
      {u"Sales /EU", {}},
      {u"Wo<r>k?", {}},
      // A long name was cut with the earlier mark; it was also its own raw name.
      {longName,
       {folder + std::u16string(119, u'n') + u"~" + RulesFileStem(longName).substr(120) + u".xml",
        folder + longName + u".xml"}},
  };
  for (const auto& c : cases) EXPECT_EQ(EarlierRulesFileNames(c.Profile), c.Earlier) << brv::Utf16ToUtf8(c.Profile);
}

TEST_F(RulesFileTest, TheCurrentNameIsReadWhenItIsThereElseTheFirstEarlierNameThatIs) {
  brv::platform::SetEnvironmentText(u"AppData", u"C:\\Users\\anna");
  const std::u16string folder = u"C:\\Users\\anna\\Brevanta\\Sortwise\\";
  const std::u16string longName(300, u'n');
  const std::vector<std::u16string> earlier = EarlierRulesFileNames(longName);
  ASSERT_EQ(earlier.size(), 2u);
  const struct {
    std::u16string Profile;
    std::set<std::u16string> There;
    std::u16string Read;
  } cases[] = {
      {u"Team 100%", {}, folder + u"Team 100%25.xml"},
      {u"Team 100%", {folder + u"Team 100%.xml"}, folder + u"Team 100%.xml"},
      {u"Team 100%", {folder + u"Team 100%.xml", folder + u"Team 100%25.xml"}, folder + u"Team 100%25.xml"},
      {u"Outlook", {folder + u"Outlook.xml"}, folder + u"Outlook.xml"},
      {longName, {earlier[0], earlier[1]}, earlier[0]},
      {longName, {earlier[1]}, earlier[1]},
      {longName, {earlier[1], RulesFileName(longName)}, RulesFileName(longName)},
  };
  for (const auto& c : cases) {
    std::vector<std::u16string> asked;
    const auto exists = [&](const std::u16string& Name) {
      asked.push_back(Name);
      return c.There.count(Name) > 0;
    };
    EXPECT_EQ(RulesFileToRead(c.Profile, exists), c.Read) << brv::Utf16ToUtf8(c.Profile);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front(), RulesFileName(c.Profile)) << "the current name is asked first";
  }
}

#ifdef _WIN32
// Rules saved under each name land in one file of their own, directly in the rules folder, and
// load again, with Windows' rules for names (the path is a Windows path).
TEST_F(RulesFileTest, RulesOfEveryProfileAreSavedAndLoadedInTheirOwnFileOfTheFolder) {
  const test::TTempDir appData;
  brv::platform::SetEnvironmentText(u"AppData", appData.Path().u16string());
  const std::u16string folder = RulesFileName(u"x").substr(0, RulesFileName(u"x").size() - 5);
  std::filesystem::create_directories(std::filesystem::path(folder));
  const std::u16string profiles[] = {u"Outlook", u"\u00DCber", u"..\\..\\Escaped", u"a/b", u"Wo<r>k?",
                                     u"con", u"LPT1.txt", u"Work. ", u"100%", std::u16string(255, u'?'),
                                     std::u16string(300, u'n')};
  std::set<std::u16string> names;
  for (const std::u16string& profile : profiles) {
    const std::u16string file = RulesFileName(profile);
    const std::unique_ptr<TSortwise> rules(TSortwise::Create());
    rules->Config().SetValue(u"Profile", profile.substr(0, 40));
    ASSERT_NO_THROW(rules->Save(file)) << brv::Utf16ToUtf8(profile);
    const std::unique_ptr<TSortwise> loaded(TSortwise::Create());
    ASSERT_NO_THROW(loaded->Load(file)) << brv::Utf16ToUtf8(profile);
    EXPECT_EQ(loaded->Config().GetValue(u"Profile"), profile.substr(0, 40));
    names.insert(RulesFileStem(profile) + u".xml");
  }
  std::vector<std::u16string> inFolder;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(folder)))
    inFolder.push_back(entry.path().filename().u16string());
  std::sort(inFolder.begin(), inFolder.end());
  EXPECT_EQ(inFolder, std::vector<std::u16string>(names.begin(), names.end()));
  EXPECT_EQ(names.size(), std::size(profiles));
  // Nothing went beside the folder.
  size_t beside = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(appData.Path()))
    beside += entry.is_regular_file() ? 1 : 0;
  EXPECT_EQ(beside, names.size());
}
#endif

}  // namespace
}  // namespace swo
