// TVariant: a move-only owning VARIANT, cleared when the owner goes.
#pragma once

#include <oleauto.h>
#include <windows.h>

#include <utility>

#include "foundation/exception.h"

namespace brv {

class TVariant {
 public:
  TVariant() noexcept { VariantInit(&FValue); }
  TVariant(TVariant&& Other) noexcept : FValue(Other.FValue) { VariantInit(&Other.FValue); }
  TVariant& operator=(TVariant&& Other) noexcept {
    if (this != &Other) {
      reset();
      FValue = Other.FValue;
      VariantInit(&Other.FValue);
    }
    return *this;
  }
  TVariant(const TVariant&) = delete;
  TVariant& operator=(const TVariant&) = delete;
  ~TVariant() { reset(); }

  // A copy of Source (strings duplicated, interfaces referenced); raises on failure.
  static TVariant CopyOf(const VARIANT& Source) {
    TVariant copy;
    EbrvObject::Check(VariantCopy(&copy.FValue, const_cast<VARIANT*>(&Source)));
    return copy;
  }

  const VARIANT& get() const noexcept { return FValue; }
  VARIANT* addressof() noexcept { return &FValue; }
  // The out-parameter slot: clears the current value first.
  VARIANT* put() noexcept {
    reset();
    return &FValue;
  }
  void reset() noexcept { VariantClear(&FValue); }
  // Hands the value to an out parameter, leaving this one empty. Target's old contents are not
  // freed: an out parameter holds nothing of the callee's.
  void MoveTo(VARIANT* Target) noexcept {
    *Target = FValue;
    VariantInit(&FValue);
  }

 private:
  VARIANT FValue;
};

}  // namespace brv
