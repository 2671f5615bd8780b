// While a modal window is open, ShowModal disables the thread's other windows that are open at
// that moment. An application such as Outlook opens more on the same thread at any time (a new
// explorer, an inspector, the reminders): TLateWindowsDisabled keeps those out of reach too,
// disabling each frame without an owner that the thread creates or activates meanwhile, and
// enables them again when the modal window closes. Owned windows (the modal window's own
// dialogs and boxes, a dialog that Outlook opens over one of its windows) are left alone, and so
// is whatever opens while one of the modal windows' handlers runs: what the user's own action
// opens (Outlook's folder picker) is the user's to use.
#pragma once

#include <windows.h>

#include <vector>

namespace swo {

class TLateWindowsDisabled {
 public:
  // Watches the thread's windows while Modal is open. Only the outermost modal window of a
  // thread watches: a nested one's object does nothing.
  explicit TLateWindowsDisabled(HWND Modal);
  // Enables again the windows it disabled.
  ~TLateWindowsDisabled();
  TLateWindowsDisabled(const TLateWindowsDisabled&) = delete;
  TLateWindowsDisabled& operator=(const TLateWindowsDisabled&) = delete;

  // Posted to the modal window for a window just created (a window cannot be disabled while
  // it is being made); the modal window hands it to Disable.
  static constexpr UINT kDisableMessage = WM_APP + 0x5A1;
  static void Disable(HWND Window) noexcept;

  // A handler of a modal window runs while the object lives: the thread's windows opened or
  // activated meanwhile are left alone. A modal window opened inside it watches afresh.
  class TUserAction {
   public:
    TUserAction();
    ~TUserAction();
    TUserAction(const TUserAction&) = delete;
    TUserAction& operator=(const TUserAction&) = delete;
  };

 private:
  static LRESULT CALLBACK Hook(int Code, WPARAM WParam, LPARAM LParam) noexcept;
  void DisableForeign(HWND Window);

  HWND FModal;
  int FOuterActions;  // the handlers running when this modal window opened
  HHOOK FHook = nullptr;
  std::vector<HWND> FDisabled;
};

}  // namespace swo
