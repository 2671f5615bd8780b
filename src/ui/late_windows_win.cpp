#include "ui/late_windows_win.h"

#include <utility>

namespace swo {
namespace {

// The watching object of this thread's outermost modal window; null while none is open.
thread_local TLateWindowsDisabled* Watching = nullptr;
// The handlers of the innermost modal window that are running.
thread_local int UserActions = 0;

bool IsFrameWithoutOwner(DWORD Style, HWND Owner) {
  return (Style & WS_CHILD) == 0 && (Style & WS_CAPTION) == WS_CAPTION && Owner == nullptr;
}

}  // namespace

TLateWindowsDisabled::TLateWindowsDisabled(HWND Modal) : FModal(Modal), FOuterActions(std::exchange(UserActions, 0)) {
  if (Watching != nullptr) return;
  FHook = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
  // Without the hook, the windows opened meanwhile stay usable, as they would without it.
  if (FHook != nullptr) Watching = this;
}

TLateWindowsDisabled::~TLateWindowsDisabled() {
  UserActions = FOuterActions;
  if (FHook == nullptr) return;
  UnhookWindowsHookEx(FHook);
  Watching = nullptr;
  for (HWND Window : FDisabled)
    if (IsWindow(Window)) EnableWindow(Window, TRUE);
}

void TLateWindowsDisabled::Disable(HWND Window) noexcept {
  try {
    if (Watching != nullptr) Watching->DisableForeign(Window);
  } catch (...) {
    // Out of memory to note the window: it stays usable.
  }
}

void TLateWindowsDisabled::DisableForeign(HWND Window) {
  if (Window == FModal || !IsWindow(Window) || !IsWindowEnabled(Window)) return;
  if (!IsFrameWithoutOwner(static_cast<DWORD>(GetWindowLongW(Window, GWL_STYLE)), GetWindow(Window, GW_OWNER))) return;
  // Noted before it is disabled: a window disabled by anyone else is not enabled at the end.
  FDisabled.push_back(Window);
  EnableWindow(Window, FALSE);
}

TLateWindowsDisabled::TUserAction::TUserAction() { ++UserActions; }

TLateWindowsDisabled::TUserAction::~TUserAction() { --UserActions; }

LRESULT CALLBACK TLateWindowsDisabled::Hook(int Code, WPARAM WParam, LPARAM LParam) noexcept {
  TLateWindowsDisabled* Self = UserActions == 0 ? Watching : nullptr;
  if (Self != nullptr && Code == HCBT_CREATEWND) {
    const CREATESTRUCTW& Create = *reinterpret_cast<CBT_CREATEWNDW*>(LParam)->lpcs;
    if (IsFrameWithoutOwner(static_cast<DWORD>(Create.style), Create.hwndParent))
      PostMessageW(Self->FModal, kDisableMessage, WParam, 0);
  } else if (Self != nullptr && Code == HCBT_ACTIVATE) {
    // A window that was hidden, or that the posted message has not reached yet, is kept from
    // taking the activation away from the modal window.
    const HWND Window = reinterpret_cast<HWND>(WParam);
    const bool WasEnabled = IsWindowEnabled(Window) != FALSE;
    Disable(Window);
    if (WasEnabled && IsWindowEnabled(Window) == FALSE) return 1;
  }
  return CallNextHookEx(nullptr, Code, WParam, LParam);
}

}  // namespace swo
