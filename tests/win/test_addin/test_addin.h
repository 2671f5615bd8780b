// The test add-in: one group with one button, built on the add-in framework. It reports what
// the host does to it on standard output, one line per event.
//
// A click renames the button. The environment variable SORTWISE_TEST_ADDIN makes a click do
// more, for the tests of the host's side:
//   worker  a worker thread reads the profile's name through the running Outlook (COM from the
//           multithreaded apartment) and has the host's thread show it as the button's caption
//           and disable the button
//   direct  a worker thread disables the button itself, calling the host's ribbon directly
//           (the fault that Outlook's ribbon, an object of its main thread, does not allow)
//   marshal a worker thread asks the host's ribbon for a refresh through an interface
//           marshalled to it (the global interface table), which Outlook's ribbon allows
//   editor  the rule editor opens modally on the host's application, with the rules of the
//           file SORTWISE_TEST_ADDIN_RULES names (none: no rules), saved there when it closes
#pragma once

#include <windows.h>

#include <mutex>
#include <string>

#include "office/office_addin2.h"

namespace brv::test {

// {3B8F6A52-0E1D-4C47-9A2B-6D5E4F3C2B1A}
inline constexpr CLSID kTestAddInClass = {
    0x3B8F6A52, 0x0E1D, 0x4C47, {0x9A, 0x2B, 0x6D, 0x5E, 0x4F, 0x3C, 0x2B, 0x1A}};
inline constexpr char16_t kTestAddInProgId[] = u"Brevanta.TestAddIn";
inline constexpr char16_t kTestAddInFriendlyName[] = u"Sortwise Test Add-In";

// One line "testaddin: Line" on standard output.
void Report(const std::string& Line);
// The value of an environment variable; empty when it is not set.
std::u16string EnvironmentValue(const wchar_t* Name);

class TTestAddIn : public TbrvOfficeAddIn2 {
 public:
  explicit TTestAddIn(const TbrvComControl& Control);
  ~TTestAddIn() override;

  void Initialize() override;
  void Shutdown() override;

 private:
  enum class TMode { Plain, Worker, Direct, Marshal, Editor };

  void ButtonClick(TbrvObject* Sender);

  // The worker modes (test_addin_worker.cpp).
  void StartWorker();
  void StopWorker();
  static DWORD WINAPI WorkerRoutine(void* Self) noexcept;
  void Work();
  void RefreshThroughMarshalledRibbon();
  void ShowProfile(const std::u16string& Profile);
  void TakeCaption();
  static LRESULT CALLBACK MessageProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) noexcept;

  // The editor mode (test_addin_editor.cpp).
  void OpenEditor();

  TMode FMode = TMode::Plain;
  int FClicks = 0;
  int FShutdowns = 0;
  TbrvOfficeCommand* FButton = nullptr;
  // The worker's caption on its way to the host's thread, through a window of that thread.
  HWND FMessages = nullptr;
  std::mutex FCaptionLock;
  std::u16string FCaption;
  HANDLE FWorker = nullptr;
  // The host's ribbon in the global interface table, for the marshal mode; 0: not there.
  DWORD FRibbonCookie = 0;
};

}  // namespace brv::test
