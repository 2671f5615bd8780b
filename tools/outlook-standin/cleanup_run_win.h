// One clean-up run through COM: the rules of a configuration file, Outlook found as the add-in's
// sorter finds it (the running object, bound late), and the run's ERROR lines printed.
#pragma once

#include <string>

namespace standin {

// Returns 0 when the run ended normally, 1 when an error ended it (printed as "error ...").
int RunCleanUp(const std::u16string& ConfigFile);

}  // namespace standin
