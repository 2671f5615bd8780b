// %NAME% expansion from the process environment, by the rules of ExpandEnvironmentStringsW.
#include <cstdlib>

#include "foundation/text.h"
#include "platform/environment.h"

namespace brv::platform {

std::u16string ExpandEnvironmentText(std::u16string_view Text) {
  std::u16string result;
  size_t pos = 0;
  while (pos < Text.size()) {
    const size_t open = Text.find(u'%', pos);
    if (open == std::u16string_view::npos) break;
    const size_t close = Text.find(u'%', open + 1);
    if (close == std::u16string_view::npos) break;
    const std::u16string_view name = Text.substr(open + 1, close - open - 1);
    const char* value = name.empty() ? nullptr : std::getenv(Utf16ToUtf8(name).c_str());
    result.append(Text.substr(pos, open - pos));
    if (value != nullptr) {
      result += Utf8ToUtf16(value);
      pos = close + 1;
    } else {
      // Not a reference: keep the first % and look for one starting at the second.
      result += u'%';
      pos = open + 1;
      result.append(Text.substr(pos, close - pos));
      pos = close;
    }
  }
  result.append(Text.substr(pos));
  return result;
}

void SetEnvironmentText(std::u16string_view Name, std::u16string_view Value) {
  const std::string name = Utf16ToUtf8(Name);
  if (Value.empty())
    unsetenv(name.c_str());
  else
    setenv(name.c_str(), Utf16ToUtf8(Value).c_str(), 1);
}

}  // namespace brv::platform
