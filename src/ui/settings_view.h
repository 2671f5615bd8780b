// What the settings dialog must show or do, as its presenter (settings_presenter.h) asks for it.
// The Win32 dialog implements it; tests implement it with a strict fake.
//
// Rules for an implementation: calls from the presenter never come back as events (ticking a
// box or setting the edit's text reports nothing); the controls start as the presenter's getters
// say; no call raises.
#pragma once

#include <string_view>

#include "ui/event_edge.h"

namespace swo {

// The dialog's controls.
enum class TSettingsControl {
  cbIgnoreUnmarked,  // "Process only flagged mail items"
  cbDoOnlyRead,      // "Process only read mail items"
  cbDoOnlyComplete,  // "Process flagged mail items only if completed"
  cbAutoEnabled,     // "Perform automatic clean-up..."
  edAutoFilter,      // the days; its label "... for mails older than days:" goes with it
  Label1,            // the note on when the automatic clean-up runs
  btnOK,
  btnCancel,
};
inline constexpr int kSettingsControlCount = 8;

// How the dialog ended.
enum class TModalResult { Ok, Cancel };

class TSettingsView : public TErrorView {
 public:
  // Ticks or clears one of the four check boxes.
  virtual void SetChecked(TSettingsControl Box, bool Checked) = 0;
  // Enables or disables Control (edAutoFilter together with its label).
  virtual void SetEnabled(TSettingsControl Control, bool Enabled) = 0;
  // Sets the text of edAutoFilter.
  virtual void SetAutoFilterText(std::u16string_view Text) = 0;
  // Ends the modal dialog with Result.
  virtual void CloseDialog(TModalResult Result) = 0;
};

}  // namespace swo
