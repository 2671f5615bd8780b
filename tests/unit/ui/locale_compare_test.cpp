// The case-sensitive locale comparison that orders the folder tree, on both sides of the seam.
#include <gtest/gtest.h>

#include <string>

#include "foundation/text.h"
#include "platform/locale.h"

namespace brv {
namespace {

int Sign(int Value) { return (Value > 0) - (Value < 0); }

TEST(LocaleCompareString, LettersDecideFirstAndOnlyThenCaseWithLowerCaseFirst) {
  struct Case {
    std::u16string l, r;
    int sign;
  };
  const Case cases[] = {
      {u"a", u"A", -1},
      {u"A", u"a", 1},
      {u"A", u"b", -1},
      {u"b", u"A", 1},
      {u"Abc", u"abd", -1},
      {u"abc", u"ABC", -1},
      {u"Inbox", u"Inbox", 0},
      {u"\\\\archive", u"\\\\Mailbox", -1},
      {u"x\u00E9", u"x\u00C9", -1},
      {u"x\u00C9", u"x\u00E9", 1},
      {u"", u"a", -1},
      {u"Projects", u"Project", 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Sign(platform::LocaleCompareString(c.l, c.r)), c.sign)
        << Utf16ToUtf8(c.l) << " vs " << Utf16ToUtf8(c.r);
}

TEST(LocaleCompareString, OrdersAsTheCaseInsensitiveComparisonWhereThatSeesADifference) {
  const std::u16string texts[] = {u"",         u"a",       u"A",       u"b",    u"Mailbox", u"MAILBOX",
                                  u"mailbox2", u"x\u00E9", u"X\u00C9", u"Zeta", u"zeta",    u"2024"};
  for (const auto& l : texts)
    for (const auto& r : texts) {
      const int withCase = Sign(platform::LocaleCompareString(l, r));
      const int withoutCase = Sign(platform::LocaleCompareText(l, r));
      if (withoutCase != 0) {
        EXPECT_EQ(withCase, withoutCase) << Utf16ToUtf8(l) << " vs " << Utf16ToUtf8(r);
      }
      EXPECT_EQ(withCase, -Sign(platform::LocaleCompareString(r, l)))
          << Utf16ToUtf8(l) << " vs " << Utf16ToUtf8(r);
      EXPECT_EQ(withCase == 0, l == r) << Utf16ToUtf8(l) << " vs " << Utf16ToUtf8(r);
    }
}

}  // namespace
}  // namespace brv
