// A strict fake of one late-bound Outlook object for the adapter's tests: it knows only the
// members a test gives it (any other name fails the test), records each call's flags and
// raw arguments (rgvarg, last argument first), counts the lookups of each name, and answers
// _MailItem or _Application only when told to.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <oaidl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "com/com_object.h"
#include "com/bstr.h"
#include "com/com_ptr.h"
#include "com/variant.h"
#include "foundation/exception.h"
#include "foundation/text.h"

namespace outlook::test {

class TFakeObject : public brv::TbrvComImplements<brv::TbrvComObject, IDispatch> {
 public:
  // Fills the result, or raises (the fake publishes the error as a server does), or returns a
  // failing code, with EXCEPINFO to fill for DISP_E_EXCEPTION.
  using THandler = std::function<HRESULT(brv::TVariant& Result, EXCEPINFO& Info)>;
  struct TCall {
    std::u16string Member;
    WORD Flags;
    std::vector<brv::TVariant> Args;  // as rgvarg holds them
  };

  explicit TFakeObject(const brv::TbrvComControl& Control) : TbrvComImplements(Control) {}
  static brv::TComPtr<TFakeObject> Make() {
    return brv::TComPtr<TFakeObject>::Copy(brv::TbrvComObject::Create<TFakeObject>());
  }

  // Answers Member with Handler from now on (under the member's first id).
  TFakeObject& On(std::u16string Member, THandler Handler) {
    for (auto& member : FMembers)
      if (member.Name == Member) {
        member.Handler = std::move(Handler);
        return *this;
      }
    FMembers.push_back({std::move(Member), std::move(Handler)});
    return *this;
  }
  // A member whose value is a copy of Value.
  TFakeObject& Returns(std::u16string Member, const VARIANT& Value) {
    brv::TVariant copy = brv::TVariant::CopyOf(Value);
    auto shared = std::make_shared<brv::TVariant>(std::move(copy));
    return On(std::move(Member), [shared](brv::TVariant& Result, EXCEPINFO&) {
      Result = brv::TVariant::CopyOf(shared->get());
      return S_OK;
    });
  }
  TFakeObject& Returns(std::u16string Member, IDispatch* Object) {
    VARIANT value;
    V_VT(&value) = VT_DISPATCH;
    V_DISPATCH(&value) = Object;
    return Returns(std::move(Member), value);
  }

  std::vector<IID> Kinds;  // interfaces answered besides IUnknown and IDispatch
  bool PublishesErrors = true;
  std::vector<TCall> Calls;
  std::map<std::u16string, int> LookUps;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override {
    *Count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* Names, UINT Count, LCID, DISPID* Ids) override {
    EXPECT_EQ(Count, 1u);
    const std::u16string name(reinterpret_cast<const char16_t*>(Names[0]));
    ++LookUps[name];
    for (size_t i = 0; i < FMembers.size(); ++i)
      if (FMembers[i].Name == name) {
        Ids[0] = static_cast<DISPID>(100 + i);
        return S_OK;
      }
    ADD_FAILURE() << "unexpected member " << brv::Utf16ToUtf8(name);
    Ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID Id, REFIID, LCID, WORD Flags, DISPPARAMS* Params, VARIANT* Result,
                                   EXCEPINFO* Info, UINT*) override {
    const size_t index = static_cast<size_t>(Id - 100);
    if (Id < 100 || index >= FMembers.size()) {
      ADD_FAILURE() << "unexpected member id " << Id;
      return DISP_E_MEMBERNOTFOUND;
    }
    TCall call{FMembers[index].Name, Flags, {}};
    for (UINT i = 0; i < Params->cArgs; ++i) call.Args.push_back(brv::TVariant::CopyOf(Params->rgvarg[i]));
    Calls.push_back(std::move(call));
    try {
      brv::TVariant value;
      EXCEPINFO info{};
      const HRESULT hr = FMembers[index].Handler(value, info);
      if (hr == DISP_E_EXCEPTION) *Info = info;
      if (SUCCEEDED(hr) && Result != nullptr) value.MoveTo(Result);
      return hr;
    } catch (...) {
      return brv::HandleSafeCallException();
    }
  }
  void* GetInterface(REFIID IID) override {
    if (IsEqualGUID(IID, IID_IDispatch)) return static_cast<IDispatch*>(this);
    for (const auto& kind : Kinds)
      if (IsEqualGUID(IID, kind)) return static_cast<IDispatch*>(this);
    if (IsEqualGUID(IID, IID_ISupportErrorInfo) && !PublishesErrors) return nullptr;
    return TbrvComObject::GetInterface(IID);
  }

 private:
  struct TMember {
    std::u16string Name;
    THandler Handler;
  };
  std::vector<TMember> FMembers;
};

// Variant values for the fakes.
inline brv::TVariant Text(std::u16string_view Value) {
  brv::TVariant v;
  V_VT(v.put()) = VT_BSTR;
  V_BSTR(v.addressof()) = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(Value.data()), static_cast<UINT>(Value.size()));
  return v;
}
template <VARTYPE Type, class T>
brv::TVariant Scalar(T Value) {
  brv::TVariant v;
  VARIANT* p = v.put();
  V_VT(p) = Type;
  if constexpr (Type == VT_I4) V_I4(p) = Value;
  if constexpr (Type == VT_I2) V_I2(p) = Value;
  if constexpr (Type == VT_R8) V_R8(p) = Value;
  if constexpr (Type == VT_DATE) V_DATE(p) = Value;
  if constexpr (Type == VT_BOOL) V_BOOL(p) = Value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
inline brv::TVariant OfType(VARTYPE Type) {
  brv::TVariant v;
  V_VT(v.put()) = Type;
  return v;
}
// Nothing as a null object.
inline brv::TVariant NullObject() {
  brv::TVariant v;
  V_VT(v.put()) = VT_DISPATCH;
  V_DISPATCH(v.addressof()) = nullptr;
  return v;
}

}  // namespace outlook::test
