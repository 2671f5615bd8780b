#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include "com/module.h"
#include "office/callback_win.h"
#include "office/command_bars.h"

namespace brv {

TbrvPictureRef TbrvOfficeCommand::GetImage() {
  PICTDESC description = {};
  description.cbSizeofstruct = sizeof(PICTDESC);
  description.picType = PICTYPE_ICON;
  description.icon.hicon = LoadIconW(ThisModule(), L"APPICON");
  if (description.icon.hicon == nullptr) return nullptr;
  TComPtr<IPictureDisp> picture;
  if (FAILED(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, picture.put_void())) ||
      !picture) {
    DestroyIcon(description.icon.hicon);
    return nullptr;
  }
  return std::make_shared<TbrvOlePicture>(std::move(picture));
}

}  // namespace brv
