#include "com/registry.h"

#include "foundation/exception.h"
#include "platform/wide_win.h"

namespace brv {

using platform::WideCStr;

uint32_t TryCreateRegKey(HKEY Parent, const std::u16string& Path, TRegKey& Key) {
  HKEY key = nullptr;
  const LONG status = RegCreateKeyExW(Parent, WideCStr(Path), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) Key.reset(key);
  return static_cast<uint32_t>(status);
}

TRegKey CreateRegKey(HKEY Parent, const std::u16string& Path) {
  TRegKey key;
  EbrvObject::Check(TbrvOsError{TryCreateRegKey(Parent, Path, key)});
  return key;
}

void SetRegString(HKEY Key, const std::u16string& Name, const std::u16string& Value) {
  const DWORD size = static_cast<DWORD>((Value.size() + 1) * sizeof(char16_t));
  const LONG status = RegSetValueExW(Key, Name.empty() ? nullptr : WideCStr(Name), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(Value.c_str()), size);
  EbrvObject::Check(TbrvOsError{static_cast<uint32_t>(status)});
}

void SetRegDword(HKEY Key, const std::u16string& Name, uint32_t Value) {
  const DWORD data = Value;
  const LONG status =
      RegSetValueExW(Key, WideCStr(Name), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
  EbrvObject::Check(TbrvOsError{static_cast<uint32_t>(status)});
}

uint32_t DeleteRegTree(HKEY Parent, const std::u16string& Path) {
  return static_cast<uint32_t>(RegDeleteTreeW(Parent, WideCStr(Path)));
}

uint32_t DeleteRegKey(HKEY Parent, const std::u16string& Path) {
  return static_cast<uint32_t>(RegDeleteKeyW(Parent, WideCStr(Path)));
}

TRegKey OpenClassesRoot() {
  static const std::u16string kClasses = u"SOFTWARE\\Classes";
  TRegKey root;
  if (TryCreateRegKey(HKEY_LOCAL_MACHINE, kClasses, root) == ERROR_SUCCESS) return root;
  EbrvObject::Check(TbrvOsError{TryCreateRegKey(HKEY_CURRENT_USER, kClasses, root)});
  return root;
}

}  // namespace brv
