#include "command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "foundation/text.h"

namespace sortwise_tool {

namespace {

// The first error of writing standard output (an errno value), 0 while all went well.
int outputError = 0;

void Write(std::u16string_view Text, std::FILE* Stream) {
  const std::string line = brv::Utf16ToUtf8(Text) + "\n";
  if (std::fwrite(line.data(), 1, line.size(), Stream) != line.size() && Stream == stdout && outputError == 0)
    outputError = errno != 0 ? errno : EIO;
}

// Standard output goes out first, so that the two streams read in order when they are one.
void FlushOutput() {
  if (std::fflush(stdout) != 0 && outputError == 0) outputError = errno != 0 ? errno : EIO;
}

}  // namespace

void PrintLine(std::u16string_view Text) { Write(Text, stdout); }

void PrintErrorLine(std::u16string_view Text) {
  FlushOutput();
  Write(Text, stderr);
}

std::u16string FinishOutput() {
  FlushOutput();
  if (outputError == 0 && std::ferror(stdout)) outputError = EIO;
  return outputError == 0 ? std::u16string() : brv::Utf8ToUtf16(std::strerror(outputError));
}

std::u16string Shortened(std::u16string_view Text, size_t Limit, char16_t Control) {
  std::u16string shortened;
  for (const char16_t c : Text.substr(0, Limit)) shortened += c < 0x20 ? Control : c;
  if (Text.size() > Limit) shortened += u"\u2026";
  return shortened;
}

std::u16string Decimal(int64_t Value) { return brv::Utf8ToUtf16(std::to_string(Value)); }

std::u16string Clipped(std::u16string_view Text) { return Shortened(Text, 60, u'?'); }

TArguments::TArguments(std::vector<std::u16string> Args, std::vector<std::u16string_view> Flags,
                       std::vector<std::u16string_view> Options) {
  const auto contains = [](const auto& names, std::u16string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  const auto once = [this](const std::u16string& name) {
    const bool given = Has(name) || std::any_of(FOptions.begin(), FOptions.end(),
                                                [&](const auto& option) { return option.first == name; });
    if (given) throw TUsageError{u"option " + name + u" is given more than once"};
  };
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::u16string& arg = Args[i];
    if (!arg.starts_with(u"--") || arg == u"--") {
      FPositional.push_back(arg);
    } else if (contains(Flags, arg)) {
      once(arg);
      FFlags.push_back(arg);
    } else if (contains(Options, arg)) {
      once(arg);
      if (i + 1 == Args.size()) throw TUsageError{u"option " + arg + u" needs a value"};
      const std::u16string& value = Args[++i];
      if (value.empty()) throw TUsageError{u"option " + arg + u" needs a value, not an empty one"};
      // "--save --dry-run": the flag was meant, the value forgotten.
      if (value.starts_with(u"--") || value == u"-h")
        throw TUsageError{u"option " + arg + u" needs a value, not the option " + Clipped(value)};
      FOptions.emplace_back(arg, value);
    } else {
      throw TUsageError{u"unknown option " + Clipped(arg)};
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
