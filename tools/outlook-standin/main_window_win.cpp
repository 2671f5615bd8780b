#include "main_window_win.h"

#include "foundation/exception.h"
#include "host_output.h"

namespace standin {
namespace {

constexpr wchar_t kClassName[] = L"OutlookStandinMainWindow";
constexpr wchar_t kCaption[] = L"Outlook stand-in";

bool Closing = false;

LRESULT CALLBACK MainWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  // Closing is the stand-in's shut-down, not the window's: the window stays until the end.
  if (Message == WM_CLOSE) {
    RequestClose();
    return 0;
  }
  return DefWindowProcW(Window, Message, WParam, LParam);
}

void RegisterMainWindowClass() {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    brv::EbrvObject::Check(brv::TbrvOsError{GetLastError()});
}

}  // namespace

TMainWindow::TMainWindow() {
  RegisterMainWindowClass();
  // A top-level window, not a message-only one: those are not enumerated, so taskkill would
  // not find the process's window to close.
  FHandle = CreateWindowExW(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (FHandle == nullptr) {
    const DWORD error = GetLastError();
    brv::EbrvObject::Check(brv::TbrvOsError{error != 0 ? error : static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE)});
  }
}

TMainWindow::~TMainWindow() { DestroyWindow(FHandle); }

void RequestClose() {
  if (Closing) return;
  Closing = true;
  PrintLine("close requested");
}

bool CloseRequested() { return Closing; }

}  // namespace standin
