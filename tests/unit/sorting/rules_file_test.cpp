// The profile's rules file name, whatever the user's folder or profile is called.
#include <gtest/gtest.h>

#include <string>

#include "platform/environment.h"
#include "sorting/rules_file.h"

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
      {u"C:\\Users\\anna", u"%AppData%", u"C:\\Users\\anna\\Brevanta\\Sortwise\\%AppData%.xml"},
      {u"C:\\Users\\anna", u"50%s", u"C:\\Users\\anna\\Brevanta\\Sortwise\\50%s.xml"},
  };
  for (const auto& c : cases) {
    brv::platform::SetEnvironmentText(u"AppData", c.AppData);
    EXPECT_EQ(RulesFileName(c.Profile), c.File);
  }
}

}  // namespace
}  // namespace swo
