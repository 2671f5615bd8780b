// TbrvOfficeAddIn2: an Office add-in with a ribbon. It answers the host's request for custom-UI
// markup from its command model and dispatches the callbacks named in it; IRibbonExtensibility
// and IDispatch are one interface, separate from the connection interface's empty IDispatch.
#pragma once

#include <windows.h>

#include <memory>

#include "office/callback.h"
#include "office/command_bars.h"
#include "office/office_addin.h"

namespace brv {

class TbrvOfficeAddIn2 : public TbrvOfficeAddIn {
 public:
  explicit TbrvOfficeAddIn2(const TbrvComControl& Control);
  ~TbrvOfficeAddIn2() override;

  // The command model, created on first use and freed with the add-in.
  TbrvOfficeCommandBars& CommandBars();

  using TbrvOfficeAddIn::Invoke;
  // Answers a callback; the command model's routing here. Override to answer further DISPIDs.
  virtual TbrvCallbackResult Invoke(int32_t DispID, const TbrvCallbackParameters& Parameter);

  void* GetInterface(REFIID IID) override;

 private:
  // The ribbon interface, a part of the add-in object with the add-in's identity.
  class TRibbonDispatch : public IRibbonExtensibility {
   public:
    explicit TRibbonDispatch(TbrvOfficeAddIn2& Owner) : FOwner(Owner) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID IID, void** Obj) override {
      return FOwner.QueryInterface(IID, Obj);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return FOwner.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return FOwner.Release(); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    // Every name gets its name hash; none is refused.
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* Names, UINT Count, LCID,
                                            DISPID* DispIds) override;
    // Positional arguments in declaration order to TbrvOfficeAddIn2::Invoke; Result receives its
    // answer, and is left as it was after a failure.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID DispId, REFIID, LCID, WORD, DISPPARAMS* Params, VARIANT* Result,
                                     EXCEPINFO*, UINT*) override;
    // The model's markup for the explorer's ribbon; empty for any other ribbon or no group.
    HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) override;

   private:
    TbrvOfficeAddIn2& FOwner;
  };

  TRibbonDispatch FRibbonDispatch{*this};
  std::unique_ptr<TbrvOfficeCommandBars> FCommandBars;
};

}  // namespace brv
