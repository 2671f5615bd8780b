// The commands of the sortwise tool. Each returns the exit code: 0 all well, 1 the run had
// failed mails / the check found problems; errors of input and usage are raised (main turns
// them into exit code 2).
#pragma once

#include <string>
#include <vector>

namespace sortwise_tool {

int RunCommand(const std::vector<std::u16string>& Args);
int CheckCommand(const std::vector<std::u16string>& Args);

extern const char16_t kRunHelp[];
extern const char16_t kCheckHelp[];

}  // namespace sortwise_tool
