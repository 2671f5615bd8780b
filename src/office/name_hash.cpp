#include "office/name_hash.h"

#include "platform/locale.h"

namespace brv {

int32_t NameHash(std::u16string_view Name) {
  uint32_t h = 0;
  for (const char16_t c : platform::LocaleUpperCase(Name)) h = ((h << 5) | (h >> 27)) ^ c;
  return static_cast<int32_t>(h);
}

}  // namespace brv
