#include "editor_driver_win.h"

#include <algorithm>
#include <exception>

#include "foundation/exception.h"
#include "foundation/text.h"
#include "host_output.h"
#include "platform/wide_win.h"
#include "window_shot_win.h"

namespace standin {
namespace {

using brv::EbrvObject;

constexpr wchar_t kEditorClass[] = L"TSortwiseForm";
constexpr wchar_t kEditorCaption[] = L"Brevanta Outlook Sortwise";
constexpr wchar_t kRunButton[] = L"Run...";
constexpr wchar_t kCloseButton[] = L"Close";
constexpr wchar_t kBarrierClass[] = L"OutlookStandinEditorBarrier";
constexpr UINT kBarrierMessage = WM_APP + 1;
// How long a person waits for the editor to show, and for it to go after "Close".
constexpr DWORD kPatienceMs = 10000;
constexpr DWORD kPollMs = 20;

std::u16string TextOf(HWND Window) {
  wchar_t text[1024] = {};
  GetWindowTextW(Window, text, 1024);
  return brv::platform::FromWide(text);
}

bool InThisProcess(HWND Window) {
  DWORD process = 0;
  GetWindowThreadProcessId(Window, &process);
  return process == GetCurrentProcessId();
}

bool Gone(HWND Window) { return !IsWindow(Window) || !IsWindowVisible(Window); }

// The message box (a dialog of class "#32770") the editor shows over itself, or null.
HWND ErrorBoxOver(HWND Editor) {
  for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box != nullptr;
       box = FindWindowExW(nullptr, box, L"#32770", nullptr))
    if (GetWindow(box, GW_OWNER) == Editor) return box;
  return nullptr;
}

// The texts of a message box's static controls: its message.
std::u16string MessageOf(HWND Box) {
  std::u16string message;
  for (HWND child = FindWindowExW(Box, nullptr, L"Static", nullptr); child != nullptr;
       child = FindWindowExW(Box, child, L"Static", nullptr)) {
    const std::u16string text = TextOf(child);
    if (text.empty()) continue;
    if (!message.empty()) message += u' ';
    message += text;
  }
  return message;
}

std::string Utf8(const wchar_t* Text) { return brv::Utf16ToUtf8(brv::platform::FromWide(Text)); }

void RegisterBarrierClass(WNDPROC Procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kBarrierClass;
  if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    EbrvObject::Check(false);
}

}  // namespace

std::optional<std::vector<TEditorAction>> ReadEditorActions(std::string_view Text, std::string& Error) {
  std::vector<TEditorAction> actions;
  for (size_t start = 0;;) {
    const size_t end = std::min(Text.find(',', start), Text.size());
    const std::string_view name = Text.substr(start, end - start);
    if (name == "run") {
      actions.push_back(TEditorAction::Run);
    } else if (name == "close") {
      actions.push_back(TEditorAction::Close);
    } else {
      Error = "unknown editor action '" + std::string(name) + "' (known: run, close)";
      return std::nullopt;
    }
    if (end == Text.size()) break;
    start = end + 1;
  }
  for (size_t i = 0; i < actions.size(); ++i)
    if ((actions[i] == TEditorAction::Close) != (i + 1 == actions.size())) {
      Error =
          "the editor actions must end with close, and close only there: the press returns when the editor "
          "has closed";
      return std::nullopt;
    }
  return actions;
}

TEditorDriver::TEditorDriver(const TEditorScript& Script) : FScript(Script) {
  try {
    RegisterBarrierClass(BarrierProc);
    FBarrier = CreateWindowExW(0, kBarrierClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    EbrvObject::Check(FBarrier != nullptr);
    FPressReturned = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EbrvObject::Check(FPressReturned != nullptr);
    FBarrierPassed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EbrvObject::Check(FBarrierPassed != nullptr);
    FThread = CreateThread(nullptr, 0, ThreadRoutine, this, 0, nullptr);
    EbrvObject::Check(FThread != nullptr);
  } catch (...) {
    Release();
    throw;
  }
}

TEditorDriver::~TEditorDriver() {
  if (FThread != nullptr) Finish();
  Release();
}

void TEditorDriver::Release() noexcept {
  if (FThread != nullptr) CloseHandle(FThread);
  if (FBarrier != nullptr) DestroyWindow(FBarrier);
  if (FBarrierPassed != nullptr) CloseHandle(FBarrierPassed);
  if (FPressReturned != nullptr) CloseHandle(FPressReturned);
  FThread = FBarrierPassed = FPressReturned = nullptr;
  FBarrier = nullptr;
}

bool TEditorDriver::Finish() {
  SetEvent(FPressReturned);
  // The driver may still be talking to windows of this thread.
  while (MsgWaitForMultipleObjects(1, &FThread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return FOk;
}

DWORD WINAPI TEditorDriver::ThreadRoutine(void* Self) noexcept {
  auto& driver = *static_cast<TEditorDriver*>(Self);
  try {
    driver.Drive();
  } catch (const std::exception& e) {
    PrintLine(std::string("editor driver error ") + e.what());
    driver.FOk = false;
  } catch (...) {
    PrintLine("editor driver error");
    driver.FOk = false;
  }
  return 0;
}

// The driver posts this message behind its click: when the host thread gets to it, the click
// before it has been taken up.
LRESULT CALLBACK TEditorDriver::BarrierProc(HWND Window, UINT Message, WPARAM WParam,
                                            LPARAM LParam) noexcept {
  if (Message == kBarrierMessage) {
    SetEvent(reinterpret_cast<HANDLE>(LParam));
    return 0;
  }
  return DefWindowProcW(Window, Message, WParam, LParam);
}

void TEditorDriver::Drive() {
  const HWND editor = WaitForEditor();
  if (editor == nullptr) {
    PrintLine("editor not shown");
    FOk = false;
    return;
  }
  PrintLine("editor shown");
  bool ok = FScript.Shot.empty() || Shoot(editor);
  for (const TEditorAction action : FScript.Actions) {
    if (!ok) break;
    ok = action == TEditorAction::Run ? Run(editor) : Close(editor);
  }
  if (ok) return;
  FOk = false;
  // A person closes the window by its frame when a step went wrong, so that the press returns.
  if (Gone(editor)) return;
  PostMessageW(editor, WM_CLOSE, 0, 0);
  for (DWORD waited = 0; !Gone(editor) && waited < kPatienceMs; waited += kPollMs) Sleep(kPollMs);
  PrintLine(Gone(editor) ? "editor closed by its frame after the failed step" : "editor did not close");
}

HWND TEditorDriver::WaitForEditor() const {
  for (DWORD waited = 0; waited <= kPatienceMs; waited += kPollMs) {
    for (HWND found = FindWindowExW(nullptr, nullptr, kEditorClass, kEditorCaption); found != nullptr;
         found = FindWindowExW(nullptr, found, kEditorClass, kEditorCaption))
      if (IsWindowVisible(found) && InThisProcess(found)) return found;
    if (WaitForSingleObject(FPressReturned, kPollMs) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

bool TEditorDriver::Shoot(HWND Editor) const {
  try {
    const SIZE size = SaveWindowPicture(Editor, FScript.Shot);
    PrintLine("editor shot " + std::to_string(size.cx) + "x" + std::to_string(size.cy));
    return true;
  } catch (const brv::Exception& e) {
    PrintLine("editor shot failed: " + brv::Utf16ToUtf8(e.Message()));
    return false;
  }
}

void TEditorDriver::PassBarrier(HWND Editor) const {
  PostMessageW(FBarrier, kBarrierMessage, 0, reinterpret_cast<LPARAM>(FBarrierPassed));
  while (WaitForSingleObject(FBarrierPassed, kPollMs) == WAIT_TIMEOUT)
    if (!IsWindow(Editor)) return;
}

// An error raised by the run shows in a message box over the editor: that is a failed run.
bool TEditorDriver::ReportErrorBox(HWND Editor) const {
  const HWND box = ErrorBoxOver(Editor);
  if (box == nullptr) return false;
  PrintLine("editor error \"" + brv::Utf16ToUtf8(MessageOf(box)) + "\"");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  for (DWORD waited = 0; IsWindow(box) && waited < kPatienceMs; waited += kPollMs) Sleep(kPollMs);
  return true;
}

bool TEditorDriver::Run(HWND Editor) {
  const HWND button = FindWindowExW(Editor, nullptr, L"BUTTON", kRunButton);
  if (button == nullptr || !IsWindowEnabled(button)) {
    PrintLine("editor button \"" + Utf8(kRunButton) + (button == nullptr ? "\" missing" : "\" disabled"));
    return false;
  }
  PostMessageW(button, BM_CLICK, 0, 0);
  // The click handler disables the button before the run, so once the click has been taken up,
  // the button enabled again means the run has ended.
  PassBarrier(Editor);
  while (IsWindow(Editor) && !IsWindowEnabled(button)) Sleep(kPollMs);
  if (!IsWindow(Editor)) {
    PrintLine("editor gone during the run");
    return false;
  }
  if (ReportErrorBox(Editor)) return false;
  PrintLine("editor run");
  return true;
}

bool TEditorDriver::Close(HWND Editor) const {
  const HWND button = FindWindowExW(Editor, nullptr, L"BUTTON", kCloseButton);
  if (button == nullptr) {
    PrintLine("editor button \"" + Utf8(kCloseButton) + "\" missing");
    return false;
  }
  PostMessageW(button, BM_CLICK, 0, 0);
  for (DWORD waited = 0; !Gone(Editor) && waited < kPatienceMs; waited += kPollMs) Sleep(kPollMs);
  if (!Gone(Editor)) {
    PrintLine("editor did not close");
    return false;
  }
  PrintLine("editor closed");
  return true;
}

}  // namespace standin
