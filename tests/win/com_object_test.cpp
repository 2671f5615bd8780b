// TbrvComObject, TbrvComFactory and its aggregation proxy, through IClassFactory as a client
// sees them.
#include "com/com_object.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include "com/com_factory.h"
#include "com/com_ptr.h"
#include "com/com_server.h"
#include "com_fakes.h"
#include "foundation/exception.h"
#include "os/error_info.h"

namespace brv {
namespace {

using test::TApartment;
using test::TFakeOuter;

const CLSID kTestClass = {0x5A1D0C3E, 0x1B2C, 0x4D5E, {0x8F, 0x90, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6}};

// What the objects of one test did; the class reference passes nothing but the controller.
struct TProbe {
  int Constructed = 0;
  int Destroyed = 0;
  bool FailConstruction = false;
  // BeforeDestruction takes and drops a reference to the dying object, as clean-up code that
  // hands the object to a helper does; the count it saw then.
  bool ReferToSelfWhileDying = false;
  int BeforeDestructions = 0;
  int32_t RefCountWhileDying = 0;
};
TProbe* GProbe = nullptr;

// An object with one interface of its own, IPersist.
class TPersistObject : public TbrvComImplements<TbrvComObject, IPersist> {
 public:
  explicit TPersistObject(const TbrvComControl& Control) : TbrvComImplements(Control) {
    if (GProbe->FailConstruction) throw EbrvObject(static_cast<TbrvResult>(0x80070005), u"cannot build");
    ++GProbe->Constructed;
  }
  ~TPersistObject() override { ++GProbe->Destroyed; }
  void BeforeDestruction() override {
    // Only the first time: should destruction be re-entered, the test sees a second run and a
    // second destruction instead of recursing until the stack runs out.
    if (++GProbe->BeforeDestructions > 1 || !GProbe->ReferToSelfWhileDying) return;
    GProbe->RefCountWhileDying = RefCount();
    TComPtr<IPersist> self;
    if (QueryInterface(IID_IPersist, self.put_void()) != S_OK) throw EbrvIntfCast();
  }

  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* ClassId) override {
    *ClassId = kTestClass;
    return S_OK;
  }
  void* GetInterface(REFIID IID) override {
    if (IsEqualGUID(IID, IID_IPersist)) return static_cast<IPersist*>(this);
    return TbrvComObject::GetInterface(IID);
  }
};

// A more derived class that answers IPersist with a second implementation of its own.
class TDerivedObject : public TbrvComImplements<TPersistObject, IPersistStream> {
 public:
  explicit TDerivedObject(const TbrvComControl& Control) : TbrvComImplements(Control) {}
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* ClassId) override {
    return TPersistObject::GetClassID(ClassId);
  }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(IStream*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Save(IStream*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
  void* GetInterface(REFIID IID) override {
    if (IsEqualGUID(IID, IID_IPersist) || IsEqualGUID(IID, IID_IPersistStream))
      return static_cast<IPersistStream*>(this);
    return TPersistObject::GetInterface(IID);
  }
};

class ComObjectTest : public testing::Test {
 protected:
  void SetUp() override { GProbe = &Probe; }
  void TearDown() override {
    FreeComServer();
    GProbe = nullptr;
  }
  TbrvComFactory* NewFactory(TbrvComClass Class = TbrvComClass::Of<TPersistObject>(u"TPersistObject")) {
    return TbrvInterfacedObject::Create<TbrvComFactory>(kTestClass, Class);
  }

  TApartment Apartment;
  TProbe Probe;
};

TEST_F(ComObjectTest, StandAloneInstanceStartsAtOneAndDiesWithItsLastReference) {
  TbrvComFactory* factory = NewFactory();
  TComPtr<IPersist> persist;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPersist, persist.put_void()), S_OK);
  auto* object = static_cast<TPersistObject*>(persist.get());
  EXPECT_EQ(object->RefCount(), 1);
  EXPECT_TRUE(object->AutoDestroy());

  TComPtr<IUnknown> unknown;
  ASSERT_EQ(persist->QueryInterface(IID_IUnknown, unknown.put_void()), S_OK);
  EXPECT_EQ(object->RefCount(), 2);
  unknown.reset();
  persist.reset();
  EXPECT_EQ(Probe.Constructed, 1);
  EXPECT_EQ(Probe.Destroyed, 1);
}

TEST_F(ComObjectTest, AReferenceTakenAndDroppedWhileDyingDoesNotDestroyTheObjectAgain) {
  Probe.ReferToSelfWhileDying = true;
  TbrvComFactory* factory = NewFactory();
  TComPtr<IPersist> persist;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPersist, persist.put_void()), S_OK);
  persist.reset();
  EXPECT_EQ(Probe.BeforeDestructions, 1);
  EXPECT_EQ(Probe.Destroyed, 1);
  EXPECT_GT(Probe.RefCountWhileDying, 0);
}

TEST_F(ComObjectTest, CreateInstanceFailuresDestroyTheNewObjectAndClearTheOutPointer) {
  struct TCase {
    const char* Name;
    bool WithOuter;
    IID Requested;
  };
  const TCase cases[] = {
      {"interface the class lacks", false, IID_IStream},
      {"aggregated, any interface but IUnknown", true, IID_IPersist},
  };
  TbrvComFactory* factory = NewFactory();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Probe = {};
    TFakeOuter outer;
    void* out = &outer;
    EXPECT_EQ(factory->CreateInstance(c.WithOuter ? &outer : nullptr, c.Requested, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(Probe.Constructed, 1);
    EXPECT_EQ(Probe.Destroyed, 1);
    EXPECT_TRUE(outer.Queried.empty());
  }
}

TEST_F(ComObjectTest, ExceptionInConstructionBecomesTheResultWithItsMessage) {
  TbrvComFactory* factory = NewFactory();
  Probe.FailConstruction = true;
  void* out = nullptr;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPersist, &out), static_cast<HRESULT>(0x80070005));
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(os::TakeThreadErrorDescription(), std::optional<std::u16string>(u"cannot build"));
}

TEST_F(ComObjectTest, FactoryWithoutClassGivesEFail) {
  TbrvComFactory* factory = NewFactory(TbrvComClass{});
  void* out = nullptr;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &out), E_FAIL);
  EXPECT_EQ(out, nullptr);
}

TEST_F(ComObjectTest, AggregatedObjectDelegatesQueriesAndCountsAndDiesWithItsProxy) {
  TbrvComFactory* factory = NewFactory();
  TFakeOuter outer({IID_IUnknown});
  TComPtr<IUnknown> inner;
  ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, inner.put_void()), S_OK);
  auto* proxy = dynamic_cast<TbrvComFactory::TAggregationProxy*>(inner.get());
  ASSERT_NE(proxy, nullptr);
  EXPECT_EQ(proxy->RefCount(), 1);
  EXPECT_EQ(outer.Refs, 1);

  // The outer object finds the inner's interface through the proxy; its counts go to both.
  TComPtr<IPersist> persist;
  ASSERT_EQ(inner->QueryInterface(IID_IPersist, persist.put_void()), S_OK);
  auto* object = static_cast<TPersistObject*>(persist.get());
  EXPECT_EQ(object->RefCount(), 1);
  EXPECT_EQ(outer.Refs, 2);
  EXPECT_FALSE(object->AutoDestroy());

  // Queries on the inner interface go to the outer object, which lacks IPersist.
  TComPtr<IPersist> again;
  EXPECT_EQ(persist->QueryInterface(IID_IPersist, again.put_void()), E_NOINTERFACE);
  ASSERT_EQ(outer.Queried.size(), 1u);
  EXPECT_TRUE(IsEqualGUID(outer.Queried[0], IID_IPersist));

  // The non-delegating IUnknown keeps its identity.
  TComPtr<IUnknown> same;
  ASSERT_EQ(inner->QueryInterface(IID_IUnknown, same.put_void()), S_OK);
  EXPECT_EQ(same.get(), inner.get());
  same.reset();

  persist.reset();
  EXPECT_EQ(outer.Refs, 1);
  EXPECT_EQ(Probe.Destroyed, 0);
  inner.reset();
  EXPECT_EQ(Probe.Destroyed, 1);
}

TEST_F(ComObjectTest, ContainedObjectAnswersItselfCountsBothAndSurvivesZero) {
  TFakeOuter container;
  TPersistObject* object = TbrvComObject::CreateContained<TPersistObject>(&container);
  EXPECT_EQ(object->RefCount(), 0);
  EXPECT_EQ(container.Refs, 1);
  TComPtr<IPersist> persist;
  ASSERT_EQ(object->QueryInterface(IID_IPersist, persist.put_void()), S_OK);
  EXPECT_TRUE(container.Queried.empty());
  EXPECT_EQ(container.Refs, 2);
  persist.reset();
  EXPECT_EQ(object->RefCount(), 0);
  EXPECT_EQ(container.Refs, 1);
  EXPECT_EQ(Probe.Destroyed, 0);
  TComPtr<IUnknown> controller(object->Controller());
  EXPECT_EQ(controller.get(), &container);
  controller.reset();
  object->ReleaseObject();
  EXPECT_EQ(Probe.Destroyed, 1);
}

TEST_F(ComObjectTest, MostDerivedClassAnswersFirstAndEveryMappedInterfaceSupportsErrorInfo) {
  TDerivedObject* object = TbrvComObject::Create<TDerivedObject>();
  TComPtr<ISupportErrorInfo> info;
  ASSERT_EQ(object->QueryInterface(IID_ISupportErrorInfo, info.put_void()), S_OK);
  TComPtr<IPersist> persist;
  ASSERT_EQ(info->QueryInterface(IID_IPersist, persist.put_void()), S_OK);
  EXPECT_EQ(static_cast<void*>(persist.get()), static_cast<void*>(static_cast<IPersistStream*>(object)));

  struct TCase {
    IID Interface;
    HRESULT Expected;
  };
  const TCase cases[] = {{IID_IUnknown, S_OK},   {IID_ISupportErrorInfo, S_OK},
                         {IID_IPersist, S_OK},   {IID_IPersistStream, S_OK},
                         {IID_IStream, S_FALSE}, {IID_IClassFactory, S_FALSE}};
  for (const TCase& c : cases) EXPECT_EQ(info->InterfaceSupportsErrorInfo(c.Interface), c.Expected);
  persist.reset();
  info.reset();
  EXPECT_EQ(Probe.Destroyed, 1);
}

TEST_F(ComObjectTest, FactoryOutlivesItsCountAndLockServerPassesTheLockOn) {
  TbrvComFactory* factory = NewFactory();
  TComPtr<IClassFactory> client;
  ASSERT_EQ(factory->QueryInterface(IID_IClassFactory, client.put_void()), S_OK);
  EXPECT_EQ(factory->RefCount(), 1);
  client.reset();
  EXPECT_EQ(factory->RefCount(), 0);
  EXPECT_EQ(TbrvComFactory::FindFactory(kTestClass), factory);

  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_GE(factory->RefCount(), 1);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(factory->RefCount(), 0);
  TComPtr<IUnknown> other;
  EXPECT_EQ(factory->QueryInterface(IID_IStream, other.put_void()), E_NOINTERFACE);
}

}  // namespace
}  // namespace brv
