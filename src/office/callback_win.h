// The Windows side of the ribbon callbacks: the host's IRibbonUI as the model's ribbon, a
// VARIANT argument, an OLE picture, and the conversion of a callback's result to a VARIANT.
#pragma once

#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include "com/com_ptr.h"
#include "com/variant.h"
#include "host/office.h"
#include "office/callback.h"

namespace brv {

// The host's ribbon; a failing Invalidate raises EbrvComObject.
class TbrvRibbonUI : public TbrvRibbon {
 public:
  explicit TbrvRibbonUI(TComPtr<IRibbonUI> Ribbon) : FRibbon(std::move(Ribbon)) {}
  void Invalidate() override;
  IRibbonUI* Ribbon() const { return FRibbon.get(); }

 private:
  TComPtr<IRibbonUI> FRibbon;
};

// One argument of a call through IDispatch, copied (by-reference values dereferenced).
class TbrvVariantArgument : public TbrvCallbackArgument {
 public:
  explicit TbrvVariantArgument(const VARIANT& Value);
  std::shared_ptr<TbrvRibbon> AsRibbon() const override;
  std::optional<std::u16string> ControlId() const override;

 private:
  // The object the argument refers to; null for empty, null and null-object arguments.
  // Raises EbrvIntfCast for values that are no object.
  IUnknown* Object() const;

  TVariant FValue;
};

// An OLE picture.
class TbrvOlePicture : public TbrvPicture {
 public:
  explicit TbrvOlePicture(TComPtr<IPictureDisp> Picture) : FPicture(std::move(Picture)) {}
  IPictureDisp* Picture() const { return FPicture.get(); }

 private:
  TComPtr<IPictureDisp> FPicture;
};

// The arguments of DISPPARAMS in declaration order (rgvarg holds them reversed).
TbrvCallbackParameters CallbackParameters(const DISPPARAMS* Params);
// The result as a VARIANT: VT_EMPTY, VT_BSTR, VT_BOOL or VT_DISPATCH.
TVariant CallbackResultVariant(const TbrvCallbackResult& Result);

}  // namespace brv
