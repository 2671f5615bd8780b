#include <windows.h>

#include "platform/number_format.h"
#include "platform/wide_win.h"

namespace brv::platform {

std::u16string LocaleDecimalSeparator() {
  wchar_t buffer[8] = {};  // LOCALE_SDECIMAL holds at most four characters with the terminator
  const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8);
  if (length <= 1) return u".";
  return FromWide(buffer, static_cast<size_t>(length - 1));
}

}  // namespace brv::platform
