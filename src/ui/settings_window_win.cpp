#include "ui/settings_window_win.h"

#include "platform/wide_win.h"
#include "ui/window_layouts.h"

namespace swo {
namespace {

constexpr TSettingsControl kBoxes[] = {TSettingsControl::cbIgnoreUnmarked, TSettingsControl::cbDoOnlyRead,
                                       TSettingsControl::cbDoOnlyComplete, TSettingsControl::cbAutoEnabled};
constexpr int kBoxItems[] = {sicbIgnoreUnmarked, sicbDoOnlyRead, sicbDoOnlyComplete, sicbAutoEnabled};
constexpr const char16_t* kBoxCaptions[] = {
    u"Process only flagged mail items", u"Process only read mail items",
    u"Process flagged mail items only if completed", u"Perform automatic clean-up..."};

int ItemOf(TSettingsControl Control) {
  switch (Control) {
    case TSettingsControl::cbIgnoreUnmarked: return sicbIgnoreUnmarked;
    case TSettingsControl::cbDoOnlyRead: return sicbDoOnlyRead;
    case TSettingsControl::cbDoOnlyComplete: return sicbDoOnlyComplete;
    case TSettingsControl::cbAutoEnabled: return sicbAutoEnabled;
    case TSettingsControl::edAutoFilter: return siedAutoFilter;
    case TSettingsControl::Label1: return siLabel1;
    case TSettingsControl::btnOK: return sibtnOK;
    case TSettingsControl::btnCancel: return sibtnCancel;
  }
  return -1;
}

// Widens a right-aligned label to the left when its text needs more room than designed (a font
// whose metrics differ from Tahoma's would otherwise wrap the last word out of sight).
void FitLabelToItsText(HWND Label) {
  const std::u16string Text = WindowText(Label);
  HDC Dc = GetDC(Label);
  HGDIOBJ Old = SelectObject(Dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Label, WM_GETFONT, 0, 0)));
  SIZE Extent{};
  GetTextExtentPoint32W(Dc, reinterpret_cast<const wchar_t*>(Text.c_str()), static_cast<int>(Text.size()), &Extent);
  SelectObject(Dc, Old);
  ReleaseDC(Label, Dc);
  RECT Place;
  GetWindowRect(Label, &Place);
  MapWindowPoints(HWND_DESKTOP, GetParent(Label), reinterpret_cast<POINT*>(&Place), 2);
  const int Width = Place.right - Place.left;
  if (Extent.cx <= Width) return;
  MoveWindow(Label, Place.right - Extent.cx, Place.top, Extent.cx, Place.bottom - Place.top, FALSE);
}

}  // namespace

TfrmSettings::TfrmSettings()
    : TForm(SettingsWindowLayout(), {u"Settings", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                     WS_EX_DLGMODALFRAME, false, nullptr}),
      FPresenter(*this) {}

void TfrmSettings::CreateControls() {
  // Creation order is the tab order: OK, Cancel, the four boxes, the days.
  AddControl(sibtnOK, L"BUTTON", u"&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, IDOK);
  AddControl(sibtnCancel, L"BUTTON", u"&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0, IDCANCEL);
  for (int I = 0; I < 4; ++I) AddControl(kBoxItems[I], L"BUTTON", kBoxCaptions[I], BS_AUTOCHECKBOX | WS_TABSTOP);
  AddControl(silbAutoFilter, L"STATIC", u"... for mails older than days:", SS_RIGHT | SS_NOPREFIX);
  AddControl(siedAutoFilter, L"EDIT", FPresenter.AutoFilterText(), ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP,
             WS_EX_CLIENTEDGE);
  AddControl(siLabel1, L"STATIC",
             u"Automatic clean-up is done a few minutes after starting Outlook. The process is run only once "
             u"per Outlook session.",
             SS_LEFT);
  for (TSettingsControl Box : kBoxes) SetChecked(Box, FPresenter.Checked(Box));
  for (int I = 0; I < kSettingsControlCount; ++I) {
    const auto Control = static_cast<TSettingsControl>(I);
    SetEnabled(Control, FPresenter.Enabled(Control));
  }
}

void TfrmSettings::OnArranged() { FitLabelToItsText(TForm::Control(silbAutoFilter)); }

HWND TfrmSettings::ControlOf(TSettingsControl Control) const {
  return Handle() != nullptr ? TForm::Control(ItemOf(Control)) : nullptr;
}

void TfrmSettings::SetChecked(TSettingsControl Box, bool Checked) {
  if (HWND Control = ControlOf(Box)) SendMessageW(Control, BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TfrmSettings::SetEnabled(TSettingsControl Control, bool Enabled) {
  if (HWND Window = ControlOf(Control)) EnableWindow(Window, Enabled);
  if (Control == TSettingsControl::edAutoFilter && Handle() != nullptr)
    EnableWindow(TForm::Control(silbAutoFilter), Enabled);
}

void TfrmSettings::SetAutoFilterText(std::u16string_view Text) {
  HWND Edit = ControlOf(TSettingsControl::edAutoFilter);
  if (Edit == nullptr) return;
  FUpdating = true;
  SetWindowTextW(Edit, brv::platform::WideCStr(std::u16string(Text)));
  FUpdating = false;
}

void TfrmSettings::CloseDialog(TModalResult Result) { Close(Result == TModalResult::Ok ? IDOK : IDCANCEL); }

void TfrmSettings::ShowError(std::u16string_view Text) { ShowErrorBox(Handle(), Text); }

void TfrmSettings::OnCommand(int Id, int Code, HWND Control) {
  if (Id == IDOK) {
    // Enter reaches here too: it must not bypass a disabled OK.
    if (IsWindowEnabled(TForm::Control(sibtnOK))) FPresenter.btnOKClick();
    return;
  }
  if (Id == IDCANCEL) return FPresenter.btnCancelClick();
  if (Id == ControlId(siedAutoFilter)) {
    if (Code == EN_CHANGE && !FUpdating) FPresenter.edAutoFilterChange(WindowText(Control));
    return;
  }
  if (Code != BN_CLICKED) return;
  const bool Ticked = SendMessageW(Control, BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (Id == ControlId(sicbIgnoreUnmarked)) FPresenter.cbIgnoreUnmarkedClick(Ticked);
  if (Id == ControlId(sicbDoOnlyRead)) FPresenter.cbDoOnlyReadClick(Ticked);
  if (Id == ControlId(sicbDoOnlyComplete)) FPresenter.cbDoOnlyCompleteClick(Ticked);
  if (Id == ControlId(sicbAutoEnabled)) FPresenter.cbAutoEnabledClick(Ticked);
}

void TfrmSettings::OnCloseRequest() { FPresenter.btnCancelClick(); }

}  // namespace swo
