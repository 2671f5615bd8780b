// TBstr: a move-only owning BSTR.
#pragma once

#include <oleauto.h>
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

#include "foundation/exception.h"

namespace brv {

class TBstr {
 public:
  TBstr() = default;
  // Takes over a BSTR the caller owns.
  explicit TBstr(BSTR Owned) noexcept : FText(Owned) {}
  // A copy of Text; raises std::bad_alloc when the system cannot allocate it.
  explicit TBstr(std::u16string_view Text) : FText(Alloc(Text)) {}
  TBstr(TBstr&& Other) noexcept : FText(std::exchange(Other.FText, nullptr)) {}
  TBstr& operator=(TBstr&& Other) noexcept {
    if (this != &Other) reset(std::exchange(Other.FText, nullptr));
    return *this;
  }
  TBstr(const TBstr&) = delete;
  TBstr& operator=(const TBstr&) = delete;
  ~TBstr() { reset(); }

  BSTR get() const noexcept { return FText; }
  BSTR* put() noexcept {
    reset();
    return &FText;
  }
  void reset(BSTR Owned = nullptr) noexcept { SysFreeString(std::exchange(FText, Owned)); }
  BSTR detach() noexcept { return std::exchange(FText, nullptr); }

  // The text; a null BSTR is the empty text, as COM defines it.
  std::u16string Text() const { return Text(FText); }
  static std::u16string Text(BSTR Value) {
    return Value == nullptr ? std::u16string()
                            : std::u16string(reinterpret_cast<const char16_t*>(Value), SysStringLen(Value));
  }

 private:
  static BSTR Alloc(std::u16string_view Text) {
    BSTR value =
        SysAllocStringLen(reinterpret_cast<const OLECHAR*>(Text.data()), static_cast<UINT>(Text.size()));
    if (value == nullptr) throw std::bad_alloc();
    return value;
  }

  BSTR FText = nullptr;
};

}  // namespace brv
