// The stand-in's main window: what Outlook's explorer window is to the system, a top-level
// window of the main thread (never shown), through which the stand-in is asked to close as
// Outlook is. WM_CLOSE asks it (`taskkill /pid N` without /f posts one to every top-level
// window of the process), and so does a WM_QUIT that reaches a wait. The request ends the wait
// in progress and drops the actions still to come; the stand-in then shuts down as usual: the
// add-ins are disconnected, the mailbox saved and the last lines printed.
#pragma once

#include <windows.h>

namespace standin {

class TMainWindow {
 public:
  // Raises when the window cannot be made.
  TMainWindow();
  ~TMainWindow();
  TMainWindow(const TMainWindow&) = delete;
  TMainWindow& operator=(const TMainWindow&) = delete;

 private:
  HWND FHandle = nullptr;
};

// Records a request to close; the first one prints "close requested". Main thread only.
void RequestClose();
// Whether the stand-in was asked to close. Main thread only.
bool CloseRequested();

}  // namespace standin
