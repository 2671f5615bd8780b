// The user's number format, as far as the portable core reads numbers.
#pragma once

#include <string>

namespace brv::platform {

// The user's decimal separator: GetLocaleInfoEx(LOCALE_SDECIMAL) of the user's default locale
// on Windows ("." if the system gives none); "." on the portable side.
std::u16string LocaleDecimalSeparator();

}  // namespace brv::platform
