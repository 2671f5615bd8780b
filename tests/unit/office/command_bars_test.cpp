// The ribbon command model: find-or-create, ownership, invalidation and the markup.
#include "office/command_bars.h"

#include <gtest/gtest.h>

#include <memory>

#include "foundation/exception.h"
#include "ribbon_fakes.h"

namespace brv {
namespace {

using test::TFakeArgument;
using test::TFakeRibbon;

const std::u16string kHead =
    u"<customUI xmlns=\"http://schemas.microsoft.com/office/2006/01/customui\" onLoad=\"RibbonOnLoad\">"
    u"<ribbon><tabs><tab idMso=\"TabMail\">";
const std::u16string kTail = u"</tab></tabs></ribbon></customUI>";

// Counts destroyed buttons, to prove the parents free what they hold.
int GDestroyedButtons = 0;
class TCountedCommand : public TbrvOfficeCommand {
 public:
  using TbrvOfficeCommand::TbrvOfficeCommand;
  ~TCountedCommand() override { ++GDestroyedButtons; }
};

// Hands the ribbon to the root through the load callback, as the host does.
std::shared_ptr<TFakeRibbon> LoadRibbon(TbrvOfficeCommandBars& Root) {
  auto ribbon = std::make_shared<TFakeRibbon>();
  TbrvCallbackResult result;
  Root.Invoke(854275087, test::Parameters(TFakeArgument::Ribbon(ribbon)), result);
  return ribbon;
}

class CommandBarsTest : public testing::Test {
 protected:
  void SetUp() override { GDestroyedButtons = 0; }
  void TearDown() override { SetCommandIdRandom(nullptr); }
  TbrvOfficeCommandBars Root;
};

TEST_F(CommandBarsTest, MarkupOfAGroupWithALargeButtonIsExact) {
  TbrvOfficeCommandBar* group = Root.Add(u"brv1F3A");
  group->SetCaption(u"Brevanta");
  group->Add(u"brv1F3A.40211")->SetSize(ocsLarge);
  const std::u16string fragment =
      u"<group id=\"brv1F3A\" label=\"Brevanta\"><button id=\"brv1F3A.40211\" size=\"large\" "
      u"getScreentip=\"brv1F3A.40211.getHint\" getEnabled=\"brv1F3A.40211.getEnabled\" "
      u"getVisible=\"brv1F3A.40211.getVisible\" getLabel=\"brv1F3A.40211.getLabel\" "
      u"getImage=\"brv1F3A.40211.getImage\" onAction=\"brv1F3A.40211.onAction\" /></group>";
  EXPECT_EQ(group->ToString(), fragment);
  EXPECT_EQ(Root.ToString(), kHead + fragment + kTail);
}

TEST_F(CommandBarsTest, EmptyContainersWriteOnlyTheirFrame) {
  EXPECT_EQ(Root.ToString(), kHead + kTail);
  TbrvOfficeCommandBar* group = Root.Add(u"g");
  EXPECT_EQ(group->ToString(), u"<group id=\"g\" label=\"g\"></group>");
  TbrvOfficeCommand* button = group->Add(u"g.b");
  EXPECT_EQ(button->Caption(), u"g.b");
  EXPECT_NE(button->ToString().find(u"size=\"normal\""), std::u16string::npos);
}

TEST_F(CommandBarsTest, AddFindsExistingChildrenIgnoringAsciiCase) {
  TbrvOfficeCommandBar* group = Root.Add(u"Group");
  EXPECT_EQ(Root.Add(u"gROUP"), group);
  EXPECT_EQ(Root.Count(), 1);
  TbrvOfficeCommand* button = group->Add(u"Button");
  EXPECT_EQ(group->Add(u"BUTTON"), button);
  EXPECT_EQ(group->Count(), 1);
  EXPECT_EQ(Root[u"GROUP"], group);
  EXPECT_EQ((*group)[u"button"], button);
  EXPECT_EQ(Root.GetItem(u"missing"), nullptr);
  // Only ASCII letters fold.
  EXPECT_EQ(group->GetItem(u"Büttön"), nullptr);
  group->Add(u"\u00E4");
  EXPECT_EQ(group->GetItem(u"\u00C4"), nullptr);
}

TEST_F(CommandBarsTest, AddWithAClassReturnsAnExistingButtonOfAnotherClassUnchanged) {
  TbrvOfficeCommandBar* group = Root.Add(u"g");
  TbrvOfficeCommand* plain = group->Add(u"b");
  TbrvOfficeCommand* again = group->Add(&TbrvOfficeCommand::ClassOf<TCountedCommand>, u"B");
  EXPECT_EQ(again, plain);
  EXPECT_EQ(dynamic_cast<TCountedCommand*>(again), nullptr);
  TbrvOfficeCommand* counted = group->Add(&TbrvOfficeCommand::ClassOf<TCountedCommand>, u"c");
  EXPECT_NE(dynamic_cast<TCountedCommand*>(counted), nullptr);
}

TEST_F(CommandBarsTest, EmptyIdsAreDrawnAndACollisionReturnsTheExistingChild) {
  std::vector<int32_t> draws = {0x1F3A, 40211, 0, 0x1F3A, 40211};
  size_t next = 0;
  SetCommandIdRandom([&](int32_t Range) {
    EXPECT_EQ(Range, 65535);
    return draws.at(next++);
  });
  TbrvOfficeCommandBar* group = Root.Add(u"");
  EXPECT_EQ(group->Id(), u"brv1F3A");
  TbrvOfficeCommand* button = group->Add(u"");
  EXPECT_EQ(button->Id(), u"brv1F3A.40211");
  EXPECT_EQ(Root.Add(u"")->Id(), u"brv0");
  EXPECT_EQ(Root.Add(u""), group);
  EXPECT_EQ(group->Add(u""), button);
  EXPECT_EQ(Root.Count(), 2);
  EXPECT_EQ(group->Count(), 1);
}

TEST_F(CommandBarsTest, DefaultRandomIdsStayInRange) {
  TbrvOfficeCommandBar* group = Root.Add(u"");
  ASSERT_EQ(group->Id().substr(0, 3), u"brv");
  const std::u16string hex = group->Id().substr(3);
  ASSERT_FALSE(hex.empty());
  EXPECT_LE(hex.size(), 4u);
  EXPECT_TRUE(hex.size() == 1 || hex[0] != u'0');
  EXPECT_LT(std::stoul(std::string(hex.begin(), hex.end()), nullptr, 16), 65535u);
}

TEST_F(CommandBarsTest, OnlyChangedShownPropertiesInvalidateTheRibbon) {
  TbrvOfficeCommandBar* group = Root.Add(u"g");
  TbrvOfficeCommand* button = group->Add(u"b");
  button->SetHint(u"hint");
  auto ribbon = LoadRibbon(Root);

  struct TCase {
    const char* Name;
    std::function<void()> Change;
    int Invalidations;
  };
  const TCase cases[] = {
      {"same caption", [&] { button->SetCaption(u"b"); }, 0},
      {"caption differing in case", [&] { button->SetCaption(u"B"); }, 1},
      {"same hint", [&] { button->SetHint(u"hint"); }, 0},
      {"new hint", [&] { button->SetHint(u"tip"); }, 1},
      {"same enabled", [&] { button->SetEnabled(true); }, 0},
      {"disabled", [&] { button->SetEnabled(false); }, 1},
      {"same visible", [&] { button->SetVisible(true); }, 0},
      {"hidden", [&] { button->SetVisible(false); }, 1},
      {"size", [&] { button->SetSize(ocsLarge); }, 0},
      {"click handler", [&] { button->SetOnClick([](TbrvObject*) {}); }, 0},
      {"same group caption", [&] { group->SetCaption(u"g"); }, 0},
      {"group caption", [&] { group->SetCaption(u"Group"); }, 1},
      {"adding and removing", [&] { group->Add(u"x")->Delete(); }, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ribbon->Invalidations = 0;
    c.Change();
    EXPECT_EQ(ribbon->Invalidations, c.Invalidations);
  }
}

TEST_F(CommandBarsTest, InvalidateWithoutRibbonOrOwnerDoesNothing) {
  TbrvOfficeCommandBar* group = Root.Add(u"g");
  TbrvOfficeCommand* button = group->Add(u"b");
  EXPECT_NO_THROW(button->SetCaption(u"changed"));
  EXPECT_NO_THROW(Root.Invalidate());

  auto ribbon = LoadRibbon(Root);
  TbrvOfficeCommandBar orphanGroup(nullptr, u"o");
  TbrvOfficeCommand orphanButton(nullptr, u"o.b");
  orphanGroup.SetCaption(u"new");
  orphanButton.SetCaption(u"new");
  EXPECT_EQ(ribbon->Invalidations, 0);

  // A null ribbon from the host switches refreshing off again.
  TbrvCallbackResult result;
  Root.Invoke(854275087, test::Parameters(TFakeArgument::Null()), result);
  EXPECT_EQ(Root.Ribbon(), nullptr);
  button->SetCaption(u"again");
  EXPECT_EQ(ribbon->Invalidations, 0);
}

TEST_F(CommandBarsTest, RibbonFailureRaisesInTheCaller) {
  TbrvOfficeCommand* button = Root.Add(u"g")->Add(u"b");
  auto ribbon = LoadRibbon(Root);
  ribbon->Fail = true;
  EXPECT_THROW(button->SetEnabled(false), EbrvObject);
  EXPECT_FALSE(button->Enabled());
}

TEST_F(CommandBarsTest, FreedButtonLeavesItsGroupAndTheMarkup) {
  TbrvOfficeCommandBar* group = Root.Add(u"g");
  TbrvOfficeCommand* first = group->Add(u"first");
  group->Add(u"second");
  first->Delete();
  EXPECT_EQ(group->Count(), 1);
  EXPECT_EQ(group->GetItemByIndex(0)->Id(), u"second");
  EXPECT_EQ(group->ToString().find(u"first"), std::u16string::npos);
  EXPECT_THROW(group->GetItemByIndex(1), EbrvList);
}

TEST_F(CommandBarsTest, FreeingParentsFreesEveryChildOnce) {
  auto root = std::make_unique<TbrvOfficeCommandBars>();
  TbrvOfficeCommandBar* kept = root->Add(u"kept");
  TbrvOfficeCommandBar* dropped = root->Add(u"dropped");
  for (const char16_t* id : {u"a", u"b"}) {
    kept->Add(&TbrvOfficeCommand::ClassOf<TCountedCommand>, id);
    dropped->Add(&TbrvOfficeCommand::ClassOf<TCountedCommand>, id);
  }
  dropped->Delete();
  EXPECT_EQ(GDestroyedButtons, 2);
  EXPECT_EQ(root->Count(), 1);
  EXPECT_EQ(root->GetItemByIndex(0), kept);
  root.reset();
  EXPECT_EQ(GDestroyedButtons, 4);
}

TEST_F(CommandBarsTest, ClearFreesChildrenWithoutInvalidating) {
  TbrvOfficeCommandBar* group = Root.Add(u"g");
  group->Add(&TbrvOfficeCommand::ClassOf<TCountedCommand>, u"a");
  group->Add(&TbrvOfficeCommand::ClassOf<TCountedCommand>, u"b");
  auto ribbon = LoadRibbon(Root);
  group->Clear();
  EXPECT_EQ(group->Count(), 0);
  EXPECT_EQ(GDestroyedButtons, 2);
  Root.Add(u"h")->Add(&TbrvOfficeCommand::ClassOf<TCountedCommand>, u"c");
  Root.Clear();
  EXPECT_EQ(Root.Count(), 0);
  EXPECT_EQ(GDestroyedButtons, 3);
  EXPECT_EQ(ribbon->Invalidations, 0);
}

TEST_F(CommandBarsTest, LookupPrefersTheLastOfEqualIds) {
  auto* first = new TbrvOfficeCommandBar(&Root, u"same");
  auto* second = new TbrvOfficeCommandBar(&Root, u"SAME");
  EXPECT_EQ(Root.GetItem(u"same"), second);
  second->Delete();
  EXPECT_EQ(Root.GetItem(u"same"), first);
}

}  // namespace
}  // namespace brv
