#include "addin/sortwise_addin_factory.h"

#include <string>

#include "addin/resource.h"
#include "addin/sortwise_addin.h"
#include "ui/visual_styles_win.h"

namespace swo {
namespace {

std::u16string FriendlyNameResource() {
  const wchar_t* Text = nullptr;
  // Length 0 asks for a read-only pointer into the resource itself.
  const int Length = LoadStringW(ThisModule(), IDS_FRIENDLY_NAME, reinterpret_cast<LPWSTR>(&Text), 0);
  return Length > 0 ? std::u16string(reinterpret_cast<const char16_t*>(Text), static_cast<size_t>(Length))
                    : std::u16string();
}

}  // namespace

TbrvSortwiseAddInFactory::TbrvSortwiseAddInFactory()
    : TbrvOfficeAddInFactory(kSortwiseAddInClass, brv::TbrvComClass::Of<TbrvSortwiseAddIn>(u"TbrvSortwiseAddIn"),
                             brv::TbrvOfficeAddInProducts{brv::oapOutlook}, FriendlyNameResource(), kSortwiseAddInProgId) {}

}  // namespace swo
