// A strict fake of the settings dialog: it keeps the ticks, enabled states and text it was told,
// fails on a call no settings dialog gets (ticking a control that is no check box, enabling one
// the presenter never switches), and on a close or error box the test did not announce.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <string>

#include "fake_main_view.h"
#include "ui/settings_presenter.h"
#include "ui/settings_view.h"

namespace swo::test {

class TFakeSettingsView : public TSettingsView {
 public:
  TFakeSettingsView() { FEnabled.fill(true); }
  // The next CloseDialog must end with Result.
  void ExpectClose(TModalResult Result) { FCloses.push_back(Result); }
  // The next ShowError must show Text.
  void ExpectError(std::u16string Text) { FErrors.push_back(std::move(Text)); }
  void VerifyDone() {
    EXPECT_TRUE(FCloses.empty()) << "the dialog was not closed";
    EXPECT_TRUE(FErrors.empty()) << "an error box did not come";
    FCloses.clear();
    FErrors.clear();
  }

  // The user's own changes, which a real dialog makes before it reports them.
  void UserTicks(TSettingsControl Box, bool Checked) { FChecked[static_cast<size_t>(Box)] = Checked; }
  void UserTypes(std::u16string Text) { FText = std::move(Text); }

  bool Checked(TSettingsControl Box) const { return FChecked[static_cast<size_t>(Box)]; }
  bool Enabled(TSettingsControl Control) const { return FEnabled[static_cast<size_t>(Control)]; }
  const std::u16string& Text() const { return FText; }
  int Calls() const { return FCalls; }

  // Fails where the dialog does not show the presenter's state.
  void ExpectShows(const TSettingsPresenter& Presenter) const {
    for (int i = 0; i < kSettingsControlCount; ++i) {
      const auto c = static_cast<TSettingsControl>(i);
      EXPECT_EQ(Checked(c), Presenter.Checked(c)) << "tick of control " << i;
      EXPECT_EQ(Enabled(c), Presenter.Enabled(c)) << "enabled state of control " << i;
    }
    EXPECT_EQ(U8(FText), U8(Presenter.AutoFilterText()));
  }

  void SetChecked(TSettingsControl Box, bool Checked) override {
    ++FCalls;
    EXPECT_LE(static_cast<int>(Box), static_cast<int>(TSettingsControl::cbAutoEnabled)) << "not a check box";
    EXPECT_NE(this->Checked(Box), Checked) << "ticked as it was";
    FChecked[static_cast<size_t>(Box)] = Checked;
  }
  void SetEnabled(TSettingsControl Control, bool Enabled) override {
    ++FCalls;
    EXPECT_TRUE(Control == TSettingsControl::edAutoFilter || Control == TSettingsControl::Label1 ||
                Control == TSettingsControl::btnOK)
        << "control " << static_cast<int>(Control) << " is never switched";
    EXPECT_NE(this->Enabled(Control), Enabled) << "switched to the state it has";
    FEnabled[static_cast<size_t>(Control)] = Enabled;
  }
  void SetAutoFilterText(std::u16string_view Text) override {
    ++FCalls;
    FText = Text;
  }
  void CloseDialog(TModalResult Result) override {
    ++FCalls;
    if (FCloses.empty()) {
      ADD_FAILURE() << "unexpected close";
      return;
    }
    EXPECT_EQ(Result, FCloses.front());
    FCloses.pop_front();
  }
  void ShowError(std::u16string_view Text) override {
    ++FCalls;
    if (FErrors.empty()) {
      ADD_FAILURE() << "unexpected error box \"" << U8(Text) << "\"";
      return;
    }
    EXPECT_EQ(U8(Text), U8(FErrors.front()));
    FErrors.pop_front();
  }

 private:
  std::array<bool, kSettingsControlCount> FChecked{};
  std::array<bool, kSettingsControlCount> FEnabled;
  std::u16string FText = u"30";
  std::deque<TModalResult> FCloses;
  std::deque<std::u16string> FErrors;
  int FCalls = 0;
};

}  // namespace swo::test
