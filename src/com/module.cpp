#include "com/module.h"

#include "foundation/exception.h"
#include "platform/wide_win.h"

namespace brv {

HMODULE ThisModule() {
  static const char kAnchor = 0;
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&kAnchor), &module);
  return module;
}

std::u16string ThisModuleFileName() {
  // Paths may exceed MAX_PATH; grow until the name fits.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(ThisModule(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) EbrvObject::Check(false);
    if (length < buffer.size()) return platform::FromWide(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace brv
