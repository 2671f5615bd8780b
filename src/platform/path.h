// Paths built from environment references.
#pragma once

#include <string>
#include <string_view>

namespace brv {

// Longest expanded path ExpandEnvironmentPath returns (a 260-character buffer with its NUL).
inline constexpr size_t kMaxExpandedPath = 259;

// Replaces every %NAME% reference by the operating system's expansion. A result longer than
// kMaxExpandedPath raises EbrvObject with the code for a too-long file name: a cut-off path
// would name another file.
std::u16string ExpandEnvironmentPath(std::u16string_view Path);

}  // namespace brv
