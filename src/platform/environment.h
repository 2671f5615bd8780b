// The process environment as the operating system expands it.
#pragma once

#include <string>
#include <string_view>

namespace brv::platform {

// Replaces every %NAME% whose variable is set by its value; references to unset variables and
// a lone % stay as they are (ExpandEnvironmentStringsW's rules).
std::u16string ExpandEnvironmentText(std::u16string_view Text);

// Sets (or, with an empty value, removes) a variable of this process.
void SetEnvironmentText(std::u16string_view Name, std::u16string_view Value);

}  // namespace brv::platform
