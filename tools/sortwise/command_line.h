// Arguments and output of the sortwise tool: UTF-16 arguments on every platform, UTF-8 output.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sortwise_tool {

// The usage error of a command: exit code 2 with the message and a pointer to --help.
struct TUsageError {
  std::u16string Message;
};

// Writes Text as UTF-8 to standard output / standard error, followed by a line break.
void PrintLine(std::u16string_view Text);
void PrintErrorLine(std::u16string_view Text);
// Flushes standard output: empty when everything printed reached it, else the reason it did
// not (a full disk, a closed pipe).
std::u16string FinishOutput();

// Text as a message quotes it: at most Limit characters, longer text cut with an ellipsis,
// control characters replaced by Control.
std::u16string Shortened(std::u16string_view Text, size_t Limit, char16_t Control);
// Value in decimal digits.
std::u16string Decimal(int64_t Value);

// Text from the command line as a message quotes it: control characters as "?", at most 60
// characters, longer text cut with an ellipsis.
std::u16string Clipped(std::u16string_view Text);

// The options of one command: flags ("--dry-run"), options with a value ("--save FILE") and
// positional arguments, in any order. Unknown and repeated options, and an option without a
// value (none, an empty one, or another option in its place) raise TUsageError.
class TArguments {
 public:
  TArguments(std::vector<std::u16string> Args, std::vector<std::u16string_view> Flags,
             std::vector<std::u16string_view> Options);
  bool Has(std::u16string_view Flag) const;
  // The option's value; empty when it was not given.
  std::u16string Value(std::u16string_view Option) const;
  const std::vector<std::u16string>& Positional() const { return FPositional; }

 private:
  std::vector<std::u16string> FFlags;
  std::vector<std::pair<std::u16string, std::u16string>> FOptions;
  std::vector<std::u16string> FPositional;
};

}  // namespace sortwise_tool
