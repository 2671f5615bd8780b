// The calling thread's current COM error object, reduced to what this system uses of it:
// its description.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brv::os {

// Creates an error object with this description (no source, GUID or help) and makes it the
// thread's current one. Returns false, changing nothing, when no object can be created.
bool SetThreadErrorDescription(std::u16string_view Description);

// The description of the thread's current error object, if there is one; taking it clears it.
std::optional<std::u16string> TakeThreadErrorDescription();

}  // namespace brv::os
