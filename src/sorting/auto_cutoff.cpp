#include "sorting/auto_cutoff.h"

#include <cmath>
#include <string>

#include "sorting/number.h"
#include "sorting/sortwise.h"

namespace swo {

int32_t AutoCleanUpDelayUnits(int32_t Draw) { return Draw >= 2 ? Draw : 1; }

int32_t AutoFilterDays(std::u16string_view Text) {
  if (const std::optional<int32_t> days = TextToInteger(Text)) return *days;
  throw EConvertError(kDISP_E_TYPEMISMATCH,
                      u"The setting \"Auto.Filter\" is \"" + std::u16string(Text) + u"\", not a whole number of days");
}

outlook::TOleDate AutoCleanUpCutOff(outlook::TOleDate Now, int32_t Days) {
  // An OLE date's whole part is its day also before 1899-12-30, where the fraction still counts
  // forward from midnight: truncating towards zero finds the day's start on both sides.
  return std::trunc(Now - static_cast<double>(Days));
}

}  // namespace swo
