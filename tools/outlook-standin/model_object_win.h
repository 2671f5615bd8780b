// The plumbing of the stand-in's Outlook objects: members by name (ignoring the case of A-Z,
// as Outlook does), their arguments in call order, and the results as Outlook types them.
// Failures go back as the error's code plus the thread's COM error object.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "com/com_object.h"
#include "com/com_ptr.h"
#include "com/variant.h"
#include "host/outlook.h"

namespace standin {

// The arguments of one call, in call order.
class TArgs {
 public:
  explicit TArgs(const DISPPARAMS& Params) : FParams(Params) {}

  size_t Count() const { return FParams.cArgs; }
  // Raises DISP_E_BADPARAMCOUNT unless there are Min to Max arguments.
  void Expect(size_t Min, size_t Max) const;
  // Argument Index converted; raises DISP_E_TYPEMISMATCH when it does not convert.
  std::u16string Text(size_t Index) const;
  int32_t Int(size_t Index) const;
  bool Bool(size_t Index, bool Default) const;
  brv::TComPtr<IDispatch> Object(size_t Index) const;

 private:
  const VARIANT& At(size_t Index) const { return FParams.rgvarg[FParams.cArgs - 1 - Index]; }
  brv::TVariant Converted(size_t Index, VARTYPE Type) const;

  const DISPPARAMS& FParams;
};

// Results.
void SetText(brv::TVariant& Result, std::u16string_view Value);
void SetInt(brv::TVariant& Result, int32_t Value);
void SetBool(brv::TVariant& Result, bool Value);
void SetDate(brv::TVariant& Result, outlook::TOleDate Value);
// Object takes a reference of its own; null is Nothing.
void SetObject(brv::TVariant& Result, IDispatch* Object);

// An Outlook object of the stand-in: its members are the names of Members, in that order.
class TModelObject : public brv::TbrvComImplements<brv::TbrvComObject, IDispatch> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* Names, UINT Count, LCID, DISPID* Ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID Id, REFIID, LCID, WORD Flags, DISPPARAMS* Params, VARIANT* Result,
                                   EXCEPINFO*, UINT*) override;
  void* GetInterface(REFIID IID) override;

 protected:
  TModelObject(const brv::TbrvComControl& Control, std::span<const std::u16string_view> Members)
      : TbrvComImplements(Control), FMembers(Members) {}
  // Runs the member at Index of Members.
  virtual void Run(size_t Member, const TArgs& Args, brv::TVariant& Result) = 0;

 private:
  std::span<const std::u16string_view> FMembers;
};

// A new object of type T with one reference, for the caller.
template <class T, class... Args>
brv::TComPtr<T> MakeModel(Args&&... Arguments) {
  return brv::TComPtr<T>::Copy(brv::TbrvComObject::Create<T>(std::forward<Args>(Arguments)...));
}

}  // namespace standin
