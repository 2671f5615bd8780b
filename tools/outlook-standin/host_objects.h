// The stand-in's side of the Office add-in interfaces: its application object, the COMAddIn it
// hands each add-in, its ribbon, and the controls the callbacks are for.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <utility>

#include "com/com_object.h"
#include "com/com_ptr.h"
#include "host/office.h"

namespace standin {

// A member-less IDispatch shared by this file's objects.
template <class I>
class TDispatchObject : public brv::TbrvComImplements<brv::TbrvComObject, I> {
 public:
  using brv::TbrvComImplements<brv::TbrvComObject, I>::TbrvComImplements;

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override {
    if (Count == nullptr) return E_POINTER;
    *Count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
  void* GetInterface(REFIID IID) override {
    if (IsEqualGUID(IID, IID_IDispatch) || IsEqualGUID(IID, __uuidof(I))) return static_cast<I*>(this);
    return brv::TbrvComObject::GetInterface(IID);
  }
};

// The host's application object. The Outlook object model is not part of this host.
class TApplication : public TDispatchObject<IDispatch> {
 public:
  using TDispatchObject::TDispatchObject;
};

// The host's description of one add-in; keeps the object the add-in hands over.
class TComAddIn : public TDispatchObject<COMAddIn> {
 public:
  TComAddIn(const brv::TbrvComControl& Control, IDispatch* Application, std::u16string ProgId,
            std::u16string Description);

  IDispatch* Object() const { return FObject.get(); }
  void SetConnect(bool Value) { FConnect = Value; }

  HRESULT STDMETHODCALLTYPE get_Application(IDispatch** Value) override;
  HRESULT STDMETHODCALLTYPE get_Creator(long* Value) override;
  HRESULT STDMETHODCALLTYPE get_Description(BSTR* Value) override;
  HRESULT STDMETHODCALLTYPE put_Description(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_ProgId(BSTR* Value) override;
  HRESULT STDMETHODCALLTYPE get_Guid(BSTR* Value) override;
  HRESULT STDMETHODCALLTYPE get_Connect(VARIANT_BOOL* Value) override;
  HRESULT STDMETHODCALLTYPE put_Connect(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_Object(IDispatch** Value) override;
  HRESULT STDMETHODCALLTYPE put_Object(IDispatch* Value) override;
  HRESULT STDMETHODCALLTYPE get_Parent(IDispatch** Value) override;

 private:
  brv::TComPtr<IDispatch> FApplication;
  std::u16string FProgId;
  std::u16string FDescription;
  bool FConnect = false;
  brv::TComPtr<IDispatch> FObject;
};

// The host's ribbon. Outlook's ribbon is an object of its main thread (a single-threaded
// apartment): an add-in's worker must carry its refreshes to that thread, or call through an
// interface marshalled there. This one counts the refreshes asked for on the thread that made it
// and refuses a call from any other thread as COM refuses a call into the wrong apartment,
// printing "invalidate from another thread" and remembering it.
class TRibbonUI : public TDispatchObject<IRibbonUI> {
 public:
  explicit TRibbonUI(const brv::TbrvComControl& Control);

  // The refreshes asked for since the last call.
  int TakeInvalidations() { return std::exchange(FInvalidations, 0); }
  // Whether a refresh was asked for on another thread than the one that made the ribbon.
  bool CalledFromAnotherThread() const { return FCalledFromAnotherThread.load(); }

  HRESULT STDMETHODCALLTYPE Invalidate() override;
  HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR ControlID) override;
  HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR ControlID) override;
  HRESULT STDMETHODCALLTYPE ActivateTab(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR, BSTR) override { return E_NOTIMPL; }

 private:
  // True on the ribbon's own thread; on any other, prints the refusal and remembers it.
  bool OnOwnThread();

  const DWORD FThreadId;
  int FInvalidations = 0;
  std::atomic<bool> FCalledFromAnotherThread{false};
};

// A control of the ribbon, as a callback receives it.
class TRibbonControl : public TDispatchObject<IRibbonControl> {
 public:
  TRibbonControl(const brv::TbrvComControl& Control, std::u16string Id, IDispatch* Context);

  HRESULT STDMETHODCALLTYPE get_Id(BSTR* Value) override;
  HRESULT STDMETHODCALLTYPE get_Context(IDispatch** Value) override;
  HRESULT STDMETHODCALLTYPE get_Tag(BSTR* Value) override;

 private:
  std::u16string FId;
  brv::TComPtr<IDispatch> FContext;
};

}  // namespace standin
