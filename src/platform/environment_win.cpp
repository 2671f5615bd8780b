#include <windows.h>

#include "platform/environment.h"
#include "platform/wide_win.h"

namespace brv::platform {

std::u16string ExpandEnvironmentText(std::u16string_view Text) {
  const std::u16string source(Text);
  std::u16string buffer(std::max<size_t>(source.size() + 1, 260), u'\0');
  for (;;) {
    const DWORD needed = ExpandEnvironmentStringsW(
        WideCStr(source), reinterpret_cast<wchar_t*>(buffer.data()), static_cast<DWORD>(buffer.size()));
    if (needed == 0) return source;
    if (needed <= buffer.size()) {
      buffer.resize(needed - 1);
      return buffer;
    }
    buffer.assign(needed, u'\0');
  }
}

void SetEnvironmentText(std::u16string_view Name, std::u16string_view Value) {
  const std::u16string name(Name), value(Value);
  SetEnvironmentVariableW(WideCStr(name), value.empty() ? nullptr : WideCStr(value));
}

}  // namespace brv::platform
