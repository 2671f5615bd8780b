// The names of the temporary files WriteFileReplacing writes beside its target:
// "<target>.<process id>-<n>.sortwise-tmp". A process killed while saving leaves one behind; the
// name says which target and which process it belongs to, so a later save of the same target can
// tell it from one that is still being written, and remove it. Internal to the file seam; both
// sides use it with their own characters (bytes natively, UTF-16 on Windows).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brv::platform::file_detail {

// The file name of the N-th temporary file of process Pid for Target (a name or a path).
template <class Char>
std::basic_string<Char> TempFileName(std::basic_string_view<Char> Target, uint64_t Pid, uint64_t N) {
  std::string middle(".");
  middle += std::to_string(Pid);
  middle += '-';
  middle += std::to_string(N);
  middle += ".sortwise-tmp";
  std::basic_string<Char> name(Target);
  for (const char c : middle) name += static_cast<Char>(c);
  return name;
}

// The process id in Name when Name (a file name without folder) is a temporary file of the
// target named TargetName (without folder); nothing otherwise. SameTarget(A, B) compares two
// target names as the file system does.
template <class Char, class Same>
std::optional<uint64_t> TempFileOwner(std::basic_string_view<Char> Name,
                                      std::basic_string_view<Char> TargetName, Same&& SameTarget) {
  constexpr std::string_view kSuffix = ".sortwise-tmp";
  if (Name.size() < TargetName.size() + 4 + kSuffix.size()) return std::nullopt;  // ".1-1" at least
  if (!SameTarget(Name.substr(0, TargetName.size()), TargetName)) return std::nullopt;
  const std::basic_string<Char> suffix(kSuffix.begin(), kSuffix.end());
  if (!SameTarget(Name.substr(Name.size() - kSuffix.size()), std::basic_string_view<Char>(suffix)))
    return std::nullopt;
  std::basic_string_view<Char> middle =
      Name.substr(TargetName.size(), Name.size() - TargetName.size() - kSuffix.size());
  if (middle.front() != '.') return std::nullopt;
  middle.remove_prefix(1);
  // Two decimal numbers of at most 19 digits (no overflow), joined by "-".
  uint64_t numbers[2] = {0, 0};
  for (uint64_t& number : numbers) {
    size_t digits = 0;
    while (digits < middle.size() && middle[digits] >= '0' && middle[digits] <= '9') {
      number = number * 10 + static_cast<uint64_t>(middle[digits] - '0');
      if (++digits > 19) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    middle.remove_prefix(digits);
    if (&number == &numbers[0]) {
      if (middle.empty() || middle.front() != '-') return std::nullopt;
      middle.remove_prefix(1);
    }
  }
  if (!middle.empty()) return std::nullopt;
  return numbers[0];
}

}  // namespace brv::platform::file_detail
