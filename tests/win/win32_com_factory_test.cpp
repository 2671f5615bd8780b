// TbrvWin32ComFactory's registry entries: the rows, their order of roots, sizes and removal.
#include "com/win32_com_factory.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "com/com_server.h"
#include "com/module.h"
#include "foundation/exception.h"
#include "registry_fixture.h"

namespace brv {
namespace {

using test::KeyExists;
using test::ReadText;
using test::ReadValue;

const CLSID kClass = {0x0C4D2E51, 0x7F3A, 0x4B19, {0xA2, 0x6E, 0x58, 0x91, 0x0D, 0xC3, 0x4F, 0x7B}};
const std::u16string kClassText = u"{0C4D2E51-7F3A-4B19-A26E-58910DC34F7B}";
const std::u16string kClassKey = u"SOFTWARE\\Classes\\CLSID\\" + kClassText;
const std::u16string kProgId = u"Brevanta.RegistryTest";

// Writes a marker under the class key from the registration hook, and counts its calls.
class THookedFactory : public TbrvWin32ComFactory {
 public:
  using TbrvWin32ComFactory::TbrvWin32ComFactory;
  void UpdateRegistry(bool Register) override { TbrvWin32ComFactory::UpdateRegistry(Register); }
  void UpdateRegistry(HKEY ClassKey, HKEY RootKey) override {
    ++HookCalls;
    SetRegString(ClassKey, u"Hooked", u"yes");
    HookRootHasClass = test::KeyExists(RootKey, u"CLSID\\" + kClassText);
  }
  int HookCalls = 0;
  bool HookRootHasClass = false;
};

class Win32ComFactoryTest : public testing::Test {
 protected:
  void TearDown() override {
    FreeComServer();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Brevanta.RegistryTest");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, reinterpret_cast<const wchar_t*>(kClassKey.c_str()));
    RegDeleteTreeW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(kClassKey.c_str()));
  }
  THookedFactory* NewFactory(std::u16string ClassName, std::u16string Description) {
    return TbrvInterfacedObject::Create<THookedFactory>(kClass, TbrvComClass{}, std::move(ClassName),
                                                        std::move(Description));
  }
};

TEST_F(Win32ComFactoryTest, ClassIdTextIsBracedUpperCase) { EXPECT_EQ(ClassIdText(kClass), kClassText); }

TEST_F(Win32ComFactoryTest, RegisteringWritesEveryRowWithItsTerminatorAndCallsTheHookLast) {
  THookedFactory* factory = NewFactory(kProgId, u"Registry test");
  factory->UpdateRegistry(true);

  const HKEY root = HKEY_LOCAL_MACHINE;
  const auto description = ReadValue(root, kClassKey, u"");
  ASSERT_TRUE(description);
  EXPECT_EQ(description->Data.size(), (std::u16string(u"Registry test").size() + 1) * 2);
  EXPECT_EQ(description->Text(), u"Registry test");
  EXPECT_EQ(ReadText(root, kClassKey + u"\\InprocServer32", u""), ThisModuleFileName());
  EXPECT_EQ(ReadText(root, kClassKey + u"\\InprocServer32", u"ThreadingModel"), u"Both");
  EXPECT_EQ(ReadText(root, kClassKey + u"\\ProgID", u""), kProgId);
  EXPECT_EQ(ReadText(root, u"SOFTWARE\\Classes\\" + kProgId + u"\\CLSID", u""), kClassText);
  EXPECT_EQ(ReadText(root, kClassKey, u"Hooked"), u"yes");
  EXPECT_EQ(factory->HookCalls, 1);
  EXPECT_TRUE(factory->HookRootHasClass);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClassKey));

  // Unregistering removes both trees, and a second time finds nothing and still succeeds.
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    factory->UpdateRegistry(false);
    EXPECT_FALSE(KeyExists(root, kClassKey));
    EXPECT_FALSE(KeyExists(root, u"SOFTWARE\\Classes\\" + kProgId));
  }
  EXPECT_EQ(factory->HookCalls, 1);
}

TEST_F(Win32ComFactoryTest, WithoutClassNameOnlyTheClassKeyIsWrittenAndRemoved) {
  // A key that happens to share a ProgID's place must survive a nameless factory's removal.
  SetRegString(CreateRegKey(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes\\" + kProgId).get(), u"", u"other");
  THookedFactory* factory = NewFactory(u"", u"Nameless");
  factory->UpdateRegistry(true);
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kClassKey, u""), u"Nameless");
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey + u"\\InprocServer32"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey + u"\\ProgID"));
  factory->UpdateRegistry(false);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey));
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes\\" + kProgId, u""), u"other");
}

TEST_F(Win32ComFactoryTest, EmptyDescriptionTakesTheClassName) {
  THookedFactory* factory = NewFactory(kProgId, u"");
  EXPECT_EQ(factory->Description(), kProgId);
  factory->UpdateRegistry(true);
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kClassKey, u""), kProgId);
}

TEST_F(Win32ComFactoryTest, WithoutMachineRightsTheCurrentUsersClassesAreUsed) {
  THookedFactory* factory = NewFactory(kProgId, u"Per user");
  {
    test::TUnwritableRoot machine(HKEY_LOCAL_MACHINE, L"Software\\SortwiseTest.Machine");
    factory->UpdateRegistry(true);
  }
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kClassKey, u""), u"Per user");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kClassKey + u"\\InprocServer32", u"ThreadingModel"), u"Both");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, u"SOFTWARE\\Classes\\" + kProgId + u"\\CLSID", u""), kClassText);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey));
  {
    test::TUnwritableRoot machine(HKEY_LOCAL_MACHINE, L"Software\\SortwiseTest.Machine");
    factory->UpdateRegistry(false);
  }
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClassKey));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, u"SOFTWARE\\Classes\\" + kProgId));
}

TEST_F(Win32ComFactoryTest, WithNeitherRootWritableBothDirectionsRaiseTheUsersFailure) {
  THookedFactory* factory = NewFactory(kProgId, u"Nowhere");
  test::TUnwritableRoot machine(HKEY_LOCAL_MACHINE, L"Software\\SortwiseTest.Machine");
  test::TUnwritableRoot user(HKEY_CURRENT_USER, L"Software\\SortwiseTest.User");
  for (const bool registering : {true, false}) {
    SCOPED_TRACE(registering);
    try {
      factory->UpdateRegistry(registering);
      ADD_FAILURE() << "no failure raised";
    } catch (const EbrvObject& e) {
      EXPECT_EQ(e.ErrorCode(), ResultFromOsError(ERROR_CHILD_MUST_BE_VOLATILE));
    }
  }
  EXPECT_EQ(factory->HookCalls, 0);
}

}  // namespace
}  // namespace brv
