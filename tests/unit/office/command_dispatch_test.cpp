// Routing of the host's callbacks through the root to the buttons.
#include <gtest/gtest.h>

#include <memory>

#include "foundation/exception.h"
#include "office/command_bars.h"
#include "office/name_hash.h"
#include "ribbon_fakes.h"

namespace brv {
namespace {

using test::Parameters;
using test::TFakeArgument;
using test::TFakeRibbon;

// A button whose picture is a fresh marker object, counting the calls.
class TPictureCommand : public TbrvOfficeCommand {
 public:
  using TbrvOfficeCommand::TbrvOfficeCommand;
  TbrvPictureRef GetImage() override {
    ++Images;
    return std::make_shared<TbrvPicture>();
  }
  int Images = 0;
};

class CommandDispatchTest : public testing::Test {
 protected:
  void SetUp() override {
    Button = static_cast<TPictureCommand*>(
        Root.Add(u"grp")->Add(&TbrvOfficeCommand::ClassOf<TPictureCommand>, u"grp.1"));
    Button->SetCaption(u"Sort");
    Button->SetHint(u"Sorts the inbox");
  }
  TbrvCallbackResult Call(std::u16string_view Name, TbrvCallbackParameters Parameter) {
    TbrvCallbackResult result = u"untouched";
    Root.Invoke(NameHash(Name), Parameter, result);
    return result;
  }
  TbrvCallbackResult CallControl(std::u16string_view Name, std::u16string ControlId) {
    return Call(Name, Parameters(TFakeArgument::Control(std::move(ControlId))));
  }

  TbrvOfficeCommandBars Root;
  TPictureCommand* Button = nullptr;
};

TEST_F(CommandDispatchTest, ButtonCallbacksAnswerWithTheCurrentValues) {
  EXPECT_EQ(CallControl(u"grp.1.getLabel", u"grp.1"), TbrvCallbackResult(u"Sort"));
  EXPECT_EQ(CallControl(u"GRP.1.GETHINT", u"grp.1"), TbrvCallbackResult(u"Sorts the inbox"));
  EXPECT_EQ(CallControl(u"grp.1.getEnabled", u"grp.1"), TbrvCallbackResult(true));
  EXPECT_EQ(CallControl(u"grp.1.getVisible", u"grp.1"), TbrvCallbackResult(true));
  Button->SetCaption(u"Busy");
  Button->SetEnabled(false);
  Button->SetVisible(false);
  EXPECT_EQ(CallControl(u"grp.1.getLabel", u"grp.1"), TbrvCallbackResult(u"Busy"));
  EXPECT_EQ(CallControl(u"grp.1.getEnabled", u"grp.1"), TbrvCallbackResult(false));
  EXPECT_EQ(CallControl(u"grp.1.getVisible", u"grp.1"), TbrvCallbackResult(false));
}

TEST_F(CommandDispatchTest, ImageCallbackAsksForANewPictureEveryTime) {
  const TbrvCallbackResult first = CallControl(u"grp.1.getImage", u"grp.1");
  const TbrvCallbackResult second = CallControl(u"grp.1.getImage", u"grp.1");
  ASSERT_TRUE(std::holds_alternative<TbrvPictureRef>(first));
  ASSERT_TRUE(std::holds_alternative<TbrvPictureRef>(second));
  EXPECT_NE(std::get<TbrvPictureRef>(first), std::get<TbrvPictureRef>(second));
  EXPECT_EQ(Button->Images, 2);
}

TEST_F(CommandDispatchTest, ActionCallsTheClickHandlerWithTheButtonAndReturnsNothing) {
  std::vector<TbrvObject*> senders;
  Button->SetOnClick([&](TbrvObject* Sender) { senders.push_back(Sender); });
  EXPECT_EQ(CallControl(u"grp.1.onAction", u"grp.1"), TbrvCallbackResult());
  EXPECT_EQ(senders, std::vector<TbrvObject*>{Button});

  Button->SetOnClick([](TbrvObject*) { throw EbrvObject(kE_FAIL, u"click failed"); });
  EXPECT_THROW(CallControl(u"grp.1.onAction", u"grp.1"), EbrvObject);
  Button->SetOnClick(nullptr);
  EXPECT_EQ(CallControl(u"grp.1.onAction", u"grp.1"), TbrvCallbackResult());
}

TEST_F(CommandDispatchTest, AClickHandlerMayFreeItsOwnButton) {
  // The handler's captured state is alive exactly as long as some copy of the handler is.
  auto state = std::make_shared<int>(0);
  const std::weak_ptr<int> watch = state;
  bool stateOutlivedTheButton = false;
  Button->SetOnClick([state, &watch, &stateOutlivedTheButton](TbrvObject* Sender) {
    static_cast<TbrvOfficeCommand*>(Sender)->Delete();
    stateOutlivedTheButton = !watch.expired();
  });
  state.reset();
  EXPECT_EQ(CallControl(u"grp.1.onAction", u"grp.1"), TbrvCallbackResult());
  EXPECT_TRUE(stateOutlivedTheButton);
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(Root[u"grp"]->Count(), 0);
}

TEST_F(CommandDispatchTest, UnmatchedCallbacksSucceedWithAnEmptyResult) {
  struct TCase {
    const char* Name;
    std::u16string_view Callback;
    TbrvCallbackParameters (*Arguments)();
  };
  const TCase cases[] = {
      {"control of no button", u"nobody.getLabel",
       [] { return Parameters(TFakeArgument::Control(u"nobody")); }},
      {"name of another button", u"grp.2.getLabel",
       [] { return Parameters(TFakeArgument::Control(u"grp.1")); }},
      {"unknown suffix", u"grp.1.getSize", [] { return Parameters(TFakeArgument::Control(u"grp.1")); }},
      {"null control", u"grp.1.getLabel", [] { return Parameters(TFakeArgument::Null()); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Call(c.Callback, c.Arguments()), TbrvCallbackResult());
  }
}

TEST_F(CommandDispatchTest, ControlIdsMatchExactlyInListOrder) {
  TbrvOfficeCommandBar* other = Root.Add(u"other");
  // The model's own lookup folds case, so the twin needs a group of its own.
  TbrvOfficeCommand* twin = other->Add(u"GRP.1");
  twin->SetCaption(u"Twin");
  EXPECT_EQ(CallControl(u"grp.1.getLabel", u"GRP.1"), TbrvCallbackResult(u"Twin"));
  EXPECT_EQ(CallControl(u"grp.1.getLabel", u"grp.1"), TbrvCallbackResult(u"Sort"));
}

TEST_F(CommandDispatchTest, BadArgumentsRaise) {
  EXPECT_THROW(Call(u"grp.1.getLabel", {}), EbrvComObject);
  EXPECT_THROW(Call(u"RibbonOnLoad", {}), EbrvComObject);
  EXPECT_THROW(Call(u"grp.1.getLabel", Parameters(TFakeArgument::Other())), EbrvIntfCast);
  EXPECT_THROW(Call(u"RibbonOnLoad", Parameters(TFakeArgument::Other())), EbrvIntfCast);
  try {
    Call(u"grp.1.getLabel", {});
  } catch (const EbrvObject& e) {
    EXPECT_LT(e.ErrorCode(), 0);
  }
}

TEST_F(CommandDispatchTest, LoadCallbackKeepsTheLatestRibbonAndReturnsNothing) {
  auto first = std::make_shared<TFakeRibbon>();
  auto second = std::make_shared<TFakeRibbon>();
  EXPECT_EQ(Call(u"ribbonOnLoad", Parameters(TFakeArgument::Ribbon(first))), TbrvCallbackResult());
  EXPECT_EQ(Call(u"RibbonOnLoad", Parameters(TFakeArgument::Ribbon(second))), TbrvCallbackResult());
  EXPECT_EQ(Root.Ribbon(), second);
  Button->SetCaption(u"Refresh");
  EXPECT_EQ(first->Invalidations, 0);
  EXPECT_EQ(second->Invalidations, 1);
}

}  // namespace
}  // namespace brv
