#include "addin/host_thread_win.h"

#include <memory>

#include "foundation/exception.h"
#include "ui/visual_styles_win.h"

namespace swo {
namespace {

constexpr wchar_t kClassName[] = L"TbrvSortwiseAddIn.HostThread";
constexpr UINT kRunWork = WM_APP + 1;

using TWork = std::function<void()>;

}  // namespace

THostThreadQueue::THostThreadQueue() {
  WNDCLASSEXW Class{};
  Class.cbSize = sizeof(Class);
  Class.lpfnWndProc = &WindowProc;
  Class.hInstance = ThisModule();
  Class.lpszClassName = kClassName;
  if (RegisterClassExW(&Class) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    brv::EbrvObject::Check(brv::TbrvOsError{GetLastError()});
  FWindow = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ThisModule(), nullptr);
  if (FWindow == nullptr) brv::EbrvObject::Check(brv::TbrvOsError{GetLastError()});
}

THostThreadQueue::~THostThreadQueue() {
  MSG Message;
  while (PeekMessageW(&Message, FWindow, kRunWork, kRunWork, PM_REMOVE))
    delete reinterpret_cast<TWork*>(Message.lParam);
  DestroyWindow(FWindow);
}

bool THostThreadQueue::Post(std::function<void()> Work) noexcept {
  try {
    auto Queued = std::make_unique<TWork>(std::move(Work));
    if (!PostMessageW(FWindow, kRunWork, 0, reinterpret_cast<LPARAM>(Queued.get()))) return false;
    Queued.release();
    return true;
  } catch (...) {
    return false;
  }
}

LRESULT CALLBACK THostThreadQueue::WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) noexcept {
  if (Message != kRunWork) return DefWindowProcW(Window, Message, WParam, LParam);
  const std::unique_ptr<TWork> Work(reinterpret_cast<TWork*>(LParam));
  try {
    (*Work)();
  } catch (...) {
    // The work's own errors are its business; none may leave the window procedure.
  }
  return 0;
}

}  // namespace swo
