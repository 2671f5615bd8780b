#include "command_line.h"

#include <algorithm>
#include <cstdio>

#include "foundation/text.h"

namespace sortwise_tool {

void PrintLine(std::u16string_view Text) {
  std::fputs((brv::Utf16ToUtf8(Text) + "\n").c_str(), stdout);
}

void PrintErrorLine(std::u16string_view Text) {
  std::fflush(stdout);
  std::fputs((brv::Utf16ToUtf8(Text) + "\n").c_str(), stderr);
}

TArguments::TArguments(std::vector<std::u16string> Args, std::vector<std::u16string_view> Flags,
                       std::vector<std::u16string_view> Options) {
  const auto contains = [](const auto& names, std::u16string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::u16string& arg = Args[i];
    if (!arg.starts_with(u"--") || arg == u"--") {
      FPositional.push_back(arg);
    } else if (contains(Flags, arg)) {
      FFlags.push_back(arg);
    } else if (contains(Options, arg)) {
      if (i + 1 == Args.size()) throw TUsageError{u"option " + arg + u" needs a value"};
      FOptions.emplace_back(arg, Args[++i]);
    } else {
      throw TUsageError{u"unknown option " + arg};
    }
  }
}

bool TArguments::Has(std::u16string_view Flag) const {
  return std::find(FFlags.begin(), FFlags.end(), Flag) != FFlags.end();
}

std::u16string TArguments::Value(std::u16string_view Option) const {
  for (const auto& [name, value] : FOptions)
    if (name == Option) return value;
  return {};
}

}  // namespace sortwise_tool
