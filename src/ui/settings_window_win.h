// TfrmSettings: the settings dialog's window. The presenter (settings_presenter.h) holds the
// state and the rules; this class draws the controls it describes and reports what the user does.
#pragma once

#include "ui/form_win.h"
#include "ui/settings_presenter.h"
#include "ui/settings_view.h"

namespace swo {

class TfrmSettings final : public TForm, public TSettingsView {
 public:
  TfrmSettings();

  // The presenter; the caller writes Values through it before ShowModal.
  TSettingsPresenter& Presenter() { return FPresenter; }

  // TSettingsView
  void SetChecked(TSettingsControl Box, bool Checked) override;
  void SetEnabled(TSettingsControl Control, bool Enabled) override;
  void SetAutoFilterText(std::u16string_view Text) override;
  void CloseDialog(TModalResult Result) override;
  void ShowError(std::u16string_view Text) override;

 protected:
  void CreateControls() override;
  void OnCommand(int Id, int Code, HWND Control) override;
  void OnCloseRequest() override;
  void OnArranged() override;

 private:
  HWND ControlOf(TSettingsControl Control) const;

  TSettingsPresenter FPresenter;
  bool FUpdating = false;  // set while the presenter's changes reach the controls
};

}  // namespace swo
