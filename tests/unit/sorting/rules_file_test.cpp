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
  EXPECT_EQ(cut.substr(0, kRulesFileStemLength - 9), fits.substr(0, kRulesFileStemLength - 9));
  EXPECT_EQ(cut[kRulesFileStemLength - 9], u'~');
  EXPECT_NE(cut, RulesFileStem(other));
  // A registry key name may hold 255 characters; escaped, each takes three. The cut never
  // splits an escape or a surrogate pair.
  const std::u16string escaped = RulesFileStem(std::u16string(255, u'?'));
  EXPECT_LE(escaped.size(), kRulesFileStemLength);
  EXPECT_EQ(escaped.find(u'~') % 3, 0u) << brv::Utf16ToUtf8(escaped);
  std::u16string pairs;
  for (int i = 0; i < 100; ++i) pairs += u"\U0001F600";
  const std::u16string emoji = RulesFileStem(pairs);
  EXPECT_LE(emoji.size(), kRulesFileStemLength);
  EXPECT_EQ(emoji.find(u'~') % 2, 0u);
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
