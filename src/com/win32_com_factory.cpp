#include "com/win32_com_factory.h"

#include <objbase.h>

#include "com/module.h"
#include "com/registry.h"
#include "platform/wide_win.h"

namespace brv {

std::u16string ClassIdText(const CLSID& ClassId) {
  wchar_t text[39] = {};
  StringFromGUID2(ClassId, text, 39);
  return platform::FromWide(text);
}

TbrvWin32ComFactory::TbrvWin32ComFactory(const CLSID& ClassId, TbrvComClass ComClass,
                                         std::u16string ClassName, std::u16string Description)
    : TbrvComFactory(ClassId, ComClass),
      FClassName(std::move(ClassName)),
      FDescription(Description.empty() ? FClassName : std::move(Description)) {}

void TbrvWin32ComFactory::UpdateRegistry(bool Register) {
  const std::u16string classKeyPath = u"CLSID\\" + ClassIdText(ClassId());
  const TRegKey root = OpenClassesRoot();
  if (!Register) {
    if (!FClassName.empty()) DeleteRegTree(root.get(), FClassName);
    DeleteRegTree(root.get(), classKeyPath);
    return;
  }
  const TRegKey classKey = CreateRegKey(root.get(), classKeyPath);
  SetRegString(classKey.get(), u"", FDescription);
  {
    const TRegKey server = CreateRegKey(classKey.get(), u"InprocServer32");
    SetRegString(server.get(), u"", ThisModuleFileName());
    SetRegString(server.get(), u"ThreadingModel", u"Both");
  }
  if (!FClassName.empty()) {
    SetRegString(CreateRegKey(classKey.get(), u"ProgID").get(), u"", FClassName);
    SetRegString(CreateRegKey(root.get(), FClassName + u"\\CLSID").get(), u"", ClassIdText(ClassId()));
  }
  UpdateRegistry(classKey.get(), root.get());
}

void TbrvWin32ComFactory::UpdateRegistry(HKEY, HKEY) {}

}  // namespace brv
