#include <gtest/gtest.h>

#include "foundation/exception.h"
#include "platform/path.h"
#include "platform/environment.h"

namespace brv {
namespace {

class ExpandEnvironmentPathTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetEnvironmentText(u"SORTWISE_TEST_DIR", u"C:\\Users\\An\u00E9\\AppData"); }
  void TearDown() override { platform::SetEnvironmentText(u"SORTWISE_TEST_DIR", u""); }
};

TEST_F(ExpandEnvironmentPathTest, ExpandsSetVariablesAndKeepsEverythingElse) {
  struct Case {
    std::u16string path, expanded;
  };
  const Case cases[] = {
      {u"C:\\plain\\path.xml", u"C:\\plain\\path.xml"},
      {u"", u""},
      {u"%SORTWISE_TEST_DIR%\\Brevanta\\Sortwise\\Outlook.xml",
       u"C:\\Users\\An\u00E9\\AppData\\Brevanta\\Sortwise\\Outlook.xml"},
      {u"%SORTWISE_TEST_DIR%%SORTWISE_TEST_DIR%", u"C:\\Users\\An\u00E9\\AppDataC:\\Users\\An\u00E9\\AppData"},
      {u"%SORTWISE_UNSET_VARIABLE%\\x", u"%SORTWISE_UNSET_VARIABLE%\\x"},
      {u"100% sure", u"100% sure"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandEnvironmentPath(c.path), c.expanded);
}

TEST_F(ExpandEnvironmentPathTest, AResultLongerThan259CharactersIsAnErrorNotACutOffPath) {
  const std::u16string longest(kMaxExpandedPath, u'a');
  EXPECT_EQ(ExpandEnvironmentPath(longest), longest);
  platform::SetEnvironmentText(u"SORTWISE_TEST_DIR", std::u16string(250, u'x'));
  try {
    ExpandEnvironmentPath(u"%SORTWISE_TEST_DIR%\\Sortwise.xml");
    ADD_FAILURE() << "no error";
  } catch (const EbrvObject& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<TbrvResult>(0x800700CE));
  }
}

}  // namespace
}  // namespace brv
