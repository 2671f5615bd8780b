// Where the add-in keeps a profile's rules.
#pragma once

#include <string>

namespace swo {

// "%AppData%\Brevanta\Sortwise\<Profile>.xml": the folder with the environment expanded, then
// the profile name as it is. A "%" in the expanded folder or in the name is plain text. An
// expansion longer than a path may be raises (ExpandEnvironmentPath).
std::u16string RulesFileName(const std::u16string& Profile);

}  // namespace swo
