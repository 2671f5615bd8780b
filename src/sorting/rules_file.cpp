#include "sorting/rules_file.h"

#include "platform/path.h"

namespace swo {

std::u16string RulesFileName(const std::u16string& Profile) {
  // The profile goes in after the expansion, and by concatenation: formatting the expanded
  // path would read a "%" of the user's folder as a directive.
  return brv::ExpandEnvironmentPath(u"%AppData%\\Brevanta\\Sortwise\\") + Profile + u".xml";
}

}  // namespace swo
