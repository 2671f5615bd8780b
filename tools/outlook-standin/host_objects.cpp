#include "host_objects.h"

#include <exception>

#include "com/bstr.h"
#include "com/win32_com_factory.h"
#include "host_output.h"

namespace standin {

using brv::TBstr;

namespace {

// Copies Text into an out BSTR; failures become the HRESULT of the exception.
template <class Object>
HRESULT PutText(Object& Self, const std::u16string& Text, BSTR* Value) {
  try {
    if (Value == nullptr) return E_POINTER;
    *Value = TBstr(Text).detach();
    return S_OK;
  } catch (...) {
    return Self.SafeCallException(std::current_exception());
  }
}

HRESULT PutObject(IDispatch* Object, IDispatch** Value) {
  if (Value == nullptr) return E_POINTER;
  if (Object != nullptr) Object->AddRef();
  *Value = Object;
  return S_OK;
}

}  // namespace

// --- TComAddIn ---

TComAddIn::TComAddIn(const brv::TbrvComControl& Control, IDispatch* Application, std::u16string ProgId,
                     std::u16string Description)
    : TDispatchObject(Control),
      FApplication(brv::TComPtr<IDispatch>::Copy(Application)),
      FProgId(std::move(ProgId)),
      FDescription(std::move(Description)) {}

HRESULT STDMETHODCALLTYPE TComAddIn::get_Application(IDispatch** Value) {
  return PutObject(FApplication.get(), Value);
}

HRESULT STDMETHODCALLTYPE TComAddIn::get_Creator(long* Value) {
  if (Value == nullptr) return E_POINTER;
  *Value = 0x4F55544C;  // 'OUTL'
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TComAddIn::get_Description(BSTR* Value) {
  return PutText(*this, FDescription, Value);
}

HRESULT STDMETHODCALLTYPE TComAddIn::put_Description(BSTR Value) {
  try {
    FDescription = TBstr::Text(Value);
    return S_OK;
  } catch (...) {
    return SafeCallException(std::current_exception());
  }
}

HRESULT STDMETHODCALLTYPE TComAddIn::get_ProgId(BSTR* Value) { return PutText(*this, FProgId, Value); }

HRESULT STDMETHODCALLTYPE TComAddIn::get_Guid(BSTR* Value) {
  try {
    CLSID classId = {};
    if (FAILED(CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(FProgId.c_str()), &classId)))
      return PutText(*this, u"", Value);
    return PutText(*this, brv::ClassIdText(classId), Value);
  } catch (...) {
    return SafeCallException(std::current_exception());
  }
}

HRESULT STDMETHODCALLTYPE TComAddIn::get_Connect(VARIANT_BOOL* Value) {
  if (Value == nullptr) return E_POINTER;
  *Value = FConnect ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

// Connecting and disconnecting from the add-in's side is not offered by this host.
HRESULT STDMETHODCALLTYPE TComAddIn::put_Connect(VARIANT_BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TComAddIn::get_Object(IDispatch** Value) { return PutObject(FObject.get(), Value); }

HRESULT STDMETHODCALLTYPE TComAddIn::put_Object(IDispatch* Value) {
  FObject = brv::TComPtr<IDispatch>::Copy(Value);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TComAddIn::get_Parent(IDispatch** Value) {
  return PutObject(FApplication.get(), Value);
}

// --- TRibbonUI ---

TRibbonUI::TRibbonUI(const brv::TbrvComControl& Control)
    : TDispatchObject(Control), FThreadId(GetCurrentThreadId()) {}

bool TRibbonUI::OnOwnThread() {
  if (GetCurrentThreadId() == FThreadId) return true;
  FCalledFromAnotherThread = true;
  PrintLine("invalidate from another thread");
  return false;
}

HRESULT STDMETHODCALLTYPE TRibbonUI::Invalidate() {
  if (!OnOwnThread()) return RPC_E_WRONG_THREAD;
  ++FInvalidations;
  return S_OK;
}

// The stand-in refreshes whole ribbons only.
HRESULT STDMETHODCALLTYPE TRibbonUI::InvalidateControl(BSTR) { return Invalidate(); }

// The stand-in has no built-in controls to refresh.
HRESULT STDMETHODCALLTYPE TRibbonUI::InvalidateControlMso(BSTR) {
  return OnOwnThread() ? E_NOTIMPL : RPC_E_WRONG_THREAD;
}

// --- TRibbonControl ---

TRibbonControl::TRibbonControl(const brv::TbrvComControl& Control, std::u16string Id, IDispatch* Context)
    : TDispatchObject(Control), FId(std::move(Id)), FContext(brv::TComPtr<IDispatch>::Copy(Context)) {}

HRESULT STDMETHODCALLTYPE TRibbonControl::get_Id(BSTR* Value) { return PutText(*this, FId, Value); }

HRESULT STDMETHODCALLTYPE TRibbonControl::get_Context(IDispatch** Value) {
  return PutObject(FContext.get(), Value);
}

HRESULT STDMETHODCALLTYPE TRibbonControl::get_Tag(BSTR* Value) { return PutText(*this, u"", Value); }

}  // namespace standin
