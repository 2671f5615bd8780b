// Strict fakes of the Office host's objects: every call a test does not expect fails the test,
// and every object counts its references.
#pragma once

#include <gtest/gtest.h>
#include <oaidl.h>
#include <windows.h>

#include <string>

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "host/office.h"

namespace brv::test {

// IUnknown over one interface I (and IDispatch, which fails every call), with a counted
// reference held by the test.
template <class I>
class TFakeHostObject : public I {
 public:
  virtual ~TFakeHostObject() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Obj) override {
    if (IsEqualGUID(Iid, IID_IUnknown) || IsEqualGUID(Iid, IID_IDispatch) || IsEqualGUID(Iid, __uuidof(I))) {
      *Obj = static_cast<I*>(this);
      AddRef();
      return S_OK;
    }
    *Obj = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++Refs); }
  ULONG STDMETHODCALLTYPE Release() override {
    EXPECT_GT(Refs, 1) << "released below the test's own reference";
    return static_cast<ULONG>(--Refs);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return Unexpected("GetTypeInfoCount"); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {
    return Unexpected("GetTypeInfo");
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return Unexpected("GetIDsOfNames");
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return Unexpected("Invoke");
  }

  LONG Refs = 1;

 protected:
  static HRESULT Unexpected(const char* Name) {
    ADD_FAILURE() << "unexpected call of " << Name;
    return E_NOTIMPL;
  }
};

// The host's application object: the add-in only keeps it.
class TFakeApplication : public TFakeHostObject<IDispatch> {};

// COMAddIn: only put_Object is expected; it keeps the object it is given.
class TFakeComAddIn : public TFakeHostObject<COMAddIn> {
 public:
  ~TFakeComAddIn() override { Object.reset(); }
  HRESULT STDMETHODCALLTYPE get_Application(IDispatch**) override { return Unexpected("get_Application"); }
  HRESULT STDMETHODCALLTYPE get_Creator(long*) override { return Unexpected("get_Creator"); }
  HRESULT STDMETHODCALLTYPE get_Description(BSTR*) override { return Unexpected("get_Description"); }
  HRESULT STDMETHODCALLTYPE put_Description(BSTR) override { return Unexpected("put_Description"); }
  HRESULT STDMETHODCALLTYPE get_ProgId(BSTR*) override { return Unexpected("get_ProgId"); }
  HRESULT STDMETHODCALLTYPE get_Guid(BSTR*) override { return Unexpected("get_Guid"); }
  HRESULT STDMETHODCALLTYPE get_Connect(VARIANT_BOOL*) override { return Unexpected("get_Connect"); }
  HRESULT STDMETHODCALLTYPE put_Connect(VARIANT_BOOL) override { return Unexpected("put_Connect"); }
  HRESULT STDMETHODCALLTYPE get_Object(IDispatch**) override { return Unexpected("get_Object"); }
  HRESULT STDMETHODCALLTYPE put_Object(IDispatch* Value) override {
    ++PutObjectCalls;
    if (FAILED(PutObjectResult)) return PutObjectResult;
    Object = TComPtr<IDispatch>::Copy(Value);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Parent(IDispatch**) override { return Unexpected("get_Parent"); }

  HRESULT PutObjectResult = S_OK;
  int PutObjectCalls = 0;
  TComPtr<IDispatch> Object;
};

// IRibbonUI: only Invalidate is expected.
class TFakeRibbonUI : public TFakeHostObject<IRibbonUI> {
 public:
  HRESULT STDMETHODCALLTYPE Invalidate() override {
    ++Invalidations;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR) override { return Unexpected("InvalidateControl"); }
  HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR) override { return Unexpected("InvalidateControlMso"); }
  HRESULT STDMETHODCALLTYPE ActivateTab(BSTR) override { return Unexpected("ActivateTab"); }
  HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR) override { return Unexpected("ActivateTabMso"); }
  HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR, BSTR) override { return Unexpected("ActivateTabQ"); }
  int Invalidations = 0;
};

// IRibbonControl: only Id is expected.
class TFakeRibbonControl : public TFakeHostObject<IRibbonControl> {
 public:
  explicit TFakeRibbonControl(std::u16string Id) : FId(std::move(Id)) {}
  HRESULT STDMETHODCALLTYPE get_Id(BSTR* Id) override {
    *Id = TBstr(FId).detach();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Context(IDispatch**) override { return Unexpected("get_Context"); }
  HRESULT STDMETHODCALLTYPE get_Tag(BSTR*) override { return Unexpected("get_Tag"); }

 private:
  std::u16string FId;
};

}  // namespace brv::test
