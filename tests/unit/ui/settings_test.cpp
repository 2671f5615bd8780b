// The settings dialog: filling it from the settings, its enabled states, OK and Cancel.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "fake_settings_view.h"
#include "sorting/sortwise.h"
#include "ui/settings_presenter.h"

namespace swo::test {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Lines(const TSwoConfig& Config) {
  std::vector<std::string> lines;
  for (int32_t i = 0; i < Config.Count(); ++i) lines.push_back(U8(Config.Lines().GetLine(i)));
  return lines;
}

class SettingsTest : public ::testing::Test {
 protected:
  void TearDown() override { View.VerifyDone(); }

  // Writes Values as the main window does, then checks what the dialog shows.
  void Open() {
    Presenter.SetValues(Config.get());
    View.ExpectShows(Presenter);
  }
  template <class F>
  void User(F&& Action) {
    HandleEvent(View, std::forward<F>(Action));
    View.ExpectShows(Presenter);
  }
  void Tick(TSettingsControl Box, bool Checked) {
    View.UserTicks(Box, Checked);
    User([&] {
      switch (Box) {
        case TSettingsControl::cbIgnoreUnmarked:
          Presenter.cbIgnoreUnmarkedClick(Checked);
          break;
        case TSettingsControl::cbDoOnlyRead:
          Presenter.cbDoOnlyReadClick(Checked);
          break;
        case TSettingsControl::cbDoOnlyComplete:
          Presenter.cbDoOnlyCompleteClick(Checked);
          break;
        default:
          Presenter.cbAutoEnabledClick(Checked);
          break;
      }
    });
  }
  void Type(std::u16string Text) {
    View.UserTypes(Text);
    User([&] { Presenter.edAutoFilterChange(Text); });
  }
  void Ok() {
    View.ExpectClose(TModalResult::Ok);
    User([&] { Presenter.btnOKClick(); });
  }

  std::unique_ptr<TSwoConfig> Config{TSwoConfig::Create()};
  TFakeSettingsView View;
  TSettingsPresenter Presenter{View};
};

TEST_F(SettingsTest, WithoutAnyKeyAllIsClearTheDaysAreDisabledAtThirtyAndOkWritesFourFalses) {
  Open();
  for (const auto box : {TSettingsControl::cbIgnoreUnmarked, TSettingsControl::cbDoOnlyRead,
                         TSettingsControl::cbDoOnlyComplete, TSettingsControl::cbAutoEnabled})
    EXPECT_FALSE(Presenter.Checked(box));
  EXPECT_FALSE(Presenter.Enabled(TSettingsControl::edAutoFilter));
  EXPECT_FALSE(Presenter.Enabled(TSettingsControl::Label1));
  EXPECT_TRUE(Presenter.Enabled(TSettingsControl::btnOK));
  EXPECT_EQ(Presenter.AutoFilterText(), u"30");
  Ok();
  EXPECT_THAT(Lines(*Config), ElementsAre("IgnoreUnmarked=False", "DoOnlyRead=False", "DoOnlyComplete=False",
                                          "Auto.Enabled=False"));
}

TEST_F(SettingsTest, StoredFlagsTickTheirBoxesAndOkWritesTheTicks) {
  Config->SetValue(kIgnoreUnmarked, u"1");
  Config->SetValue(kDoOnlyRead, u"TRUE");
  Config->SetValue(kDoOnlyComplete, u"no");
  Open();
  EXPECT_TRUE(Presenter.Checked(TSettingsControl::cbIgnoreUnmarked));
  EXPECT_TRUE(Presenter.Checked(TSettingsControl::cbDoOnlyRead));
  EXPECT_FALSE(Presenter.Checked(TSettingsControl::cbDoOnlyComplete));
  Tick(TSettingsControl::cbDoOnlyRead, false);
  Tick(TSettingsControl::cbDoOnlyComplete, true);
  Ok();
  EXPECT_THAT(Lines(*Config), ElementsAre("IgnoreUnmarked=True", "DoOnlyRead=False", "DoOnlyComplete=True",
                                          "Auto.Enabled=False"));
}

TEST(Settings, TheStoredDaysAreShownAndWrittenAsAPlainInteger) {
  struct Case {
    std::u16string stored;  // empty: no line
    std::u16string shown;
  };
  const Case cases[] = {
      {u"007", u"7"},
      {u"14", u"14"},
      {u"0", u"0"},
      {u"", u"30"},
      {u"two weeks", u"30"},
      {u"1.5", u"30"},
      {u" 5", u"30"},
      {u"+12", u"12"},
      {u"-3", u"-3"},
      {u"2147483647", u"2147483647"},
      {u"2147483648", u"30"},
      {u"-2147483648", u"-2147483648"},
      {u"-2147483649", u"30"},
      {u"99999999999999999999", u"30"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("stored \"" + U8(c.stored) + "\"");
    std::unique_ptr<TSwoConfig> config{TSwoConfig::Create()};
    config->SetAsBoolean(kAutoEnabled, true);
    config->SetValue(kAutoFilter, c.stored);
    TFakeSettingsView view;
    TSettingsPresenter presenter{view};
    presenter.SetValues(config.get());
    view.ExpectShows(presenter);
    EXPECT_EQ(U8(presenter.AutoFilterText()), U8(c.shown));
    EXPECT_TRUE(presenter.Enabled(TSettingsControl::edAutoFilter));
    EXPECT_TRUE(presenter.Enabled(TSettingsControl::Label1));
    view.ExpectClose(TModalResult::Ok);
    presenter.btnOKClick();
    EXPECT_EQ(U8(config->GetValue(kAutoFilter)), U8(c.shown));
    view.VerifyDone();
  }
}

TEST_F(SettingsTest, TypedDaysAreWrittenOnlyWhileAutomaticCleanUpIsTicked) {
  Config->SetValue(kAutoFilter, u"not a number");
  Open();
  Tick(TSettingsControl::cbAutoEnabled, true);
  EXPECT_TRUE(Presenter.Enabled(TSettingsControl::edAutoFilter));
  Type(u"0");
  Tick(TSettingsControl::cbAutoEnabled, false);
  Ok();
  // Off: the stored value stays as it was, whatever the edit says.
  EXPECT_EQ(Config->GetValue(kAutoFilter), u"not a number");

  Open();
  Tick(TSettingsControl::cbAutoEnabled, true);
  Type(u"0");
  Ok();
  EXPECT_EQ(Config->GetValue(kAutoFilter), u"0");
  EXPECT_TRUE(Config->GetAsBoolean(kAutoEnabled));
}

TEST_F(SettingsTest, AnEmptiedEditDisablesOkEvenAfterAutomaticCleanUpIsUnticked) {
  Config->SetAsBoolean(kAutoEnabled, true);
  Config->SetValue(kAutoFilter, u"21");
  Open();
  Type(u"");
  EXPECT_FALSE(Presenter.Enabled(TSettingsControl::btnOK));
  Tick(TSettingsControl::cbAutoEnabled, false);
  EXPECT_FALSE(Presenter.Enabled(TSettingsControl::btnOK));
  EXPECT_FALSE(Presenter.Enabled(TSettingsControl::edAutoFilter));

  // A click that reaches the disabled button writes nothing and closes nothing.
  const auto before = Lines(*Config);
  User([&] { Presenter.btnOKClick(); });
  EXPECT_EQ(Lines(*Config), before);

  Tick(TSettingsControl::cbAutoEnabled, true);
  Type(u"5");
  EXPECT_TRUE(Presenter.Enabled(TSettingsControl::btnOK));
  Ok();
  EXPECT_EQ(Config->GetValue(kAutoFilter), u"5");
}

TEST_F(SettingsTest, CancelAfterChangesLeavesEverySettingAsItWas) {
  Config->SetValue(kDoOnlyRead, u"True");
  Config->SetValue(kAutoFilter, u"007");
  Config->SetValue(u"Unknown", u"kept");
  const auto before = Lines(*Config);
  Open();
  Tick(TSettingsControl::cbIgnoreUnmarked, true);
  Tick(TSettingsControl::cbDoOnlyRead, false);
  Tick(TSettingsControl::cbAutoEnabled, true);
  Type(u"3");
  View.ExpectClose(TModalResult::Cancel);
  User([&] { Presenter.btnCancelClick(); });
  EXPECT_EQ(Lines(*Config), before);
}

TEST_F(SettingsTest, WithoutValuesTheDialogKeepsItsDesignAndOkWritesNothing) {
  Presenter.SetValues(nullptr);
  EXPECT_EQ(View.Calls(), 0);
  EXPECT_EQ(Presenter.Values(), nullptr);
  EXPECT_TRUE(Presenter.Enabled(TSettingsControl::edAutoFilter));
  EXPECT_EQ(Presenter.AutoFilterText(), u"30");
  View.ExpectShows(Presenter);
  Ok();
}

}  // namespace
}  // namespace swo::test
