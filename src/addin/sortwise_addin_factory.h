// TbrvSortwiseAddInFactory: the class factory through which Outlook creates the add-in, and
// the add-in's registration. The library makes exactly one when it is loaded.
#pragma once

#include <windows.h>

#include "office/office_addin_factory.h"

namespace swo {

// {6E3F1C27-94B0-4A5D-8C61-3D2B7F09A4E8}
inline constexpr CLSID kSortwiseAddInClass = {
    0x6E3F1C27, 0x94B0, 0x4A5D, {0x8C, 0x61, 0x3D, 0x2B, 0x7F, 0x09, 0xA4, 0xE8}};
inline constexpr char16_t kSortwiseAddInProgId[] = u"Brevanta.SortwiseAddIn";

class TbrvSortwiseAddInFactory : public brv::TbrvOfficeAddInFactory {
 public:
  // Outlook only; the friendly name is this module's string resource IDS_FRIENDLY_NAME.
  TbrvSortwiseAddInFactory();
};

}  // namespace swo
