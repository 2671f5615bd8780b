#include "platform/path.h"

#include "foundation/exception.h"
#include "platform/environment.h"

namespace brv {

namespace {
constexpr uint32_t kErrorFilenameExcedRange = 206;
}

std::u16string ExpandEnvironmentPath(std::u16string_view Path) {
  std::u16string expanded = platform::ExpandEnvironmentText(Path);
  if (expanded.size() > kMaxExpandedPath)
    throw EbrvObject(ResultFromOsError(kErrorFilenameExcedRange),
                     EbrvObject::ErrorMessage(ResultFromOsError(kErrorFilenameExcedRange)) + u": " +
                         expanded);
  return expanded;
}

}  // namespace brv
