// The registry as the COM and Office registrations use it: an owning key handle and the few
// operations they need. Failures raise EbrvObject with the converted system error.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

namespace brv {

// An open registry key, closed when its owner goes. Predefined roots are never closed.
class TRegKey {
 public:
  TRegKey() = default;
  explicit TRegKey(HKEY Owned) noexcept : FKey(Owned) {}
  TRegKey(TRegKey&& Other) noexcept : FKey(std::exchange(Other.FKey, nullptr)) {}
  TRegKey& operator=(TRegKey&& Other) noexcept {
    if (this != &Other) reset(std::exchange(Other.FKey, nullptr));
    return *this;
  }
  TRegKey(const TRegKey&) = delete;
  TRegKey& operator=(const TRegKey&) = delete;
  ~TRegKey() { reset(); }

  HKEY get() const noexcept { return FKey; }
  HKEY* put() noexcept {
    reset();
    return &FKey;
  }
  void reset(HKEY Owned = nullptr) noexcept {
    HKEY old = std::exchange(FKey, Owned);
    if (old != nullptr) RegCloseKey(old);
  }
  explicit operator bool() const noexcept { return FKey != nullptr; }

 private:
  HKEY FKey = nullptr;
};

// Opens Path under Parent with read and write access, creating it (non-volatile) when missing.
// Returns the system error code; Key is open only on success.
uint32_t TryCreateRegKey(HKEY Parent, const std::u16string& Path, TRegKey& Key);
// The same, raising on failure.
TRegKey CreateRegKey(HKEY Parent, const std::u16string& Path);
// Writes a REG_SZ value (Name empty: the default value), its size counting the terminator.
void SetRegString(HKEY Key, const std::u16string& Name, const std::u16string& Value);
// Writes a REG_DWORD value.
void SetRegDword(HKEY Key, const std::u16string& Name, uint32_t Value);
// Deletes Path with all its subkeys; returns the system error code.
uint32_t DeleteRegTree(HKEY Parent, const std::u16string& Path);
// Deletes Path, which must have no subkeys; returns the system error code.
uint32_t DeleteRegKey(HKEY Parent, const std::u16string& Path);

// The root of class registrations: HKLM\SOFTWARE\Classes, else HKCU\SOFTWARE\Classes. Raises
// with the current user's failure when neither opens.
TRegKey OpenClassesRoot();

}  // namespace brv
