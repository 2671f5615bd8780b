// TComPtr<T>: a move-only owning COM interface pointer; put() releases what it held first.
#pragma once

#include <unknwn.h>

#include <utility>

namespace brv {

template <class T>
class TComPtr {
 public:
  TComPtr() = default;
  // Takes over a reference the caller already owns.
  explicit TComPtr(T* Owned) noexcept : FPtr(Owned) {}
  TComPtr(TComPtr&& Other) noexcept : FPtr(std::exchange(Other.FPtr, nullptr)) {}
  TComPtr& operator=(TComPtr&& Other) noexcept {
    if (this != &Other) reset(std::exchange(Other.FPtr, nullptr));
    return *this;
  }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  ~TComPtr() { reset(); }

  // Adds a reference of its own to Borrowed.
  static TComPtr Copy(T* Borrowed) noexcept {
    if (Borrowed != nullptr) Borrowed->AddRef();
    return TComPtr(Borrowed);
  }

  T* get() const noexcept { return FPtr; }
  T* operator->() const noexcept { return FPtr; }
  explicit operator bool() const noexcept { return FPtr != nullptr; }

  // The out-parameter slot: releases the current reference first.
  T** put() noexcept {
    reset();
    return &FPtr;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
  void reset(T* Owned = nullptr) noexcept {
    T* old = std::exchange(FPtr, Owned);
    if (old != nullptr) old->Release();
  }
  T* detach() noexcept { return std::exchange(FPtr, nullptr); }
  // A new reference for an out parameter.
  void copy_to(T** Out) const noexcept {
    if (FPtr != nullptr) FPtr->AddRef();
    *Out = FPtr;
  }

  // QueryInterface for U; null when the object lacks it (or this is null).
  template <class U>
  TComPtr<U> try_query() const noexcept {
    TComPtr<U> result;
    if (FPtr != nullptr) FPtr->QueryInterface(__uuidof(U), result.put_void());
    return result;
  }

 private:
  T* FPtr = nullptr;
};

}  // namespace brv
