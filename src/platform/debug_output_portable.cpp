#include <cstdio>

#include "foundation/text.h"
#include "platform/debug_output.h"

namespace brv::platform {

void WriteDebugChannel(std::u16string_view Line) {
  const std::string text = Utf16ToUtf8(Line);
  std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace brv::platform
