#include "office/callback_win.h"

#include "com/bstr.h"
#include "foundation/exception.h"

namespace brv {

void TbrvRibbonUI::Invalidate() { EbrvComObject::Check(FRibbon->Invalidate()); }

TbrvVariantArgument::TbrvVariantArgument(const VARIANT& Value) {
  EbrvComObject::Check(VariantCopyInd(FValue.addressof(), const_cast<VARIANT*>(&Value)));
}

IUnknown* TbrvVariantArgument::Object() const {
  const VARIANT& v = FValue.get();
  switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return nullptr;
    case VT_DISPATCH:
      return v.pdispVal;
    case VT_UNKNOWN:
      return v.punkVal;
    default:
      throw EbrvIntfCast();
  }
}

std::shared_ptr<TbrvRibbon> TbrvVariantArgument::AsRibbon() const {
  IUnknown* const object = Object();
  if (object == nullptr) return nullptr;
  TComPtr<IRibbonUI> ribbon;
  if (FAILED(object->QueryInterface(__uuidof(IRibbonUI), ribbon.put_void())) || !ribbon) throw EbrvIntfCast();
  return std::make_shared<TbrvRibbonUI>(std::move(ribbon));
}

std::optional<std::u16string> TbrvVariantArgument::ControlId() const {
  IUnknown* const object = Object();
  if (object == nullptr) return std::nullopt;
  TComPtr<IRibbonControl> control;
  if (FAILED(object->QueryInterface(__uuidof(IRibbonControl), control.put_void())) || !control)
    throw EbrvIntfCast();
  TBstr id;
  EbrvComObject::Check(control->get_Id(id.put()));
  return id.Text();
}

TbrvCallbackParameters CallbackParameters(const DISPPARAMS* Params) {
  TbrvCallbackParameters parameters;
  if (Params == nullptr || Params->rgvarg == nullptr) return parameters;
  for (UINT k = 0; k < Params->cArgs; ++k)
    parameters.push_back(std::make_unique<TbrvVariantArgument>(Params->rgvarg[Params->cArgs - 1 - k]));
  return parameters;
}

TVariant CallbackResultVariant(const TbrvCallbackResult& Result) {
  TVariant value;
  VARIANT* const v = value.addressof();
  if (const auto* text = std::get_if<std::u16string>(&Result)) {
    TBstr bstr(*text);
    v->vt = VT_BSTR;
    v->bstrVal = bstr.detach();
  } else if (const auto* flag = std::get_if<bool>(&Result)) {
    v->vt = VT_BOOL;
    v->boolVal = *flag ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (const auto* picture = std::get_if<TbrvPictureRef>(&Result)) {
    v->vt = VT_DISPATCH;
    v->pdispVal = nullptr;
    if (const auto* ole = dynamic_cast<const TbrvOlePicture*>(picture->get())) {
      v->pdispVal = ole->Picture();
      if (v->pdispVal != nullptr) v->pdispVal->AddRef();
    }
  }
  return value;
}

}  // namespace brv
