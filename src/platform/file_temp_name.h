// The names of the temporary files WriteFileReplacing writes beside its target:
// "<target>.<process id>-<n>.sortwise-tmp". A process killed while saving leaves one behind; the
// name says which target and which process it belongs to, so a later save of the same target can
// tell it from one that is still being written, and remove it. A target whose name leaves no room
// for the rest gives only its start, as much as the longest file name holds: every name that can
// be read can be saved. Internal to the file seam; both sides use it with their own characters
// (bytes natively, UTF-16 on Windows).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brv::platform::file_detail {

// The longest file name (without folder): 255 bytes on POSIX file systems, 255 UTF-16 code units
// on NTFS.
inline constexpr size_t kMaxFileNameLength = 255;

// The file name of the N-th temporary file of process Pid for Target (a name or a path; the
// folders of a UTF-16 path end with "\\", "/" or ":").
template <class Char>
std::basic_string<Char> TempFileName(std::basic_string_view<Char> Target, uint64_t Pid, uint64_t N) {
  std::string middle(".");
  middle += std::to_string(Pid);
  middle += '-';
  middle += std::to_string(N);
  middle += ".sortwise-tmp";
  size_t start = Target.size();
  while (start > 0 && Target[start - 1] != '/' &&
         !(sizeof(Char) == 2 && (Target[start - 1] == '\\' || Target[start - 1] == ':')))
    --start;
  std::basic_string<Char> name(
      Target.substr(0, std::min(Target.size(), start + kMaxFileNameLength - middle.size())));
  // Half a surrogate pair would leave a name that is no text.
  if (name.size() < Target.size() && sizeof(Char) == 2 && name.back() >= 0xD800 && name.back() <= 0xDBFF)
    name.pop_back();
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
  if (Name.size() < kSuffix.size()) return std::nullopt;
  const std::basic_string<Char> suffix(kSuffix.begin(), kSuffix.end());
  if (!SameTarget(Name.substr(Name.size() - kSuffix.size()), std::basic_string_view<Char>(suffix)))
    return std::nullopt;
  // "<target>.<process id>-<n>", read from the end: two decimal numbers of at most 19 digits (no
  // overflow), the last one after "-", the first one after ".".
  std::basic_string_view<Char> rest = Name.substr(0, Name.size() - kSuffix.size());
  uint64_t pid = 0;
  for (const Char separator : {Char('-'), Char('.')}) {
    size_t digits = 0;
    while (digits < rest.size() && rest[rest.size() - 1 - digits] >= '0' &&
           rest[rest.size() - 1 - digits] <= '9')
      if (++digits > 19) return std::nullopt;
    if (digits == 0 || digits == rest.size() || rest[rest.size() - 1 - digits] != separator)
      return std::nullopt;
    pid = 0;
    for (size_t i = rest.size() - digits; i < rest.size(); ++i)
      pid = pid * 10 + static_cast<uint64_t>(rest[i] - '0');
    rest.remove_suffix(digits + 1);
  }
  if (rest.size() == TargetName.size())
    return SameTarget(rest, TargetName) ? std::optional(pid) : std::nullopt;
  // The start of the target's name, when the whole name would have been too long.
  const size_t tail = Name.size() - rest.size();
  const bool cut = rest.size() < TargetName.size() && TargetName.size() + tail > kMaxFileNameLength &&
                   Name.size() + 1 >= kMaxFileNameLength;
  if (cut && SameTarget(rest, TargetName.substr(0, rest.size()))) return pid;
  return std::nullopt;
}

}  // namespace brv::platform::file_detail
