// The commands of the sortwise tool. Each returns the exit code: 0 all well, 1 the run had
// failed mails / the check found problems; errors of input and usage are raised (main turns
// them into exit code 2).
#pragma once

#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace sortwise_tool {

// The options of each command that take a value: what follows one of them is its value, also
// when it reads "--help".
inline constexpr std::u16string_view kRunValueOptions[] = {u"--mailbox", u"--config", u"--profile", u"--save",
                                                           u"--log"};
inline constexpr std::u16string_view kCheckValueOptions[] = {u"--normalize", u"--config", u"--profile"};
inline constexpr std::u16string_view kUndoValueOptions[] = {u"--log", u"--mailbox", u"--save"};

int RunCommand(const std::vector<std::u16string>& Args);
int CheckCommand(const std::vector<std::u16string>& Args);
int UndoCommand(const std::vector<std::u16string>& Args);

extern const char16_t kRunHelp[];
extern const char16_t kCheckHelp[];
extern const char16_t kUndoHelp[];

}  // namespace sortwise_tool
