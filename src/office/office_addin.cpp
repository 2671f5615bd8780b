#include "office/office_addin.h"

#include <exception>

#include "foundation/exception.h"

namespace brv {

void* TbrvOfficeAddIn::GetInterface(REFIID IID) {
  if (IsEqualGUID(IID, __uuidof(IDTExtensibility2)) || IsEqualGUID(IID, IID_IDispatch))
    return static_cast<IDTExtensibility2*>(this);
  return TbrvComObject::GetInterface(IID);
}

HRESULT STDMETHODCALLTYPE TbrvOfficeAddIn::GetTypeInfoCount(UINT* Count) {
  if (Count == nullptr) return E_POINTER;
  *Count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TbrvOfficeAddIn::OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                                                        IDispatch* AddInInst, SAFEARRAY** custom) {
  try {
    FApplication = TComPtr<IUnknown>::Copy(Application);
    FAddInInst.reset();
    if (AddInInst != nullptr) {
      EbrvComObject::Check(AddInInst->QueryInterface(__uuidof(COMAddIn), FAddInInst.put_void()));
      if (!FAddInInst) throw EbrvIntfCast();
      EbrvComObject::Check(FAddInInst->put_Object(static_cast<IDTExtensibility2*>(this)));
    }
    if (ConnectMode != ext_cm_Startup) return OnStartupComplete(custom);
    return S_OK;
  } catch (...) {
    return SafeCallException(std::current_exception());
  }
}

void TbrvOfficeAddIn::Disconnect() {
  // The host's objects go even when Shutdown fails, so that it never runs twice.
  const auto release = [this] {
    FAddInInst.reset();
    FApplication.reset();
  };
  if (FApplication) {
    try {
      Shutdown();
    } catch (...) {
      release();
      throw;
    }
  }
  release();
}

HRESULT STDMETHODCALLTYPE TbrvOfficeAddIn::OnDisconnection(ext_DisconnectMode, SAFEARRAY**) {
  try {
    Disconnect();
    return S_OK;
  } catch (...) {
    return SafeCallException(std::current_exception());
  }
}

HRESULT STDMETHODCALLTYPE TbrvOfficeAddIn::OnAddInsUpdate(SAFEARRAY**) { return S_OK; }

HRESULT STDMETHODCALLTYPE TbrvOfficeAddIn::OnStartupComplete(SAFEARRAY**) {
  try {
    Initialize();
    return S_OK;
  } catch (...) {
    return SafeCallException(std::current_exception());
  }
}

HRESULT STDMETHODCALLTYPE TbrvOfficeAddIn::OnBeginShutdown(SAFEARRAY** custom) {
  return OnDisconnection(ext_dm_HostShutdown, custom);
}

void TbrvOfficeAddIn::BeforeDestruction() {
  if (FApplication) OnDisconnection(static_cast<ext_DisconnectMode>(-1), nullptr);
}

}  // namespace brv
