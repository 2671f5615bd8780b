// The plumbing of the stand-in's Outlook objects: members by name (ignoring the case of A-Z,
// as Outlook does), their arguments in call order, and the results as Outlook types them.
// Failures go back as the error's code plus the thread's COM error object.
//
// As strict as Outlook: the objects belong to the thread that made the application (a call
// arriving on any other thread fails with RPC_E_WRONG_THREAD), and a guarded member (a
// sender's address, ...) read through an untrusted application's objects raises the Object
// Model Guard's prompt, which the stand-in counts and reports instead of showing.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <atomic>
#include <cstdint>
#include <functional>
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

// What every object reached from one application shares with it.
struct TModelContext {
  // The application Outlook hands its add-ins is trusted; the one other programs reach through
  // the running object table or CoCreateInstance is not.
  bool Trusted = true;
  // Outlook's main thread, whose single-threaded apartment the objects live in.
  DWORD MainThread = GetCurrentThreadId();
};

// What the objects saw that Outlook would have objected to, over every application of the
// process.
struct TModelStats {
  std::atomic<uint64_t> GuardPrompts{0};
  std::atomic<uint64_t> CallsFromOtherThreads{0};
};
TModelStats& ModelStats();
// Receives one line for each such event ("guard prompt MailItem.SenderEmailAddress", "called
// from another thread MailItem.UnRead"); none by default.
void SetModelReport(std::function<void(const std::string&)> Report);

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
  // Interface names the object in report lines ("MailItem").
  TModelObject(const brv::TbrvComControl& Control, const TModelContext& Context, std::u16string_view Interface,
               std::span<const std::u16string_view> Members)
      : TbrvComImplements(Control), FContext(Context), FInterface(Interface), FMembers(Members) {}
  // Runs the member at Index of Members.
  virtual void Run(size_t Member, const TArgs& Args, brv::TVariant& Result) = 0;
  // A guarded member is being read: an untrusted object raises the guard's prompt.
  void Guarded(size_t Member) const;

  const TModelContext& Context() const { return FContext; }

 private:
  std::string MemberName(size_t Member) const;

  const TModelContext FContext;
  std::u16string_view FInterface;
  std::span<const std::u16string_view> FMembers;
};

// A new object of type T, reached from an object of Context, with one reference for the caller.
template <class T, class... Args>
brv::TComPtr<T> MakeModel(const TModelContext& Context, Args&&... Arguments) {
  return brv::TComPtr<T>::Copy(brv::TbrvComObject::Create<T>(Context, std::forward<Args>(Arguments)...));
}

}  // namespace standin
