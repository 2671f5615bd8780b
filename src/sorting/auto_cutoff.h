// The arithmetic of the add-in's automatic clean-up: how long it waits after start-up, and
// which mail is old enough for it to move.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/outlook.h"

namespace swo {

// How many delay units the automatic clean-up waits for a draw of 0..4: 1 for 0 and 1, else the
// draw. With 30-second units: 30 s twice as often as 60, 90 or 120 s.
int32_t AutoCleanUpDelayUnits(int32_t Draw);

// The days of the setting "Auto.Filter": a signed decimal integer. Empty or other text raises
// EConvertError naming the setting.
int32_t AutoFilterDays(std::u16string_view Text);

// The newest received time the automatic clean-up moves: Now (local, an OLE date) moved back by
// Days whole days of 24 hours, cut to midnight at the start of that day. Negative days move the
// cut-off into the future.
outlook::TOleDate AutoCleanUpCutOff(outlook::TOleDate Now, int32_t Days);

}  // namespace swo
