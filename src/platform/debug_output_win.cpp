#include <windows.h>

#include "platform/debug_output.h"
#include "platform/wide_win.h"

namespace brv::platform {

void WriteDebugChannel(std::u16string_view Line) {
  const std::u16string text(Line);
  OutputDebugStringW(WideCStr(text));
}

}  // namespace brv::platform
