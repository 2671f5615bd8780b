#include "ui/settings_presenter.h"

#include <cstdint>
#include <limits>

#include "sorting/number.h"
#include "sorting/sortwise.h"

namespace swo {

namespace {

constexpr int32_t kDefaultDays = 30;

std::u16string Decimal(int32_t Value) {
  std::u16string digits;
  int64_t rest = Value < 0 ? -static_cast<int64_t>(Value) : Value;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + rest % 10));
    rest /= 10;
  } while (rest != 0);
  return Value < 0 ? u"-" + digits : digits;
}

}  // namespace

TSettingsPresenter::TSettingsPresenter(TSettingsView& View) : FView(View) { FEnabled.fill(true); }

std::optional<int32_t> TSettingsPresenter::ReadInteger(std::u16string_view Text) { return TextToInteger(Text); }

std::u16string TSettingsPresenter::DaysText(std::u16string_view Text) {
  return Decimal(ReadInteger(Text).value_or(kDefaultDays));
}

void TSettingsPresenter::SetChecked(TSettingsControl Box, bool Checked) {
  bool& state = FChecked[static_cast<size_t>(Box)];
  if (state == Checked) return;
  state = Checked;
  FView.SetChecked(Box, Checked);
}

void TSettingsPresenter::SetEnabled(TSettingsControl Control, bool Enabled) {
  bool& state = FEnabled[static_cast<size_t>(Control)];
  if (state == Enabled) return;
  state = Enabled;
  FView.SetEnabled(Control, Enabled);
}

void TSettingsPresenter::SetAutoFilterText(std::u16string_view Text) {
  FAutoFilterText = Text;
  FView.SetAutoFilterText(Text);
  edAutoFilterChange(Text);
}

void TSettingsPresenter::SetValues(TSwoConfig* V) {
  FValues = V;
  if (V == nullptr) return;
  SetChecked(TSettingsControl::cbIgnoreUnmarked, V->GetAsBoolean(kIgnoreUnmarked));
  SetChecked(TSettingsControl::cbDoOnlyRead, V->GetAsBoolean(kDoOnlyRead));
  SetChecked(TSettingsControl::cbDoOnlyComplete, V->GetAsBoolean(kDoOnlyComplete));
  const bool autoEnabled = V->GetAsBoolean(kAutoEnabled);
  if (autoEnabled != Checked(TSettingsControl::cbAutoEnabled)) {
    SetChecked(TSettingsControl::cbAutoEnabled, autoEnabled);
    AutoEnabledChanged();
  }
  if (autoEnabled) SetAutoFilterText(DaysText(V->GetValue(kAutoFilter)));
  AutoEnabledChanged();
}

void TSettingsPresenter::cbIgnoreUnmarkedClick(bool Checked) {
  FChecked[static_cast<size_t>(TSettingsControl::cbIgnoreUnmarked)] = Checked;
}

void TSettingsPresenter::cbDoOnlyReadClick(bool Checked) {
  FChecked[static_cast<size_t>(TSettingsControl::cbDoOnlyRead)] = Checked;
}

void TSettingsPresenter::cbDoOnlyCompleteClick(bool Checked) {
  FChecked[static_cast<size_t>(TSettingsControl::cbDoOnlyComplete)] = Checked;
}

void TSettingsPresenter::cbAutoEnabledClick(bool Checked) {
  FChecked[static_cast<size_t>(TSettingsControl::cbAutoEnabled)] = Checked;
  AutoEnabledChanged();
}

void TSettingsPresenter::AutoEnabledChanged() {
  const bool enabled = Checked(TSettingsControl::cbAutoEnabled);
  SetEnabled(TSettingsControl::edAutoFilter, enabled);
  SetEnabled(TSettingsControl::Label1, enabled);
}

void TSettingsPresenter::edAutoFilterChange(std::u16string_view Text) {
  FAutoFilterText = Text;
  SetEnabled(TSettingsControl::btnOK, !FAutoFilterText.empty());
}

void TSettingsPresenter::btnOKClick() {
  // A click that reaches a disabled OK (the days emptied) must not write 30 behind the user's back.
  if (!Enabled(TSettingsControl::btnOK)) return;
  if (FValues != nullptr) {
    FValues->SetAsBoolean(kIgnoreUnmarked, Checked(TSettingsControl::cbIgnoreUnmarked));
    FValues->SetAsBoolean(kDoOnlyRead, Checked(TSettingsControl::cbDoOnlyRead));
    FValues->SetAsBoolean(kDoOnlyComplete, Checked(TSettingsControl::cbDoOnlyComplete));
    FValues->SetAsBoolean(kAutoEnabled, Checked(TSettingsControl::cbAutoEnabled));
    if (Checked(TSettingsControl::cbAutoEnabled)) FValues->SetValue(kAutoFilter, DaysText(FAutoFilterText));
  }
  FView.CloseDialog(TModalResult::Ok);
}

void TSettingsPresenter::btnCancelClick() { FView.CloseDialog(TModalResult::Cancel); }

}  // namespace swo
