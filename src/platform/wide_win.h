// Where portable UTF-16 text meets the Windows wide-character API (os/, which includes nothing
// of ours, makes the same casts itself). wchar_t is 16 bits on Windows, so the conversion is a
// cast.
#pragma once

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the Windows wide API uses UTF-16");

namespace brv::platform {

// A NUL-terminated wide string that lives as long as Text.
inline const wchar_t* WideCStr(const std::u16string& Text) {
  return reinterpret_cast<const wchar_t*>(Text.c_str());
}

inline std::u16string FromWide(const wchar_t* Text, size_t Length) {
  return std::u16string(reinterpret_cast<const char16_t*>(Text), Length);
}

inline std::u16string FromWide(const wchar_t* Text) {
  return Text == nullptr ? std::u16string() : FromWide(Text, std::char_traits<wchar_t>::length(Text));
}

}  // namespace brv::platform
