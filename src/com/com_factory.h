// TbrvComFactory: the class object that creates instances of one class for one class id.
// Every factory enters the process-wide server at construction; the server owns it.
#pragma once

#include <unknwn.h>
#include <windows.h>

#include "com/com_object.h"
#include "foundation/interfaced_object.h"

namespace brv {

class TbrvComFactory : public TbrvInterfacedObject, public IClassFactory {
 public:
  // Stands in for a new object when a client aggregates it: the client's inner IUnknown.
  class TAggregationProxy : public TbrvInterfacedObject {
   public:
    TAggregationProxy(TbrvComObject* ComObject, bool OwnsObject)
        : FOwnsObject(OwnsObject), FComObject(ComObject) {}
    ~TAggregationProxy() override;

    TbrvComObject* ComObject() const { return FComObject; }

    // Answers from the wrapped object's own map, never through its delegating query.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID IID, void** Obj) override;
    // The proxy's own map: IUnknown only.
    void* GetInterface(REFIID IID) override { return TbrvInterfacedObject::GetInterface(IID); }

   private:
    bool FOwnsObject;
    TbrvComObject* FComObject;
  };

  TbrvComFactory(const CLSID& ClassId, TbrvComClass ComClass);
  ~TbrvComFactory() override;

  const CLSID& ClassId() const { return FClassId; }
  const TbrvComClass& ComClass() const { return FComClass; }
  void SetComClass(TbrvComClass Value) { FComClass = Value; }

  // A factory lives until its owner destroys it, whatever its count.
  void ReleaseObject() override {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID IID, void** Obj) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return TbrvInterfacedObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TbrvInterfacedObject::Release(); }
  // Never throws: E_FAIL, E_NOINTERFACE or the code of the exception raised on the way.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* UnkOuter, REFIID IID, void** Obj) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

  // Writes (true) or removes (false) the class's registry entries; nothing here.
  virtual void UpdateRegistry(bool Register);
  // A new object of ComClass, aggregated by Controller when one is given.
  virtual TbrvComObject* CreateComObject(IUnknown* Controller);

  // Enters the factory in the COM runtime's class table (local server, multiple use).
  void RegisterClassObject();
  // ComServer().Find(ClassId).
  static TbrvComFactory* FindFactory(const CLSID& ClassId);

 protected:
  void* GetInterface(REFIID IID) override;

 private:
  CLSID FClassId;
  TbrvComClass FComClass;
  int32_t FRegister = -1;
};

}  // namespace brv
