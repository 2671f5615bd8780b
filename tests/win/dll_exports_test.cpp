// The test add-in DLL through its four exports, as the COM runtime calls them.
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include "com/com_ptr.h"
#include "com_fakes.h"
#include "host/office.h"
#include "test_addin/test_addin.h"

namespace brv {
namespace {

using test::TFakeOuter;

using TGetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using TNoArguments = HRESULT(STDAPICALLTYPE*)();

class DllExportsTest : public testing::Test {
 protected:
  void SetUp() override {
    FModule = LoadLibraryW(L"sortwise_test_addin.dll");
    ASSERT_NE(FModule, nullptr) << GetLastError();
    GetClassObject = reinterpret_cast<TGetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(FModule, "DllGetClassObject")));
    CanUnloadNow =
        reinterpret_cast<TNoArguments>(reinterpret_cast<void*>(GetProcAddress(FModule, "DllCanUnloadNow")));
    ASSERT_NE(GetClassObject, nullptr);
    ASSERT_NE(CanUnloadNow, nullptr);
  }
  void TearDown() override { FreeLibrary(FModule); }
  TComPtr<IClassFactory> Factory() {
    TComPtr<IClassFactory> factory;
    EXPECT_EQ(GetClassObject(test::kTestAddInClass, IID_IClassFactory, factory.put_void()), S_OK);
    return factory;
  }

  test::TApartment Apartment;
  TGetClassObject GetClassObject = nullptr;
  TNoArguments CanUnloadNow = nullptr;

 private:
  HMODULE FModule = nullptr;
};

TEST_F(DllExportsTest, AllFourExportsHaveUndecoratedNames) {
  HMODULE module = GetModuleHandleW(L"sortwise_test_addin.dll");
  for (const char* name :
       {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"})
    EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
}

TEST_F(DllExportsTest, UnknownClassIsNotAvailableAndTheOutPointerStays) {
  const CLSID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
  void* out = &out;
  EXPECT_EQ(GetClassObject(unknown, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, &out);
}

TEST_F(DllExportsTest, ClassObjectAnswersIClassFactoryAndIUnknownOnly) {
  struct TCase {
    IID Interface;
    HRESULT Expected;
  };
  for (const TCase& c :
       {TCase{IID_IClassFactory, S_OK}, TCase{IID_IUnknown, S_OK}, TCase{IID_IStream, E_NOINTERFACE}}) {
    TComPtr<IUnknown> object;
    EXPECT_EQ(GetClassObject(test::kTestAddInClass, c.Interface, object.put_void()), c.Expected);
    EXPECT_EQ(static_cast<bool>(object), c.Expected == S_OK);
  }
}

TEST_F(DllExportsTest, StandAloneInstanceAnswersTheAddInInterfaces) {
  TComPtr<IDTExtensibility2> addIn;
  ASSERT_EQ(Factory()->CreateInstance(nullptr, __uuidof(IDTExtensibility2), addIn.put_void()), S_OK);
  TComPtr<IRibbonExtensibility> ribbon;
  EXPECT_EQ(addIn->QueryInterface(__uuidof(IRibbonExtensibility), ribbon.put_void()), S_OK);
  ribbon.reset();
  EXPECT_EQ(addIn.detach()->Release(), 0u);
}

TEST_F(DllExportsTest, AggregatedInstanceGivesOnlyItsInnerUnknown) {
  TComPtr<IClassFactory> factory = Factory();
  TFakeOuter outer;
  void* out = &outer;
  EXPECT_EQ(factory->CreateInstance(&outer, __uuidof(IDTExtensibility2), &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);

  TComPtr<IUnknown> inner;
  ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, inner.put_void()), S_OK);
  TComPtr<IDTExtensibility2> addIn;
  ASSERT_EQ(inner->QueryInterface(__uuidof(IDTExtensibility2), addIn.put_void()), S_OK);
  EXPECT_EQ(outer.Refs, 2);
  TComPtr<IRibbonExtensibility> viaOuter;
  EXPECT_EQ(addIn->QueryInterface(__uuidof(IRibbonExtensibility), viaOuter.put_void()), E_NOINTERFACE);
  EXPECT_EQ(outer.Queried.size(), 1u);
  addIn.reset();
  EXPECT_EQ(outer.Refs, 1);
  EXPECT_EQ(inner.detach()->Release(), 0u);
}

TEST_F(DllExportsTest, CanUnloadNowIsAlwaysFalse) { EXPECT_EQ(CanUnloadNow(), S_FALSE); }

}  // namespace
}  // namespace brv
