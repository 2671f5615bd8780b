// TbrvOfficeAddIn: the base of every Office add-in object. It implements IDTExtensibility2,
// holds the host's application and COMAddIn objects while connected, and turns the five
// connection events into Initialize and Shutdown.
#pragma once

#include <windows.h>

#include "com/com_object.h"
#include "com/com_ptr.h"
#include "host/office.h"

namespace brv {

class TbrvOfficeAddIn : public TbrvComImplements<TbrvComObject, IDTExtensibility2> {
 public:
  explicit TbrvOfficeAddIn(const TbrvComControl& Control) : TbrvComImplements(Control) {}

  // The host's application object as received; null while disconnected.
  IUnknown* Application() const { return FApplication.get(); }
  // The host's description of this add-in; null while disconnected or when none was given.
  COMAddIn* AddInInstance() const { return FAddInInst.get(); }

  // The add-in becomes active (at the host's start-up completion, or on a later connection).
  virtual void Initialize() {}
  // The add-in stops; runs at most once per connection, possibly without Initialize before it.
  virtual void Shutdown() {}

  // IDispatch of the connection interface: it exposes no members.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                                         IDispatch* AddInInst, SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode RemoveMode, SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) override;
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) override;

  void* GetInterface(REFIID IID) override;

 protected:
  // A host that releases the add-in without disconnecting it still gets Shutdown run.
  void BeforeDestruction() override;

 private:
  // Shutdown when connected, then the host's objects are let go.
  void Disconnect();

  TComPtr<IUnknown> FApplication;
  TComPtr<COMAddIn> FAddInInst;
};

}  // namespace brv
