// Late-bound calls: GetIDsOfNames, Invoke and the conversions of results.
#include <windows.h>

#include <vector>

#include "com/bstr.h"
#include "foundation/exception.h"
#include "host/outlook_dispatch_call.h"
#include "host/outlook_retry_win.h"

namespace outlook::dispatch {
namespace {

// Outlook renders values in the user's locale; Booleans as "True" and "False".
constexpr USHORT kConvertFlags = VARIANT_ALPHABOOL;

// Raises a failing code with the system's text: no server is involved, so the thread's COM
// error object (if any) is not about this failure.
void CheckLocal(HRESULT Status) {
  if (FAILED(Status)) throw brv::EbrvObject(Status);
}

brv::TVariant Converted(const VARIANT& Value, VARTYPE Type) {
  brv::TVariant result;
  CheckLocal(VariantChangeTypeEx(result.put(), const_cast<VARIANT*>(&Value), LOCALE_USER_DEFAULT, kConvertFlags, Type));
  return result;
}

// A failed call: its description comes from the COM error object only when Object says it
// publishes one; any other error object on the thread is stale and dropped.
[[noreturn]] void RaiseFailure(IDispatch* Object, HRESULT Status) {
  brv::TComPtr<ISupportErrorInfo> support;
  const bool published = SUCCEEDED(Object->QueryInterface(IID_ISupportErrorInfo, support.put_void())) &&
                         support->InterfaceSupportsErrorInfo(IID_IDispatch) == S_OK;
  if (published) brv::EbrvObject::RaiseError(Status);
  brv::TComPtr<IErrorInfo> stale;
  GetErrorInfo(0, stale.put());
  throw brv::EbrvObject(Status);
}

// The error of a DISP_E_EXCEPTION: EXCEPINFO's code (or its wCode), and its description.
[[noreturn]] void RaiseException(EXCEPINFO& Info) {
  if (Info.pfnDeferredFillIn != nullptr) Info.pfnDeferredFillIn(&Info);
  brv::TBstr description(Info.bstrDescription);
  brv::TBstr source(Info.bstrSource);
  brv::TBstr helpFile(Info.bstrHelpFile);
  HRESULT code = Info.scode;
  if (code == S_OK) code = Info.wCode != 0 ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_DISPATCH, Info.wCode) : E_FAIL;
  throw brv::EbrvObject(code, description.Text());
}

}  // namespace

DISPID TMemberIds::Get(IDispatch* Object, TKind Kind, std::u16string_view Name) {
  auto& ids = FIds[static_cast<size_t>(Kind)];
  const std::u16string key(Name);
  if (const auto found = ids.find(key); found != ids.end()) return found->second;
  const DISPID id = LookUpMember(Object, Name);
  ids.emplace(key, id);
  return id;
}

DISPID LookUpMember(IDispatch* Object, std::u16string_view Name) {
  std::u16string name(Name);
  LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(name.data())};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT hr =
      RetryWhileBusy([&] { return Object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id); });
  if (hr == DISP_E_UNKNOWNNAME) throw brv::EbrvObject(hr, u"Unknown member " + name);
  if (FAILED(hr)) RaiseFailure(Object, hr);
  return id;
}

brv::TVariant Invoke(IDispatch* Object, DISPID Id, WORD Flags, std::span<brv::TVariant> Args) {
  // rgvarg holds the arguments last first; the values stay owned by Args.
  std::vector<VARIANT> reversed;
  reversed.reserve(Args.size());
  for (auto arg = Args.rbegin(); arg != Args.rend(); ++arg) reversed.push_back(*arg->addressof());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  brv::TVariant result;
  EXCEPINFO info{};
  UINT argError = 0;
  const HRESULT hr = RetryWhileBusy([&] {
    info = EXCEPINFO{};
    return Object->Invoke(Id, IID_NULL, LOCALE_USER_DEFAULT, Flags, &params, result.put(), &info, &argError);
  });
  if (hr == DISP_E_EXCEPTION) RaiseException(info);
  if (FAILED(hr)) RaiseFailure(Object, hr);
  return result;
}

brv::TVariant TextArg(std::u16string_view Value) {
  brv::TVariant arg;
  brv::TBstr text(Value);
  V_VT(arg.put()) = VT_BSTR;
  V_BSTR(arg.addressof()) = text.detach();
  return arg;
}

brv::TVariant IntArg(int32_t Value) {
  brv::TVariant arg;
  V_VT(arg.put()) = VT_I4;
  V_I4(arg.addressof()) = Value;
  return arg;
}

brv::TVariant BoolArg(bool Value) {
  brv::TVariant arg;
  V_VT(arg.put()) = VT_BOOL;
  V_BOOL(arg.addressof()) = Value ? VARIANT_TRUE : VARIANT_FALSE;
  return arg;
}

brv::TVariant ObjectArg(IDispatch* Value) {
  brv::TVariant arg;
  V_VT(arg.put()) = VT_DISPATCH;
  if (Value != nullptr) Value->AddRef();
  V_DISPATCH(arg.addressof()) = Value;
  return arg;
}

std::u16string ToText(const VARIANT& Value) {
  if (V_VT(&Value) == VT_BSTR) return brv::TBstr::Text(V_BSTR(&Value));
  return brv::TBstr::Text(V_BSTR(Converted(Value, VT_BSTR).addressof()));
}

bool ToBool(const VARIANT& Value) {
  return V_BOOL(Converted(Value, VT_BOOL).addressof()) != VARIANT_FALSE;
}

int32_t ToInt(const VARIANT& Value) { return V_I4(Converted(Value, VT_I4).addressof()); }

TOleDate ToDate(const VARIANT& Value) { return V_DATE(Converted(Value, VT_DATE).addressof()); }

brv::TComPtr<IDispatch> ToObject(const VARIANT& Value) {
  const VARTYPE type = V_VT(&Value);
  if (type == VT_EMPTY) return {};
  if (type == VT_DISPATCH) return brv::TComPtr<IDispatch>::Copy(V_DISPATCH(&Value));
  if (type == VT_UNKNOWN) {
    brv::TComPtr<IDispatch> object;
    if (V_UNKNOWN(&Value) == nullptr) return object;
    CheckLocal(V_UNKNOWN(&Value)->QueryInterface(IID_IDispatch, object.put_void()));
    return object;
  }
  brv::TVariant object = Converted(Value, VT_DISPATCH);
  return brv::TComPtr<IDispatch>::Copy(V_DISPATCH(object.addressof()));
}

}  // namespace outlook::dispatch
