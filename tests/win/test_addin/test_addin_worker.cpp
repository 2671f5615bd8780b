// The worker modes of the test add-in: what a worker thread may and may not do with the host.
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <exception>

#include "com/com_ptr.h"
#include "foundation/exception.h"
#include "foundation/text.h"
#include "host/outlook_dispatch.h"
#include "office/callback_win.h"
#include "test_addin.h"

namespace brv::test {
namespace {

constexpr wchar_t kMessagesClass[] = L"SortwiseTestAddInMessages";
constexpr UINT kCaptionMessage = WM_APP + 1;

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

// The process's global interface table (a reference of its own).
TComPtr<IGlobalInterfaceTable> GlobalInterfaces() {
  TComPtr<IGlobalInterfaceTable> table;
  EbrvObject::Check(CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IGlobalInterfaceTable, table.put_void()));
  return table;
}

std::string Hex(TbrvResult Result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(Result));
  return text;
}

}  // namespace

void TTestAddIn::StartWorker() {
  if (FWorker != nullptr) return Report("worker already started");
  if (FMessages == nullptr) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MessageProc;
    windowClass.hInstance = ThisModule();
    windowClass.lpszClassName = kMessagesClass;
    RegisterClassExW(&windowClass);
    FMessages =
        CreateWindowExW(0, kMessagesClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(), nullptr);
    EbrvObject::Check(FMessages != nullptr);
    SetWindowLongPtrW(FMessages, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  if (FMode == TMode::Marshal) {
    const auto* ribbon = dynamic_cast<const TbrvRibbonUI*>(CommandBars().Ribbon().get());
    if (ribbon == nullptr) return Report("no ribbon to marshal");
    EbrvObject::Check(
        GlobalInterfaces()->RegisterInterfaceInGlobal(ribbon->Ribbon(), __uuidof(IRibbonUI), &FRibbonCookie));
  }
  FWorker = CreateThread(nullptr, 0, WorkerRoutine, this, 0, nullptr);
  EbrvObject::Check(FWorker != nullptr);
}

void TTestAddIn::StopWorker() {
  if (FWorker != nullptr) {
    // The worker may be inside a call to Outlook, which this thread has to serve.
    DWORD index = 0;
    CoWaitForMultipleHandles(0, INFINITE, 1, &FWorker, &index);
    CloseHandle(FWorker);
    FWorker = nullptr;
  }
  if (FRibbonCookie != 0) {
    GlobalInterfaces()->RevokeInterfaceFromGlobal(FRibbonCookie);
    FRibbonCookie = 0;
  }
  if (FMessages != nullptr) {
    DestroyWindow(FMessages);
    FMessages = nullptr;
    UnregisterClassW(kMessagesClass, ThisModule());
  }
}

DWORD WINAPI TTestAddIn::WorkerRoutine(void* Self) noexcept {
  try {
    static_cast<TTestAddIn*>(Self)->Work();
  } catch (const Exception& e) {
    Report("worker error " + Utf16ToUtf8(e.Message()));
  } catch (...) {
    Report("worker error");
  }
  return 0;
}

void TTestAddIn::Work() {
  if (FMode == TMode::Marshal) return RefreshThroughMarshalledRibbon();
  if (FMode == TMode::Direct) {
    try {
      FButton->SetEnabled(false);
      Report("worker: ribbon refresh from the worker succeeded");
    } catch (const TbrvErrorBase& e) {
      Report("worker: ribbon refresh from the worker failed hr=" + Hex(e.ErrorCode()));
    }
    return;
  }
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  std::u16string profile;
  try {
    TComPtr<IUnknown> running;
    EbrvObject::Check(GetActiveObject(outlook::CLSID_OutlookApplication, nullptr, running.put()));
    TComPtr<IDispatch> application;
    EbrvObject::Check(running->QueryInterface(IID_IDispatch, application.put_void()));
    profile = outlook::WrapApplication(application.get())->Session()->CurrentProfileName();
  } catch (...) {
    CoUninitialize();
    throw;
  }
  CoUninitialize();
  Report("worker: profile " + Utf16ToUtf8(profile));
  ShowProfile(profile);
}

void TTestAddIn::RefreshThroughMarshalledRibbon() {
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  HRESULT result = E_FAIL;
  {
    TComPtr<IRibbonUI> ribbon;
    result =
        GlobalInterfaces()->GetInterfaceFromGlobal(FRibbonCookie, __uuidof(IRibbonUI), ribbon.put_void());
    if (SUCCEEDED(result)) result = ribbon->Invalidate();
  }
  CoUninitialize();
  Report("worker: ribbon refresh through the marshalled ribbon hr=" + Hex(result));
}

// The button belongs to the host's thread: the caption goes there to be set.
void TTestAddIn::ShowProfile(const std::u16string& Profile) {
  {
    const std::lock_guard<std::mutex> hold(FCaptionLock);
    FCaption = u"Profile " + Profile;
  }
  PostMessageW(FMessages, kCaptionMessage, 0, 0);
}

void TTestAddIn::TakeCaption() {
  std::u16string caption;
  {
    const std::lock_guard<std::mutex> hold(FCaptionLock);
    caption.swap(FCaption);
  }
  if (caption.empty() || FButton == nullptr) return;
  // Two changes, two refreshes asked for in one go.
  FButton->SetCaption(caption);
  FButton->SetEnabled(false);
}

LRESULT CALLBACK TTestAddIn::MessageProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) noexcept {
  if (Message != kCaptionMessage) return DefWindowProcW(Window, Message, WParam, LParam);
  try {
    if (auto* addIn = reinterpret_cast<TTestAddIn*>(GetWindowLongPtrW(Window, GWLP_USERDATA)))
      addIn->TakeCaption();
  } catch (const Exception& e) {
    Report("caption error " + Utf16ToUtf8(e.Message()));
  } catch (...) {
    Report("caption error");
  }
  return 0;
}

}  // namespace brv::test
