#include "ui/layout.h"

#include <gtest/gtest.h>

#include "ui/window_layouts.h"

namespace swo {
namespace {

struct TPlaceCase {
  const char* Name;
  int Width, Height, Dpi;
  int Item;
  TRect Expected;
};

void PrintTo(const TPlaceCase& Case, std::ostream* Out) { *Out << Case.Name; }

class MainWindowLayoutTest : public testing::TestWithParam<TPlaceCase> {};

// At the designed size the address pane's toolbar, edit and list fill it exactly, the list 354
// high; a larger window moves "Run..." with the right edge and gives the list the extra height;
// at 144 dpi every designed length is scaled by itself (a 3-pixel margin becomes 5), and the
// list still ends flush with the pane.
INSTANTIATE_TEST_SUITE_P(
    Places, MainWindowLayoutTest,
    testing::Values(
        TPlaceCase{"panel", 698, 484, 96, miPanel1, {0, 0, 698, 52}},
        TPlaceCase{"run button", 698, 484, 96, miButton1, {598, 5, 92, 41}},
        TPlaceCase{"tree group", 698, 484, 96, miGroupBox1, {3, 55, 313, 426}},
        TPlaceCase{"tree toolbar", 698, 484, 96, miToolBar1, {8, 70, 303, 22}},
        TPlaceCase{"tree", 698, 484, 96, mitvFolders, {8, 95, 303, 381}},
        TPlaceCase{"splitter", 698, 484, 96, miSplitter1, {319, 52, 3, 432}},
        TPlaceCase{"address group", 698, 484, 96, miGroupBox2, {325, 55, 370, 426}},
        TPlaceCase{"address toolbar", 698, 484, 96, miToolBar2, {330, 70, 360, 22}},
        TPlaceCase{"edit", 698, 484, 96, miedAddress, {330, 95, 360, 21}},
        TPlaceCase{"list fills the pane", 698, 484, 96, milbAddresses, {330, 122, 360, 354}},
        TPlaceCase{"run button follows the right edge", 898, 584, 96, miButton1, {798, 5, 92, 41}},
        TPlaceCase{"close button stays", 898, 584, 96, miButton2, {8, 5, 90, 41}},
        TPlaceCase{"tree group keeps its width", 898, 584, 96, miGroupBox1, {3, 55, 313, 526}},
        TPlaceCase{"list takes the extra height", 898, 584, 96, milbAddresses, {330, 122, 560, 454}},
        TPlaceCase{"run button at 144 dpi", 1047, 726, 144, miButton1, {897, 8, 138, 62}},
        TPlaceCase{"list at 144 dpi", 1047, 726, 144, milbAddresses, {498, 186, 536, 527}}));

TEST_P(MainWindowLayoutTest, PlacesTheItem) {
  const TPlaceCase& Case = GetParam();
  const auto Places = Arrange(MainWindowLayout(), Case.Width, Case.Height, Case.Dpi);
  const TRect& Got = Places[Case.Item];
  EXPECT_EQ(Got, Case.Expected) << Case.Name << ": got " << Got.Left << "," << Got.Top << " " << Got.Width << "x"
                                << Got.Height;
}

TEST(SettingsWindowLayoutTest, TheDesignedPlacesAtTheDesignedSize) {
  const auto Places = Arrange(SettingsWindowLayout(), 327, 235, 96);
  EXPECT_EQ(Places[sicbAutoEnabled], (TRect{24, 99, 281, 17}));
  EXPECT_EQ(Places[silbAutoFilter], (TRect{52, 126, 137, 13}));
  EXPECT_EQ(Places[siedAutoFilter].Left - Places[silbAutoFilter].Right(), 3);
  EXPECT_EQ(Places[sibtnCancel], (TRect{244, 202, 75, 25}));
}

TEST(SettingsWindowLayoutTest, AnchorsStretchTheBoxesAndMoveTheButtons) {
  const auto Places = Arrange(SettingsWindowLayout(), 427, 285, 96);
  EXPECT_EQ(Places[sicbIgnoreUnmarked], (TRect{24, 24, 381, 17}));
  EXPECT_EQ(Places[siedAutoFilter], (TRect{192, 122, 213, 21}));
  EXPECT_EQ(Places[siLabel1], (TRect{48, 146, 257, 41}));
  EXPECT_EQ(Places[sibtnOK], (TRect{263, 252, 75, 25}));
}

TEST(LayoutTest, ScaleRoundsToTheNearestPixel) {
  EXPECT_EQ(Scale(3, 144), 5);   // 4.5 rounds up
  EXPECT_EQ(Scale(13, 120), 16);  // 16.25
  EXPECT_EQ(Scale(698, 96), 698);
  EXPECT_EQ(Scale(0, 192), 0);
}

}  // namespace
}  // namespace swo
