// A per-thread slot standing in for COM's current error object.
#include "os/error_info.h"

namespace brv::os {

namespace {
thread_local std::optional<std::u16string> currentDescription;
}

bool SetThreadErrorDescription(std::u16string_view Description) {
  currentDescription.emplace(Description);
  return true;
}

std::optional<std::u16string> TakeThreadErrorDescription() {
  std::optional<std::u16string> taken;
  taken.swap(currentDescription);
  return taken;
}

}  // namespace brv::os
