#include "platform/number_format.h"

namespace brv::platform {

// The portable build has no user locale: numbers read as in the "C" locale.
std::u16string LocaleDecimalSeparator() { return u"."; }

}  // namespace brv::platform
