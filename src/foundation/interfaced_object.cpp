#include "foundation/interfaced_object.h"

namespace brv {

HRESULT STDMETHODCALLTYPE TbrvInterfacedObject::QueryInterface(REFIID IID, void** Obj) {
  if (Obj == nullptr) return kE_POINTER;
  void* found = GetInterface(IID);
  *Obj = found;
  if (found == nullptr) return kE_NOINTERFACE;
  static_cast<IUnknown*>(found)->AddRef();
  return kS_OK;
}

ULONG STDMETHODCALLTYPE TbrvInterfacedObject::AddRef() {
  return static_cast<ULONG>(FRefCount.fetch_add(1, std::memory_order_acq_rel) + 1);
}

ULONG STDMETHODCALLTYPE TbrvInterfacedObject::Release() {
  const int32_t count = FRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (count == 0) ReleaseObject();
  return static_cast<ULONG>(count);
}

void* TbrvInterfacedObject::GetInterface(REFIID IID) {
  return IsEqualGUID(IID, IID_IUnknown) ? static_cast<IUnknown*>(this) : nullptr;
}

}  // namespace brv
