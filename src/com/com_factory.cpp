#include "com/com_factory.h"

#include <exception>
#include <memory>

#include "com/com_server.h"
#include "foundation/exception.h"

namespace brv {

// --- TAggregationProxy ---

TbrvComFactory::TAggregationProxy::~TAggregationProxy() {
  if (!FOwnsObject || FComObject == nullptr) return;
  std::exchange(FComObject, nullptr)->ReleaseObject();
}

HRESULT STDMETHODCALLTYPE TbrvComFactory::TAggregationProxy::QueryInterface(REFIID IID, void** Obj) {
  try {
    if (Obj == nullptr) return E_POINTER;
    *Obj = nullptr;
    if (FComObject == nullptr) return E_NOINTERFACE;
    // The inner object's own IUnknown delegates to the outer one; the non-delegating
    // IUnknown of an aggregated object is this proxy.
    if (IsEqualGUID(IID, IID_IUnknown)) return TbrvInterfacedObject::QueryInterface(IID, Obj);
    void* const found = FComObject->GetInterface(IID);
    if (found == nullptr) return E_NOINTERFACE;
    static_cast<IUnknown*>(found)->AddRef();
    *Obj = found;
    return S_OK;
  } catch (...) {
    return SafeCallException(std::current_exception());
  }
}

// --- TbrvComFactory ---

TbrvComFactory::TbrvComFactory(const CLSID& ClassId, TbrvComClass ComClass)
    : FClassId(ClassId), FComClass(ComClass) {
  ComServer().RegisterFactory(this, true);
}

TbrvComFactory::~TbrvComFactory() {
  if (FRegister != -1) CoRevokeClassObject(static_cast<DWORD>(FRegister));
  if (TbrvComServer* server = ExistingComServer()) server->RegisterFactory(this, false);
}

void* TbrvComFactory::GetInterface(REFIID IID) {
  if (IsEqualGUID(IID, IID_IClassFactory)) return static_cast<IClassFactory*>(this);
  return TbrvInterfacedObject::GetInterface(IID);
}

HRESULT STDMETHODCALLTYPE TbrvComFactory::QueryInterface(REFIID IID, void** Obj) {
  try {
    return TbrvInterfacedObject::QueryInterface(IID, Obj);
  } catch (...) {
    return SafeCallException(std::current_exception());
  }
}

HRESULT STDMETHODCALLTYPE TbrvComFactory::CreateInstance(IUnknown* UnkOuter, REFIID IID, void** Obj) {
  if (Obj == nullptr) return E_POINTER;
  *Obj = nullptr;
  try {
    const auto destroy = [](TbrvComObject* Object) { Object->ReleaseObject(); };
    std::unique_ptr<TbrvComObject, decltype(destroy)> object(CreateComObject(UnkOuter), destroy);
    if (!object) return E_FAIL;
    void* found = nullptr;
    if (UnkOuter != nullptr) {
      TAggregationProxy* const proxy = TbrvInterfacedObject::Create<TAggregationProxy>(object.get(), true);
      object.release();
      found = proxy->GetInterface(IID);
      if (found == nullptr) {
        delete proxy;
        return E_NOINTERFACE;
      }
    } else {
      found = object->GetInterface(IID);
      if (found == nullptr) return E_NOINTERFACE;
      object.release();
    }
    static_cast<IUnknown*>(found)->AddRef();
    *Obj = found;
    return S_OK;
  } catch (...) {
    return SafeCallException(std::current_exception());
  }
}

HRESULT STDMETHODCALLTYPE TbrvComFactory::LockServer(BOOL fLock) {
  try {
    const HRESULT result = CoLockObjectExternal(static_cast<IClassFactory*>(this), fLock, TRUE);
    if (fLock)
      AddRef();
    else
      Release();
    return result;
  } catch (...) {
    return SafeCallException(std::current_exception());
  }
}

void TbrvComFactory::UpdateRegistry(bool) {}

TbrvComObject* TbrvComFactory::CreateComObject(IUnknown* Controller) {
  if (FComClass.CreateAggregated == nullptr) return nullptr;
  return FComClass.CreateAggregated(Controller);
}

void TbrvComFactory::RegisterClassObject() {
  DWORD cookie = 0;
  EbrvComFactory::Check(CoRegisterClassObject(FClassId, static_cast<IClassFactory*>(this),
                                              CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie));
  FRegister = static_cast<int32_t>(cookie);
}

TbrvComFactory* TbrvComFactory::FindFactory(const CLSID& ClassId) { return ComServer().Find(ClassId); }

}  // namespace brv
