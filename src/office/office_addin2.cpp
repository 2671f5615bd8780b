#include "office/office_addin2.h"

#include <exception>

#include "com/bstr.h"
#include "com/variant.h"
#include "foundation/text.h"
#include "office/callback_win.h"
#include "office/name_hash.h"
#include "platform/wide_win.h"

namespace brv {

TbrvOfficeAddIn2::TbrvOfficeAddIn2(const TbrvComControl& Control) : TbrvOfficeAddIn(Control) {}

// The model outlives the base's clean-up (BeforeDestruction), so Shutdown can still use it.
TbrvOfficeAddIn2::~TbrvOfficeAddIn2() = default;

TbrvOfficeCommandBars& TbrvOfficeAddIn2::CommandBars() {
  if (!FCommandBars) FCommandBars = std::make_unique<TbrvOfficeCommandBars>();
  return *FCommandBars;
}

TbrvCallbackResult TbrvOfficeAddIn2::Invoke(int32_t DispID, const TbrvCallbackParameters& Parameter) {
  TbrvCallbackResult result;
  if (FCommandBars) FCommandBars->Invoke(DispID, Parameter, result);
  return result;
}

void* TbrvOfficeAddIn2::GetInterface(REFIID IID) {
  if (IsEqualGUID(IID, __uuidof(IRibbonExtensibility)) || IsEqualGUID(IID, IID_IDispatch))
    return static_cast<IRibbonExtensibility*>(&FRibbonDispatch);
  return TbrvOfficeAddIn::GetInterface(IID);
}

HRESULT STDMETHODCALLTYPE TbrvOfficeAddIn2::TRibbonDispatch::GetTypeInfoCount(UINT* Count) {
  if (Count == nullptr) return E_POINTER;
  *Count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TbrvOfficeAddIn2::TRibbonDispatch::GetIDsOfNames(REFIID, LPOLESTR* Names,
                                                                           UINT Count, LCID,
                                                                           DISPID* DispIds) {
  try {
    if (Count > 0 && (Names == nullptr || DispIds == nullptr)) return E_POINTER;
    for (UINT i = Count; i-- > 0;) DispIds[i] = NameHash(platform::FromWide(Names[i]));
    return S_OK;
  } catch (...) {
    return FOwner.SafeCallException(std::current_exception());
  }
}

HRESULT STDMETHODCALLTYPE TbrvOfficeAddIn2::TRibbonDispatch::Invoke(DISPID DispId, REFIID, LCID, WORD,
                                                                    DISPPARAMS* Params, VARIANT* Result,
                                                                    EXCEPINFO*, UINT*) {
  try {
    const TbrvCallbackResult value = FOwner.Invoke(DispId, CallbackParameters(Params));
    if (Result != nullptr) CallbackResultVariant(value).MoveTo(Result);
    return S_OK;
  } catch (...) {
    return FOwner.SafeCallException(std::current_exception());
  }
}

HRESULT STDMETHODCALLTYPE TbrvOfficeAddIn2::TRibbonDispatch::GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) {
  try {
    if (RibbonXml == nullptr) return E_POINTER;
    *RibbonXml = nullptr;
    TBstr markup(u"");
    if (SameText(TBstr::Text(RibbonID), u"Microsoft.Outlook.Explorer") && FOwner.FCommandBars &&
        FOwner.FCommandBars->Count() > 0)
      markup = TBstr(FOwner.FCommandBars->ToString());
    *RibbonXml = markup.detach();
    return S_OK;
  } catch (...) {
    return FOwner.SafeCallException(std::current_exception());
  }
}

}  // namespace brv
