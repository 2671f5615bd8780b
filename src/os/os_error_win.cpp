#include "os/os_error.h"

#include <windows.h>

#include <memory>


namespace brv::os {

std::u16string SystemMessageText(int32_t Status) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(Status), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return {};
  // Freed also when the copy runs out of memory.
  const std::unique_ptr<wchar_t, decltype([](wchar_t* Buffer) { LocalFree(Buffer); })> owned(text);
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

uint32_t GetLastOsError() { return GetLastError(); }

void SetLastOsError(uint32_t Code) { SetLastError(Code); }

}  // namespace brv::os
