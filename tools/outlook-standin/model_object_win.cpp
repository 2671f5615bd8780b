// Members by name, arguments and results of the stand-in's Outlook objects.
#include "model_object_win.h"

#include <mutex>

#include "com/bstr.h"
#include "foundation/exception.h"
#include "foundation/text.h"

namespace standin {
namespace {

std::mutex ReportLock;
std::function<void(const std::string&)> Reporter;

void Report(const std::string& Line) {
  const std::lock_guard<std::mutex> hold(ReportLock);
  if (Reporter) Reporter(Line);
}

// A member that failed answers as Outlook's do: DISP_E_EXCEPTION with the code, the source and
// the description in Exception, where the caller gives one. That reaches a caller in another
// process also where the COM error object does not travel with the call (Wine). The error
// object stays set for callers that read it instead.
HRESULT AnswerFailure(HRESULT Status, EXCEPINFO* Exception) noexcept {
  if (Exception == nullptr) return Status;
  *Exception = EXCEPINFO{};
  brv::TComPtr<IErrorInfo> error;
  brv::TBstr description;
  if (GetErrorInfo(0, error.put()) == S_OK && error) {
    error->GetDescription(description.put());
    SetErrorInfo(0, error.get());
  }
  Exception->bstrSource = SysAllocString(L"Microsoft Outlook");
  Exception->bstrDescription = description.detach();
  Exception->scode = Status;
  return DISP_E_EXCEPTION;
}

}  // namespace

TModelStats& ModelStats() {
  static TModelStats stats;
  return stats;
}

void SetModelReport(std::function<void(const std::string&)> Report) {
  const std::lock_guard<std::mutex> hold(ReportLock);
  Reporter = std::move(Report);
}

void TArgs::Expect(size_t Min, size_t Max) const {
  if (Count() < Min || Count() > Max) throw brv::EbrvObject(DISP_E_BADPARAMCOUNT);
}

brv::TVariant TArgs::Converted(size_t Index, VARTYPE Type) const {
  brv::TVariant value;
  const HRESULT hr =
      VariantChangeTypeEx(value.put(), const_cast<VARIANT*>(&At(Index)), LOCALE_USER_DEFAULT, 0, Type);
  if (FAILED(hr)) throw brv::EbrvObject(hr);
  return value;
}

std::u16string TArgs::Text(size_t Index) const {
  return brv::TBstr::Text(V_BSTR(Converted(Index, VT_BSTR).addressof()));
}

int32_t TArgs::Int(size_t Index) const { return V_I4(Converted(Index, VT_I4).addressof()); }

bool TArgs::Bool(size_t Index, bool Default) const {
  if (Index >= Count()) return Default;
  const VARIANT& arg = At(Index);
  if (V_VT(&arg) == VT_ERROR && V_ERROR(&arg) == DISP_E_PARAMNOTFOUND) return Default;
  return V_BOOL(Converted(Index, VT_BOOL).addressof()) != VARIANT_FALSE;
}

brv::TComPtr<IDispatch> TArgs::Object(size_t Index) const {
  brv::TVariant value = Converted(Index, VT_DISPATCH);
  return brv::TComPtr<IDispatch>::Copy(V_DISPATCH(value.addressof()));
}

void SetText(brv::TVariant& Result, std::u16string_view Value) {
  brv::TBstr text(Value);
  V_VT(Result.put()) = VT_BSTR;
  V_BSTR(Result.addressof()) = text.detach();
}

void SetInt(brv::TVariant& Result, int32_t Value) {
  V_VT(Result.put()) = VT_I4;
  V_I4(Result.addressof()) = Value;
}

void SetBool(brv::TVariant& Result, bool Value) {
  V_VT(Result.put()) = VT_BOOL;
  V_BOOL(Result.addressof()) = Value ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetDate(brv::TVariant& Result, outlook::TOleDate Value) {
  V_VT(Result.put()) = VT_DATE;
  V_DATE(Result.addressof()) = Value;
}

void SetObject(brv::TVariant& Result, IDispatch* Object) {
  V_VT(Result.put()) = VT_DISPATCH;
  if (Object != nullptr) Object->AddRef();
  V_DISPATCH(Result.addressof()) = Object;
}

HRESULT STDMETHODCALLTYPE TModelObject::GetTypeInfoCount(UINT* Count) {
  if (Count == nullptr) return E_POINTER;
  *Count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TModelObject::GetIDsOfNames(REFIID, LPOLESTR* Names, UINT Count, LCID, DISPID* Ids) {
  if (Names == nullptr || Ids == nullptr) return E_POINTER;
  if (Count == 0) return S_OK;
  // Looking a member up is a call on the object too: outside Outlook's thread it fails.
  if (GetCurrentThreadId() != FContext.MainThread) {
    ++ModelStats().CallsFromOtherThreads;
    Report("called from another thread " + brv::Utf16ToUtf8(FInterface) + " GetIDsOfNames");
    return RPC_E_WRONG_THREAD;
  }
  // The first name is the member, the others would name its parameters: none are known.
  for (UINT i = 0; i < Count; ++i) Ids[i] = DISPID_UNKNOWN;
  const std::u16string_view name(reinterpret_cast<const char16_t*>(Names[0]));
  for (size_t i = 0; i < FMembers.size(); ++i)
    if (brv::SameText(name, FMembers[i])) {
      Ids[0] = static_cast<DISPID>(i + 1);
      return Count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  return DISP_E_UNKNOWNNAME;
}

std::string TModelObject::MemberName(size_t Member) const {
  return brv::Utf16ToUtf8(FInterface) + "." + brv::Utf16ToUtf8(FMembers[Member]);
}

void TModelObject::Guarded(size_t Member) const {
  if (FContext.Trusted) return;
  ++ModelStats().GuardPrompts;
  Report("guard prompt " + MemberName(Member));
}

HRESULT STDMETHODCALLTYPE TModelObject::Invoke(DISPID Id, REFIID, LCID, WORD Flags, DISPPARAMS* Params,
                                               VARIANT* Result, EXCEPINFO* Exception, UINT*) {
  try {
    if (Id < 1 || static_cast<size_t>(Id) > FMembers.size()) return DISP_E_MEMBERNOTFOUND;
    // A pointer carried to another thread without marshalling: Outlook's objects would be
    // used outside their apartment.
    if (GetCurrentThreadId() != FContext.MainThread) {
      ++ModelStats().CallsFromOtherThreads;
      Report("called from another thread " + MemberName(static_cast<size_t>(Id - 1)));
      return RPC_E_WRONG_THREAD;
    }
    if ((Flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0) return DISP_E_MEMBERNOTFOUND;
    if (Params == nullptr) return E_POINTER;
    if (Params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    brv::TVariant result;
    Run(static_cast<size_t>(Id - 1), TArgs(*Params), result);
    if (Result != nullptr) result.MoveTo(Result);
    return S_OK;
  } catch (...) {
    return AnswerFailure(brv::HandleSafeCallException(), Exception);
  }
}

void* TModelObject::GetInterface(REFIID IID) {
  if (IsEqualGUID(IID, IID_IDispatch)) return static_cast<IDispatch*>(this);
  return TbrvComObject::GetInterface(IID);
}

}  // namespace standin
