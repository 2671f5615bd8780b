// The settings dialog without its pixels: the four flags, the days of the automatic clean-up,
// the enabled states, and the handlers. It edits the sorter's settings object in place, on OK
// only; Cancel writes nothing.
//
// The view (settings_view.h) reports the user's actions by calling the handlers through
// HandleEvent (event_edge.h). The caller writes Values once, before the dialog is shown.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "ui/settings_view.h"

namespace swo {

class TSwoConfig;

class TSettingsPresenter {
 public:
  // The designed state: four boxes clear, the edit "30", every control enabled.
  explicit TSettingsPresenter(TSettingsView& View);
  TSettingsPresenter(const TSettingsPresenter&) = delete;
  TSettingsPresenter& operator=(const TSettingsPresenter&) = delete;

  // The settings object being edited (not owned); null until written.
  TSwoConfig* Values() const { return FValues; }
  // Stores V and fills the controls from it; null leaves the controls as they are.
  void SetValues(TSwoConfig* V);

  // Whether the check box Box is ticked.
  bool Checked(TSettingsControl Box) const { return FChecked[static_cast<size_t>(Box)]; }
  // Whether Control is enabled.
  bool Enabled(TSettingsControl Control) const { return FEnabled[static_cast<size_t>(Control)]; }
  // The text of edAutoFilter.
  const std::u16string& AutoFilterText() const { return FAutoFilterText; }

  // The user ticked or cleared cbIgnoreUnmarked.
  void cbIgnoreUnmarkedClick(bool Checked);
  // The user ticked or cleared cbDoOnlyRead.
  void cbDoOnlyReadClick(bool Checked);
  // The user ticked or cleared cbDoOnlyComplete.
  void cbDoOnlyCompleteClick(bool Checked);
  // The user ticked or cleared cbAutoEnabled: the days and Label1 are enabled exactly when ticked.
  void cbAutoEnabledClick(bool Checked);
  // edAutoFilter now holds Text: OK is enabled exactly when it is not empty.
  void edAutoFilterChange(std::u16string_view Text);
  // Writes the four flags and, while automatic clean-up is ticked, the days; closes with OK.
  void btnOKClick();
  // Closes with Cancel, writing nothing.
  void btnCancelClick();

  // Text read as a 32-bit signed integer (an optional sign and decimal digits), or none.
  static std::optional<int32_t> ReadInteger(std::u16string_view Text);
  // The days as written: Text read as an integer, or 30 when it is none, in plain decimal.
  static std::u16string DaysText(std::u16string_view Text);

 private:
  void SetChecked(TSettingsControl Box, bool Checked);
  void SetEnabled(TSettingsControl Control, bool Enabled);
  void SetAutoFilterText(std::u16string_view Text);
  void AutoEnabledChanged();

  TSettingsView& FView;
  TSwoConfig* FValues = nullptr;
  std::array<bool, kSettingsControlCount> FChecked{};
  std::array<bool, kSettingsControlCount> FEnabled;
  std::u16string FAutoFilterText = u"30";
};

}  // namespace swo
