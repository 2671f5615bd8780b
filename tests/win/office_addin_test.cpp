// TbrvOfficeAddIn: the host's connection events and what they run.
#include <gtest/gtest.h>
#include <windows.h>

#include "com_fakes.h"
#include "foundation/exception.h"
#include "office/office_addin2.h"
#include "office_fakes.h"
#include "os/error_info.h"

namespace brv {
namespace {

using test::TFakeApplication;
using test::TFakeComAddIn;

// Counts Initialize and Shutdown; either may be told to fail.
class TProbeAddIn : public TbrvOfficeAddIn2 {
 public:
  struct TCounts {
    int Initialized = 0;
    int ShutDown = 0;
    int Destroyed = 0;
    bool FailInitialize = false;
    bool FailShutdown = false;
    // Shutdown takes and drops a reference to its own object, as handing the add-in to a
    // helper does.
    bool ReferToSelfInShutdown = false;
  };
  TProbeAddIn(const TbrvComControl& Control, TCounts* Counts) : TbrvOfficeAddIn2(Control), FCounts(Counts) {}
  ~TProbeAddIn() override { ++FCounts->Destroyed; }
  void Initialize() override {
    ++FCounts->Initialized;
    if (FCounts->FailInitialize) throw EbrvObject(kE_FAIL, u"initialize failed");
  }
  void Shutdown() override {
    // Only the first time: should it be re-entered, the test sees a second Shutdown and a second
    // destruction instead of recursing until the stack runs out.
    if (++FCounts->ShutDown == 1 && FCounts->ReferToSelfInShutdown) {
      TComPtr<IDTExtensibility2> self;
      EbrvComObject::Check(QueryInterface(__uuidof(IDTExtensibility2), self.put_void()));
    }
    if (FCounts->FailShutdown) throw EbrvObject(kE_ABORT, u"shutdown failed");
  }

 private:
  TCounts* FCounts;
};

class OfficeAddInTest : public testing::Test {
 protected:
  void SetUp() override {
    AddIn = TbrvComObject::Create<TProbeAddIn>(&Counts);
    AddIn->AddRef();
  }
  void TearDown() override {
    if (AddIn != nullptr) AddIn->Release();
  }
  IDTExtensibility2* Connection() { return static_cast<IDTExtensibility2*>(AddIn); }

  test::TApartment Apartment;
  TProbeAddIn::TCounts Counts;
  TProbeAddIn* AddIn = nullptr;
  TFakeApplication Application;
  TFakeComAddIn ComAddIn;
};

TEST_F(OfficeAddInTest, ConnectModesOtherThanStartupInitializeAtOnce) {
  struct TCase {
    ext_ConnectMode Mode;
    int Initialized;
  };
  for (const TCase c : {TCase{ext_cm_AfterStartup, 1}, TCase{ext_cm_Startup, 0}, TCase{ext_cm_External, 1},
                        TCase{ext_cm_CommandLine, 1}}) {
    SCOPED_TRACE(c.Mode);
    Counts = {};
    EXPECT_EQ(Connection()->OnConnection(&Application, c.Mode, nullptr, nullptr), S_OK);
    EXPECT_EQ(Counts.Initialized, c.Initialized);
    EXPECT_EQ(Connection()->OnDisconnection(ext_dm_UserClosed, nullptr), S_OK);
    EXPECT_EQ(Counts.ShutDown, 1);
  }
}

TEST_F(OfficeAddInTest, StartupSequenceInitializesOnceAndShutsDownOnceReleasingTheHost) {
  ASSERT_EQ(Connection()->OnConnection(&Application, ext_cm_Startup, &ComAddIn, nullptr), S_OK);
  EXPECT_EQ(AddIn->Application(), &Application);
  EXPECT_EQ(AddIn->AddInInstance(), &ComAddIn);
  EXPECT_EQ(ComAddIn.PutObjectCalls, 1);
  EXPECT_EQ(static_cast<void*>(ComAddIn.Object.get()), static_cast<void*>(Connection()));
  EXPECT_EQ(Application.Refs, 2);
  EXPECT_EQ(ComAddIn.Refs, 2);

  EXPECT_EQ(Connection()->OnStartupComplete(nullptr), S_OK);
  EXPECT_EQ(Connection()->OnAddInsUpdate(nullptr), S_OK);
  EXPECT_EQ(Counts.Initialized, 1);
  EXPECT_EQ(Connection()->OnBeginShutdown(nullptr), S_OK);
  EXPECT_EQ(Connection()->OnDisconnection(ext_dm_HostShutdown, nullptr), S_OK);
  EXPECT_EQ(Counts.ShutDown, 1);
  EXPECT_EQ(AddIn->Application(), nullptr);
  EXPECT_EQ(AddIn->AddInInstance(), nullptr);
  EXPECT_EQ(Application.Refs, 1);
  EXPECT_EQ(ComAddIn.Refs, 1);
}

TEST_F(OfficeAddInTest, WithoutApplicationOrConnectionNothingShutsDown) {
  EXPECT_EQ(Connection()->OnDisconnection(ext_dm_UserClosed, nullptr), S_OK);
  EXPECT_EQ(Connection()->OnConnection(nullptr, ext_cm_Startup, nullptr, nullptr), S_OK);
  EXPECT_EQ(Connection()->OnBeginShutdown(nullptr), S_OK);
  EXPECT_EQ(Connection()->OnDisconnection(ext_dm_UserClosed, nullptr), S_OK);
  EXPECT_EQ(Counts.ShutDown, 0);
  EXPECT_EQ(AddIn->AddInInstance(), nullptr);
}

TEST_F(OfficeAddInTest, AddInInstanceWithoutComAddInFailsButLeavesTheAddInConnected) {
  TFakeApplication notAnAddIn;
  EXPECT_EQ(Connection()->OnConnection(&Application, ext_cm_AfterStartup, &notAnAddIn, nullptr),
            E_NOINTERFACE);
  EXPECT_EQ(Counts.Initialized, 0);
  EXPECT_EQ(AddIn->Application(), &Application);
  EXPECT_EQ(Connection()->OnDisconnection(ext_dm_UserClosed, nullptr), S_OK);
  EXPECT_EQ(Counts.ShutDown, 1);
  EXPECT_EQ(notAnAddIn.Refs, 1);
}

TEST_F(OfficeAddInTest, FailuresInsideTheEventsBecomeTheirResults) {
  ComAddIn.PutObjectResult = static_cast<HRESULT>(0x80070005);
  EXPECT_EQ(Connection()->OnConnection(&Application, ext_cm_Startup, &ComAddIn, nullptr),
            static_cast<HRESULT>(0x80070005));

  Counts.FailInitialize = true;
  EXPECT_EQ(Connection()->OnStartupComplete(nullptr), E_FAIL);
  EXPECT_EQ(os::TakeThreadErrorDescription(), std::optional<std::u16string>(u"initialize failed"));
  ComAddIn.PutObjectResult = S_OK;
  EXPECT_EQ(Connection()->OnConnection(&Application, ext_cm_External, &ComAddIn, nullptr), E_FAIL);

  // A failing Shutdown still lets the host's objects go, so it never runs twice.
  Counts.FailShutdown = true;
  EXPECT_EQ(Connection()->OnBeginShutdown(nullptr), kE_ABORT);
  EXPECT_EQ(Connection()->OnDisconnection(ext_dm_HostShutdown, nullptr), S_OK);
  EXPECT_EQ(Counts.ShutDown, 1);
  EXPECT_EQ(Application.Refs, 1);
  EXPECT_EQ(ComAddIn.Refs, 1);
}

TEST_F(OfficeAddInTest, FinalReleaseOfAConnectedAddInRunsShutdown) {
  ASSERT_EQ(Connection()->OnConnection(&Application, ext_cm_Startup, &ComAddIn, nullptr), S_OK);
  // The COMAddIn holds the add-in too; it lets go as a host would.
  ComAddIn.Object.reset();
  AddIn->Release();
  AddIn = nullptr;
  EXPECT_EQ(Counts.ShutDown, 1);
  EXPECT_EQ(Application.Refs, 1);
  EXPECT_EQ(ComAddIn.Refs, 1);
}

TEST_F(OfficeAddInTest, FinalReleaseRunsShutdownOnceEvenWhenItRefersToItsOwnObject) {
  Counts.ReferToSelfInShutdown = true;
  ASSERT_EQ(Connection()->OnConnection(&Application, ext_cm_Startup, &ComAddIn, nullptr), S_OK);
  ComAddIn.Object.reset();
  AddIn->Release();
  AddIn = nullptr;
  EXPECT_EQ(Counts.ShutDown, 1);
  EXPECT_EQ(Counts.Destroyed, 1);
  EXPECT_EQ(Application.Refs, 1);
  EXPECT_EQ(ComAddIn.Refs, 1);
}

TEST_F(OfficeAddInTest, ConnectionInterfaceExposesNoMembersToLateBinding) {
  ASSERT_EQ(Connection()->OnConnection(&Application, ext_cm_Startup, &ComAddIn, nullptr), S_OK);
  IDispatch* const object = ComAddIn.Object.get();
  LPOLESTR name = const_cast<LPOLESTR>(L"RibbonOnLoad");
  DISPID id = 12345;
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), E_NOTIMPL);
  EXPECT_EQ(id, 12345);
  EXPECT_EQ(object->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);
  UINT count = 7;
  EXPECT_EQ(object->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(Connection()->OnDisconnection(ext_dm_HostShutdown, nullptr), S_OK);
}

TEST_F(OfficeAddInTest, QueriesFindTheRibbonDispatchFirstAndTheConnectionInterfaceSeparately) {
  TComPtr<IDispatch> dispatch;
  TComPtr<IRibbonExtensibility> ribbon;
  TComPtr<IDTExtensibility2> connection;
  ASSERT_EQ(AddIn->QueryInterface(IID_IDispatch, dispatch.put_void()), S_OK);
  ASSERT_EQ(AddIn->QueryInterface(__uuidof(IRibbonExtensibility), ribbon.put_void()), S_OK);
  ASSERT_EQ(AddIn->QueryInterface(__uuidof(IDTExtensibility2), connection.put_void()), S_OK);
  EXPECT_EQ(static_cast<void*>(dispatch.get()), static_cast<void*>(ribbon.get()));
  EXPECT_NE(static_cast<void*>(dispatch.get()), static_cast<void*>(connection.get()));
  // One identity whichever interface is asked.
  TComPtr<IUnknown> a, b;
  ASSERT_EQ(ribbon->QueryInterface(IID_IUnknown, a.put_void()), S_OK);
  ASSERT_EQ(connection->QueryInterface(IID_IUnknown, b.put_void()), S_OK);
  EXPECT_EQ(a.get(), b.get());
  TComPtr<ISupportErrorInfo> info;
  ASSERT_EQ(ribbon->QueryInterface(IID_ISupportErrorInfo, info.put_void()), S_OK);
  EXPECT_EQ(info->InterfaceSupportsErrorInfo(__uuidof(IRibbonExtensibility)), S_OK);
  EXPECT_EQ(info->InterfaceSupportsErrorInfo(__uuidof(IDTExtensibility2)), S_OK);
}

}  // namespace
}  // namespace brv
