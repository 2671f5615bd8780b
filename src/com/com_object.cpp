#include "com/com_object.h"

#include <exception>

namespace brv {

IUnknown* TbrvComObject::Controller() const {
  if (FController != nullptr) FController->AddRef();
  return FController;
}

ULONG TbrvComObject::ComAddRef() {
  if (FController != nullptr) FController->AddRef();
  return static_cast<ULONG>(FRefCount.fetch_add(1, std::memory_order_acq_rel) + 1);
}

ULONG TbrvComObject::ComRelease() {
  // The object may be gone after the decrement; the controller outlives it.
  IUnknown* const controller = FController;
  const int32_t count = FRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (count == 0 && FAutoDestroy) ReleaseObject();
  if (controller != nullptr) controller->Release();
  return static_cast<ULONG>(count);
}

void TbrvComObject::ReleaseObject() {
  // Clean-up code may take and drop references to the dying object (a Shutdown that hands the
  // add-in to a helper); with the count at zero, the last of those would destroy it again from
  // within. Destruction runs with a count that no balanced AddRef and Release can bring to zero.
  FRefCount.store(kDestroyingRefCount, std::memory_order_release);
  try {
    BeforeDestruction();
  } catch (...) {
    SafeCallException(std::current_exception());
  }
  delete this;
}

HRESULT TbrvComObject::ComQueryInterface(REFIID IID, void** Obj) {
  if (Obj == nullptr) return E_POINTER;
  if (FAggregated && FController != nullptr) return FController->QueryInterface(IID, Obj);
  void* const found = GetInterface(IID);
  *Obj = found;
  if (found == nullptr) return E_NOINTERFACE;
  static_cast<IUnknown*>(found)->AddRef();
  return S_OK;
}

void* TbrvComObject::GetInterface(REFIID IID) {
  if (IsEqualGUID(IID, IID_IUnknown) || IsEqualGUID(IID, IID_ISupportErrorInfo))
    return static_cast<ISupportErrorInfo*>(this);
  return nullptr;
}

HRESULT STDMETHODCALLTYPE TbrvComObject::QueryInterface(REFIID IID, void** Obj) {
  try {
    return ComQueryInterface(IID, Obj);
  } catch (...) {
    return SafeCallException(std::current_exception());
  }
}

ULONG STDMETHODCALLTYPE TbrvComObject::AddRef() {
  try {
    return ComAddRef();
  } catch (...) {
    SafeCallException(std::current_exception());
    return 0;
  }
}

ULONG STDMETHODCALLTYPE TbrvComObject::Release() {
  try {
    return ComRelease();
  } catch (...) {
    SafeCallException(std::current_exception());
    return 0;
  }
}

HRESULT STDMETHODCALLTYPE TbrvComObject::InterfaceSupportsErrorInfo(REFIID IID) {
  try {
    return GetInterface(IID) != nullptr ? S_OK : S_FALSE;
  } catch (...) {
    return SafeCallException(std::current_exception());
  }
}

}  // namespace brv
