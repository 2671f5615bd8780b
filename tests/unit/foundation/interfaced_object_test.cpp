#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "foundation/interfaced_object.h"

namespace brv {
namespace {

// Records its destruction, and in its constructor takes and drops a reference to itself, which
// must not destroy the half-built object.
class TCounted : public TbrvInterfacedObject {
 public:
  explicit TCounted(bool* Destroyed) : FDestroyed(Destroyed) {
    IUnknown* self = nullptr;
    QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&self));
    CountInConstructor = RefCount();
    self->Release();
  }
  ~TCounted() override { *FDestroyed = true; }
  int32_t CountInConstructor = 0;

 private:
  bool* FDestroyed;
};

TEST(InterfacedObject, ConstructionProtocolKeepsTheObjectAliveAndEndsAtZero) {
  bool destroyed = false;
  TCounted* object = TbrvInterfacedObject::Create<TCounted>(&destroyed);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(object->CountInConstructor, 2);
  EXPECT_EQ(object->RefCount(), 0);

  IUnknown* unknown = nullptr;
  ASSERT_EQ(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), kS_OK);
  EXPECT_EQ(object->RefCount(), 1);
  EXPECT_EQ(unknown->AddRef(), 2u);
  EXPECT_EQ(unknown->Release(), 1u);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(unknown->Release(), 0u);
  EXPECT_TRUE(destroyed);
}

TEST(InterfacedObject, UnknownInterfaceGivesNoInterfaceAndANullPointer) {
  bool destroyed = false;
  TCounted* object = TbrvInterfacedObject::Create<TCounted>(&destroyed);
  const IID other = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  void* out = &destroyed;
  EXPECT_EQ(object->QueryInterface(other, &out), kE_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(object->RefCount(), 0);
  delete object;
  EXPECT_TRUE(destroyed);
}

// An object whose owner destroys it replaces the release hook; dropping to zero then keeps it.
class TOwned : public TbrvInterfacedObject {
 public:
  void ReleaseObject() override { ++ReleasedAtZero; }
  int ReleasedAtZero = 0;
};

TEST(InterfacedObject, ReleaseAtZeroRunsTheReplaceableReleaseHook) {
  TOwned* owned = TbrvInterfacedObject::Create<TOwned>();
  owned->AddRef();
  owned->Release();
  owned->AddRef();
  owned->Release();
  EXPECT_EQ(owned->ReleasedAtZero, 2);
  delete owned;
}

TEST(InterfacedObject, CountsAtomicallyAcrossThreads) {
  TOwned* owned = TbrvInterfacedObject::Create<TOwned>();
  owned->AddRef();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([owned] {
      for (int i = 0; i < 20000; ++i) {
        owned->AddRef();
        owned->Release();
      }
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(owned->RefCount(), 1);
  EXPECT_EQ(owned->ReleasedAtZero, 0);
  delete owned;
}

}  // namespace
}  // namespace brv
