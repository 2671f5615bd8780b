// What the windows share with the host that shows them: the application title that captions
// the main window and every message box.
#pragma once

#include <string>

namespace swo {

// The application title (the add-in sets it at start-up); empty until set.
const std::u16string& ApplicationTitle();
void SetApplicationTitle(std::u16string Title);

}  // namespace swo
