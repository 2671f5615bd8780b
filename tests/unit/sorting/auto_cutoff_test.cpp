// The automatic clean-up's delay and cut-off arithmetic.
#include <gtest/gtest.h>

#include <string>

#include "sorting/auto_cutoff.h"
#include "sorting/sortwise.h"

namespace swo {
namespace {

// 2026-03-15 14:20 local time as an OLE date, and midnights around it.
constexpr double kMarch15At1420 = 46096.0 + (14 * 60 + 20) / 1440.0;
constexpr double kMarch8 = 46089.0;
constexpr double kMarch15 = 46096.0;

TEST(AutoCleanUp, ADrawOf0Or1WaitsOneUnitAndLargerDrawsThatMany) {
  const int32_t expected[] = {1, 1, 2, 3, 4};
  for (int32_t draw = 0; draw <= 4; ++draw) EXPECT_EQ(AutoCleanUpDelayUnits(draw), expected[draw]) << draw;
}

TEST(AutoCleanUp, TheCutOffIsMidnightOfTheDayThatManyDaysBack) {
  const struct {
    int32_t Days;
    double CutOff;
  } cases[] = {{7, kMarch8}, {0, kMarch15}, {-2, kMarch15 + 2}, {1, kMarch15 - 1}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(AutoCleanUpCutOff(kMarch15At1420, c.Days), c.CutOff) << c.Days;
  // Exactly at a midnight the day is that day.
  EXPECT_DOUBLE_EQ(AutoCleanUpCutOff(kMarch15, 7), kMarch8);
  // Before 1899-12-30 the fraction still counts forward from midnight: -1.25 is 29 Dec 06:00.
  EXPECT_DOUBLE_EQ(AutoCleanUpCutOff(-1.25, 0), -1.0);
}

TEST(AutoCleanUp, AutoFilterIsASignedWholeNumberOfDays) {
  const struct {
    const char16_t* Text;
    int32_t Days;
  } good[] = {{u"7", 7}, {u"0", 0}, {u"-3", -3}, {u"+30", 30}, {u"2147483647", 2147483647}};
  for (const auto& c : good) EXPECT_EQ(AutoFilterDays(c.Text), c.Days);
  for (const char16_t* bad : {u"", u"seven", u"7 ", u" 7", u"7.5", u"2147483648", u"-", u"0x10"}) {
    try {
      AutoFilterDays(bad);
      ADD_FAILURE() << "accepted a bad number of days";
    } catch (const EConvertError& e) {
      EXPECT_NE(e.Message().find(u"\"Auto.Filter\""), std::u16string::npos);
    }
  }
}

}  // namespace
}  // namespace swo
