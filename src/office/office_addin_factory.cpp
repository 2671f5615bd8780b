#include "office/office_addin_factory.h"

#include "com/module.h"
#include "com/registry.h"

namespace brv {

namespace {

// Load at start-up.
constexpr uint32_t kLoadAtStartup = 3;

std::u16string ClassNameOrDefault(std::u16string ClassName, const TbrvComClass& AddInClass) {
  return ClassName.empty() ? ModuleClassName(AddInClass.ClassName) : ClassName;
}

}  // namespace

std::u16string ModuleClassName(std::u16string_view ClassName) {
  std::u16string name = ThisModuleFileName();
  name.erase(0, name.find_last_of(u"\\/") + 1);
  if (const size_t dot = name.find_last_of(u'.'); dot != std::u16string::npos) name.erase(dot);
  return name + u"." + std::u16string(ClassName);
}

TbrvOfficeAddInFactory::TbrvOfficeAddInFactory(const CLSID& ClassId, TbrvComClass AddInClass,
                                               TbrvOfficeAddInProducts Products, std::u16string FriendlyName,
                                               std::u16string ClassName)
    : TbrvWin32ComFactory(ClassId, AddInClass, ClassNameOrDefault(std::move(ClassName), AddInClass),
                          FriendlyName),
      FProducts(Products),
      FFriendlyName(std::move(FriendlyName)) {
  if (FFriendlyName.empty()) FFriendlyName = ComClassName();
}

void TbrvOfficeAddInFactory::UpdateRegistry(bool Register) {
  TbrvWin32ComFactory::UpdateRegistry(Register);
  const TRegKey office = CreateRegKey(HKEY_CURRENT_USER, u"SOFTWARE\\Microsoft\\Office");
  for (const TbrvOfficeAddInProduct product : {oapWord, oapExcel, oapOutlook, oapPowerPoint}) {
    if (!FProducts.Contains(product)) continue;
    const std::u16string path =
        std::u16string(kOfficeAddInProductKeys[product]) + u"\\Addins\\" + ComClassName();
    if (!Register) {
      DeleteRegKey(office.get(), path);
      continue;
    }
    const TRegKey addIn = CreateRegKey(office.get(), path);
    SetRegString(addIn.get(), u"FriendlyName", FFriendlyName);
    SetRegDword(addIn.get(), u"LoadBehavior", kLoadAtStartup);
  }
}

}  // namespace brv
