// TbrvOfficeAddInFactory's entries under the current user's Office key.
#include "office/office_addin_factory.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "com/com_server.h"
#include "com/module.h"
#include "office/office_addin.h"
#include "registry_fixture.h"

namespace brv {
namespace {

using test::KeyExists;
using test::ReadText;
using test::ReadValue;

const CLSID kClass = {0x61E2B7C4, 0x3D58, 0x4F0A, {0x8C, 0x17, 0xB4, 0x29, 0x6E, 0x0D, 0x95, 0xA3}};
const std::u16string kOffice = u"SOFTWARE\\Microsoft\\Office";

class TAnyAddIn : public TbrvOfficeAddIn {
 public:
  using TbrvOfficeAddIn::TbrvOfficeAddIn;
};

class OfficeAddInFactoryTest : public testing::Test {
 protected:
  void TearDown() override {
    ComServer().UpdateRegistry(false);
    FreeComServer();
  }
  TbrvOfficeAddInFactory* NewFactory(TbrvOfficeAddInProducts Products, std::u16string FriendlyName,
                                     std::u16string ClassName) {
    return TbrvInterfacedObject::Create<TbrvOfficeAddInFactory>(
        kClass, TbrvComClass::Of<TAnyAddIn>(u"TAnyAddIn"), Products, std::move(FriendlyName),
        std::move(ClassName));
  }
  static std::u16string AddInKey(std::u16string_view Product, std::u16string_view ClassName) {
    return kOffice + u"\\" + std::u16string(Product) + u"\\Addins\\" + std::u16string(ClassName);
  }
};

TEST_F(OfficeAddInFactoryTest, RegistersInTheChosenProductsOnlyAndOverwritesOnASecondRun) {
  TbrvOfficeAddInFactory* factory = NewFactory({oapOutlook}, u"Friendly", u"Brevanta.FactoryTest");
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    factory->UpdateRegistry(true);
    const std::u16string key = AddInKey(u"Outlook", u"Brevanta.FactoryTest");
    const auto friendly = ReadValue(HKEY_CURRENT_USER, key, u"FriendlyName");
    ASSERT_TRUE(friendly);
    EXPECT_EQ(friendly->Text(), u"Friendly");
    const auto load = ReadValue(HKEY_CURRENT_USER, key, u"LoadBehavior");
    ASSERT_TRUE(load);
    EXPECT_EQ(load->Type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(load->Data, std::string("\x03\0\0\0", 4));
    for (const char16_t* other : {u"Word", u"Excel", u"PowerPoint"})
      EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, AddInKey(other, u"Brevanta.FactoryTest")));
  }
  // The COM class is registered too, with the friendly name as its description.
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes\\CLSID\\" + ClassIdText(kClass), u""),
            u"Friendly");
  factory->UpdateRegistry(false);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, AddInKey(u"Outlook", u"Brevanta.FactoryTest")));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes\\CLSID\\" + ClassIdText(kClass)));
}

TEST_F(OfficeAddInFactoryTest, EveryProductInTheSetGetsItsKey) {
  TbrvOfficeAddInFactory* factory = NewFactory({oapWord, oapPowerPoint}, u"Both", u"Brevanta.FactoryTest");
  factory->UpdateRegistry(true);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, AddInKey(u"Word", u"Brevanta.FactoryTest")));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, AddInKey(u"PowerPoint", u"Brevanta.FactoryTest")));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, AddInKey(u"Outlook", u"Brevanta.FactoryTest")));
  factory->UpdateRegistry(false);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, AddInKey(u"Word", u"Brevanta.FactoryTest")));
}

TEST_F(OfficeAddInFactoryTest, UnregisteringWithoutEntriesSucceedsAndLeavesTheOfficeKey) {
  TbrvOfficeAddInFactory* factory = NewFactory({oapOutlook}, u"Friendly", u"Brevanta.FactoryTest");
  {
    test::TScratchRoot user(HKEY_CURRENT_USER, L"Software\\SortwiseTest.EmptyUser");
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kOffice));
    EXPECT_NO_THROW(factory->UpdateRegistry(false));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kOffice));
  }
  // A key with subkeys of its own cannot go, and that is no error.
  SetRegString(
      CreateRegKey(HKEY_CURRENT_USER, AddInKey(u"Outlook", u"Brevanta.FactoryTest") + u"\\Child").get(), u"",
      u"x");
  EXPECT_NO_THROW(factory->UpdateRegistry(false));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, AddInKey(u"Outlook", u"Brevanta.FactoryTest")));
  RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Office\\Outlook\\Addins\\Brevanta.FactoryTest");
}

TEST_F(OfficeAddInFactoryTest, EmptyNamesFallBackToTheClassNameAndTheModuleName) {
  TbrvOfficeAddInFactory* factory = NewFactory({oapOutlook}, u"", u"");
  std::u16string module = ThisModuleFileName();
  module.erase(0, module.find_last_of(u'\\') + 1);
  module.erase(module.find_last_of(u'.'));
  const std::u16string expected = module + u".TAnyAddIn";
  EXPECT_EQ(factory->ComClassName(), expected);
  EXPECT_EQ(factory->FriendlyName(), expected);
  EXPECT_EQ(factory->Description(), expected);
  factory->UpdateRegistry(true);
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, AddInKey(u"Outlook", expected), u"FriendlyName"), expected);
}

TEST_F(OfficeAddInFactoryTest, FailureInTheUsersOfficeKeyRaisesAfterTheClassIsRegistered) {
  TbrvOfficeAddInFactory* factory = NewFactory({oapOutlook}, u"Friendly", u"Brevanta.FactoryTest");
  test::TUnwritableRoot user(HKEY_CURRENT_USER, L"Software\\SortwiseTest.User");
  EXPECT_THROW(factory->UpdateRegistry(true), EbrvObject);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes\\CLSID\\" + ClassIdText(kClass)));
}

}  // namespace
}  // namespace brv
