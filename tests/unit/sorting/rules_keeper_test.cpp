// The profile's rules file over a session of Outlook: found under earlier names, never written
// over when it could not be read, and kept in a recovery copy when it cannot be written.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/text.h"
#include "platform/environment.h"
#include "platform/file.h"
#include "sorting/rules_file.h"
#include "sorting/rules_keeper.h"
#include "sorting/sortwise.h"
#include "test_files.h"

namespace swo {
namespace {

constexpr char16_t kVariables[][13] = {u"AppData", u"LocalAppData", u"TEMP", u"TMP"};

class RulesKeeperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char16_t* name : kVariables) {
      const std::u16string reference = u"%" + std::u16string(name) + u"%";
      const std::u16string value = brv::platform::ExpandEnvironmentText(reference);
      FSaved.push_back(value == reference ? std::u16string() : value);
    }
    // The folders end in a separator: natively the rules folder's backslashes are part of
    // one file name, which then stays inside the temporary folder.
    brv::platform::SetEnvironmentText(u"AppData", FRoaming.Path().u16string() + Separator());
    brv::platform::SetEnvironmentText(u"LocalAppData", FLocal.Path().u16string() + Separator());
    brv::platform::SetEnvironmentText(u"TEMP", FTemp.Path().u16string() + Separator());
    brv::platform::SetEnvironmentText(u"TMP", u"");
  }
  void TearDown() override {
    brv::platform::SetWriteFaultHook({});
    for (size_t i = 0; i < std::size(kVariables); ++i) brv::platform::SetEnvironmentText(kVariables[i], FSaved[i]);
  }
  static std::u16string Separator() {
#ifdef _WIN32
    return u"\\";
#else
    return u"/";
#endif
  }
  // Rules with one folder entry whose address tells them apart, written to File.
  static void WriteRules(const std::u16string& File, const std::u16string& Mark) {
    const size_t separator = File.find_last_of(u"\\/");
    brv::platform::CreateFolders(File.substr(0, separator));
    const std::unique_ptr<TSortwise> rules(TSortwise::Create());
    rules->Config().SetValue(u"Mark", Mark);
    rules->Save(File);
  }
  static std::u16string MarkOf(const TSortwise& Rules) { return Rules.Config().GetValue(u"Mark"); }
  static std::u16string MarkIn(const std::u16string& File) {
    const std::unique_ptr<TSortwise> rules(TSortwise::Create());
    rules->Load(File);
    return MarkOf(*rules);
  }
  // Makes every write of File fail as a full disk does.
  static void RefuseWritesOf(const std::u16string& File) {
    brv::platform::SetWriteFaultHook([File](const std::u16string& Temp) -> brv::TbrvResult {
      return Temp.rfind(File, 0) == 0 ? static_cast<brv::TbrvResult>(0x80070070) : 0;
    });
  }

  test::TTempDir FRoaming, FLocal, FTemp;

 private:
  std::vector<std::u16string> FSaved;
};

TEST_F(RulesKeeperTest, RulesUnderAnEarlierNameAreReadAndSavedUnderTheCurrentOneLeavingTheEarlierFile) {
  for (const std::u16string profile : {u"Team 100%", u"Sales/EU", u"Work.", u"Work "}) {
    const std::u16string earlier = EarlierRulesFileNames(profile).at(0);
    WriteRules(earlier, u"earlier");
    const std::string earlierBytes = test::ReadBytes(earlier);
    TSwoRulesKeeper keeper(profile);
    EXPECT_EQ(keeper.Source(), earlier);
    EXPECT_TRUE(keeper.FromEarlierName());
    const std::unique_ptr<TSortwise> rules = keeper.Load();
    EXPECT_EQ(MarkOf(*rules), u"earlier") << brv::Utf16ToUtf8(profile);
    rules->Config().SetValue(u"Mark", u"edited");
    keeper.Save(*rules);
    EXPECT_EQ(keeper.Filename(), RulesFileName(profile));
    EXPECT_EQ(MarkIn(RulesFileName(profile)), u"edited");
    EXPECT_EQ(test::ReadBytes(earlier), earlierBytes) << "the earlier file changed";
    // From now on the current name is the one read.
    EXPECT_FALSE(TSwoRulesKeeper(profile).FromEarlierName());
    EXPECT_EQ(MarkOf(*TSwoRulesKeeper(profile).Load()), u"edited");
  }
}

TEST_F(RulesKeeperTest, WithoutAFileTheRulesStartEmptyAndTheFolderIsMadeAtTheSave) {
  TSwoRulesKeeper keeper(u"Outlook");
  EXPECT_FALSE(keeper.FromEarlierName());
  const std::unique_ptr<TSortwise> rules = keeper.Load();
  EXPECT_EQ(rules->Count(), 0);
  EXPECT_TRUE(keeper.LoadFailure().empty());
  rules->Config().SetValue(u"Mark", u"new");
  keeper.Save(*rules);
  EXPECT_EQ(MarkIn(keeper.Filename()), u"new");
}

TEST_F(RulesKeeperTest, AFileThatCannotBeReadIsNeverWrittenOver) {
  const std::u16string file = RulesFileName(u"Outlook");
  WriteRules(file, u"x");
  const std::string broken = "<Sortwise><configuration><value name=\"Mark\">x</value>";
  test::WriteBytes(file, broken);
  TSwoRulesKeeper keeper(u"Outlook");
  try {
    keeper.Load();
    FAIL() << "a broken file loaded";
  } catch (const brv::Exception& E) {
    EXPECT_NE(E.Message().find(file), std::u16string::npos) << brv::Utf16ToUtf8(E.Message());
    EXPECT_EQ(keeper.LoadFailure(), E.Message());
  }
  const std::unique_ptr<TSortwise> empty(TSortwise::Create());
  EXPECT_THROW(keeper.Save(*empty), ESortwise);
  EXPECT_EQ(test::ReadBytes(file), broken);
}

TEST_F(RulesKeeperTest, AFailedSaveIsRememberedUntilASaveWorks) {
  TSwoRulesKeeper keeper(u"Outlook");
  const std::unique_ptr<TSortwise> rules = keeper.Load();
  EXPECT_FALSE(keeper.SaveFailed());
  RefuseWritesOf(keeper.Filename());
  EXPECT_ANY_THROW(keeper.Save(*rules));
  EXPECT_TRUE(keeper.SaveFailed());
  brv::platform::SetWriteFaultHook({});
  keeper.Save(*rules);
  EXPECT_FALSE(keeper.SaveFailed());
}

TEST_F(RulesKeeperTest, ARecoveryCopyGoesToTheLocalFolderElseTheTemporaryOne) {
  TSwoRulesKeeper keeper(u"Team 100%");
  const std::unique_ptr<TSortwise> rules = keeper.Load();
  rules->Config().SetValue(u"Mark", u"unsaved");
  const std::u16string copy = keeper.SaveRecoveryCopy(*rules, u"2026-12-11 10-42-05");
  EXPECT_EQ(copy, FLocal.Path().u16string() + Separator() + u"\\Brevanta\\Sortwise\\Team 100%25 (recovered 2026-12-11 10-42-05).xml");
  EXPECT_EQ(MarkIn(copy), u"unsaved");
  // The local folder cannot be written either: the temporary folder takes it.
  RefuseWritesOf(copy.substr(0, copy.find(u"Team")));
  const std::u16string second = keeper.SaveRecoveryCopy(*rules, u"2026-12-11 10-43-00");
  EXPECT_EQ(second, FTemp.Path().u16string() + Separator() + u"\\Team 100%25 (recovered 2026-12-11 10-43-00).xml");
  EXPECT_EQ(MarkIn(second), u"unsaved");
  // Nowhere to go: the failure is raised, never a name of a file that is not there.
  RefuseWritesOf(u"");
  EXPECT_ANY_THROW(keeper.SaveRecoveryCopy(*rules, u"2026-12-11 10-44-00"));
}

}  // namespace
}  // namespace swo
