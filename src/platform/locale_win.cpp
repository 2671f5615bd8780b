#include <windows.h>

#include "platform/locale.h"

namespace brv::platform {

namespace {
const wchar_t* AsWide(std::u16string_view Text) { return reinterpret_cast<const wchar_t*>(Text.data()); }
}  // namespace

int LocaleCompareText(std::u16string_view L, std::u16string_view R) {
  const int result = CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, AsWide(L),
                                     static_cast<int>(L.size()), AsWide(R),
                                     static_cast<int>(R.size()), nullptr, nullptr, 0);
  // CSTR_LESS_THAN, CSTR_EQUAL and CSTR_GREATER_THAN are 1, 2 and 3.
  return result == 0 ? L.compare(R) : result - CSTR_EQUAL;
}

int LocaleCompareString(std::u16string_view L, std::u16string_view R) {
  const int result = CompareStringEx(LOCALE_NAME_USER_DEFAULT, 0, AsWide(L), static_cast<int>(L.size()),
                                     AsWide(R), static_cast<int>(R.size()), nullptr, nullptr, 0);
  if (result == 0) return L.compare(R);
  // Texts the locale counts as equal (ignorable characters aside) still need one order.
  return result != CSTR_EQUAL ? result - CSTR_EQUAL : L.compare(R);
}

std::string LocaleSortKey(std::u16string_view Text) {
  constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int length = static_cast<int>(Text.size());
  // With LCMAP_SORTKEY the sizes are in bytes and the output is a byte string.
  const int needed = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, AsWide(Text), length, nullptr, 0, nullptr, nullptr, 0);
  if (needed <= 0) return {};
  std::string key(static_cast<size_t>(needed), '\0');
  LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, AsWide(Text), length, reinterpret_cast<wchar_t*>(key.data()), needed,
                nullptr, nullptr, 0);
  key.resize(std::char_traits<char>::length(key.c_str()));  // the key ends with its NUL
  return key;
}

std::u16string LocaleUpperCase(std::u16string_view Text) {
  if (Text.empty()) return {};
  constexpr DWORD kFlags = LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING;
  const int length = static_cast<int>(Text.size());
  const int needed =
      LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, AsWide(Text), length, nullptr, 0, nullptr, nullptr, 0);
  if (needed <= 0) return std::u16string(Text);
  std::u16string result(static_cast<size_t>(needed), u'\0');
  LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, AsWide(Text), length,
                reinterpret_cast<wchar_t*>(result.data()), needed, nullptr, nullptr, 0);
  return result;
}

}  // namespace brv::platform
