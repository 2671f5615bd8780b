// TbrvOfficeAddInFactory: the class factory of an Office add-in. Besides the COM class it
// enters the add-in in the chosen Office products' add-in lists of the current user.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "com/win32_com_factory.h"

namespace brv {

enum TbrvOfficeAddInProduct : int32_t { oapWord = 0, oapExcel = 1, oapOutlook = 2, oapPowerPoint = 3 };

// The products' registry key names, indexed by the product.
inline constexpr std::u16string_view kOfficeAddInProductKeys[] = {u"Word", u"Excel", u"Outlook",
                                                                  u"PowerPoint"};

// A set of products, one bit per product.
class TbrvOfficeAddInProducts {
 public:
  constexpr TbrvOfficeAddInProducts() = default;
  constexpr TbrvOfficeAddInProducts(std::initializer_list<TbrvOfficeAddInProduct> Products) {
    for (const TbrvOfficeAddInProduct p : Products) FBits = static_cast<uint8_t>(FBits | (1u << p));
  }
  constexpr bool Contains(TbrvOfficeAddInProduct Product) const { return (FBits >> Product) & 1u; }

 private:
  uint8_t FBits = 0;
};

class TbrvOfficeAddInFactory : public TbrvWin32ComFactory {
 public:
  // An empty ClassName becomes "<module file name without extension>.<AddInClass's name>"; an
  // empty FriendlyName becomes the class name.
  TbrvOfficeAddInFactory(const CLSID& ClassId, TbrvComClass AddInClass, TbrvOfficeAddInProducts Products,
                         std::u16string FriendlyName, std::u16string ClassName = {});

  TbrvOfficeAddInProducts Products() const { return FProducts; }
  const std::u16string& FriendlyName() const { return FFriendlyName; }

  // The COM class first, then HKCU\SOFTWARE\Microsoft\Office\<product>\Addins\<class name>
  // with "FriendlyName" and "LoadBehavior" 3 for each product (removed when unregistering).
  void UpdateRegistry(bool Register) override;
  using TbrvWin32ComFactory::UpdateRegistry;

 private:
  TbrvOfficeAddInProducts FProducts;
  std::u16string FFriendlyName;
};

// The module's file name without folder and extension, a dot, and ClassName.
std::u16string ModuleClassName(std::u16string_view ClassName);

}  // namespace brv
