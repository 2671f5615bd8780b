// What the windows share with the host that shows them: the application title that captions
// their message boxes, and the text of an error box.
#pragma once

#include <string>
#include <string_view>

namespace swo {

// The application title (the add-in sets it at start-up); empty until set.
const std::u16string& ApplicationTitle();
void SetApplicationTitle(std::u16string Title);

// The text of the message box that reports an error: the error's message, with a full stop
// appended when its last character's code is above that of "." (so "?" gains one, ")" not).
std::u16string ErrorBoxText(std::u16string_view Message);

}  // namespace swo
