// The DISPID of a ribbon callback name: a rotate-left-5/XOR hash of the name upper-cased in the
// user's locale, so callback names are case-insensitive and need no name table.
#pragma once

#include <cstdint>
#include <string_view>

namespace brv {

int32_t NameHash(std::u16string_view Name);

}  // namespace brv
