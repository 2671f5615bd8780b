// A person at the add-in's rule editor while a ribbon press holds it open: a thread of its own
// waits for the editor window, takes its picture, and clicks its buttons, printing one line per
// step. The editor runs modally on the host's thread, inside the press, so nothing else could.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

enum class TEditorAction {
  Run,   // clicks "Run..." and waits until the run it starts has ended
  Close  // clicks "Close" and waits until the editor has gone
};

struct TEditorScript {
  std::u16string Shot;                 // the file for the editor's picture; empty: none
  std::vector<TEditorAction> Actions;  // empty: no editor is expected
};

// The actions of "run,close": names separated by commas. Close must come last, and once, for
// the press to return; nothing, with Error set, for any other text.
std::optional<std::vector<TEditorAction>> ReadEditorActions(std::string_view Text, std::string& Error);

// One drive through the editor, for one press. Made on the host's thread just before the press
// (the driver starts at once), finished there when the press has returned.
class TEditorDriver {
 public:
  // Raises when the driver's thread or its window cannot be made.
  explicit TEditorDriver(const TEditorScript& Script);
  ~TEditorDriver();
  TEditorDriver(const TEditorDriver&) = delete;
  TEditorDriver& operator=(const TEditorDriver&) = delete;

  // The press has returned: an editor not shown by now never will be. Waits for the driver,
  // serving the host thread's messages meanwhile; true when every step succeeded.
  bool Finish();

 private:
  static DWORD WINAPI ThreadRoutine(void* Self) noexcept;
  static LRESULT CALLBACK BarrierProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) noexcept;
  // Closes what the constructor made; the thread must have ended (or never started).
  void Release() noexcept;
  void Drive();
  HWND WaitForEditor() const;
  bool Shoot(HWND Editor) const;
  bool Run(HWND Editor);
  bool Close(HWND Editor) const;
  void PassBarrier(HWND Editor) const;
  bool ReportErrorBox(HWND Editor) const;

  const TEditorScript& FScript;
  HWND FBarrier = nullptr;
  HANDLE FPressReturned = nullptr;
  HANDLE FBarrierPassed = nullptr;
  HANDLE FThread = nullptr;
  bool FOk = true;
};

}  // namespace standin
