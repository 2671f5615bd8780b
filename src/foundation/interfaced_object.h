// TbrvInterfacedObject: a TbrvObject that implements IUnknown with an atomic reference count.
#pragma once

#include <atomic>
#include <cstdint>
#include <utility>

#include "foundation/object.h"
#include "os/com_unknown.h"

namespace brv {

class TbrvInterfacedObject : public TbrvObject, public IUnknown {
 public:
  // Constructs a T with the construction protocol: the count is 1 while the constructors run,
  // so references taken and dropped there never destroy the half-built object, and 0 once
  // construction has finished. The first interface reference handed out makes it 1.
  template <class T, class... Args>
  static T* Create(Args&&... args) {
    T* object = new T(std::forward<Args>(args)...);
    object->FRefCount.fetch_sub(1, std::memory_order_acq_rel);
    return object;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID IID, void** Obj) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  int32_t RefCount() const { return FRefCount.load(std::memory_order_acquire); }

 protected:
  TbrvInterfacedObject() = default;

  // The interface map: a class answers its own interfaces and defers the rest to its base, so
  // the most derived class is searched first. Returns the interface pointer or null; no
  // reference is added here.
  virtual void* GetInterface(REFIID IID);

 private:
  std::atomic<int32_t> FRefCount{1};
};

}  // namespace brv
