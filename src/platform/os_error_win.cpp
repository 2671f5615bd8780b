#include "platform/os_error.h"

#include <windows.h>

#include "platform/wide_win.h"

namespace brv::platform {

std::u16string SystemMessageText(int32_t Status) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(Status), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return {};
  std::u16string result = FromWide(text, length);
  LocalFree(text);
  return result;
}

uint32_t GetLastOsError() { return GetLastError(); }

void SetLastOsError(uint32_t Code) { SetLastError(Code); }

}  // namespace brv::platform
