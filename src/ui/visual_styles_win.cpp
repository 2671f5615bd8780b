#include "ui/visual_styles_win.h"

#include <commctrl.h>

#include "ui/handles_win.h"
#include "ui/resource_ids.h"

namespace swo {
namespace {

// Made once per process and kept until the module goes: every window of the module uses it.
HANDLE ModuleContext() noexcept {
  static const TUniqueActCtx Context = [] {
    wchar_t Path[MAX_PATH];
    if (GetModuleFileNameW(ThisModule(), Path, MAX_PATH) == 0) return TUniqueActCtx();
    ACTCTXW Request{};
    Request.cbSize = sizeof(Request);
    Request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    Request.lpSource = Path;
    Request.hModule = ThisModule();
    Request.lpResourceName = MAKEINTRESOURCEW(IDR_UI_MANIFEST);
    HANDLE Made = CreateActCtxW(&Request);
    return TUniqueActCtx(Made == INVALID_HANDLE_VALUE ? nullptr : Made);
  }();
  return Context.get();
}

}  // namespace

HINSTANCE ThisModule() noexcept {
  HMODULE Module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &Module);
  return Module;
}

TVisualStylesScope::TVisualStylesScope() noexcept {
  if (HANDLE Context = ModuleContext()) FActive = ActivateActCtx(Context, &FCookie) != FALSE;
  INITCOMMONCONTROLSEX Classes{sizeof(Classes), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&Classes);
}

TVisualStylesScope::~TVisualStylesScope() {
  if (FActive) DeactivateActCtx(0, FCookie);
}

}  // namespace swo
