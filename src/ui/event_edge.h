// Where the windows' event handlers meet the window framework. A view calls every presenter
// handler through HandleEvent: an error the handler raises does not leave the window procedure
// but is shown in an error message box, and the window stays open with whatever the handler did
// before the error.
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace swo {

// What every window can show: an error message box (error icon, OK button, captioned with the
// application title).
class TErrorView {
 public:
  virtual ~TErrorView() = default;
  // Shows Text in the error message box and returns when the user has closed it.
  virtual void ShowError(std::u16string_view Text) = 0;
};

// The text of the box for an error message: the message with a full stop appended when its last
// character's code is above that of "." (so "Failed" gets one, "Done." or "(x)" do not).
std::u16string ErrorBoxText(std::u16string_view Message);

// The message of a raised error: a brv::Exception's own, "Out of memory" for std::bad_alloc,
// the UTF-8 text of any other std::exception, "Unexpected error" for anything else.
std::u16string ErrorMessageOf(const std::exception_ptr& Error);

// Shows Error in View's error box; the silent abort (brv::EbrvAbort) shows nothing. Never raises:
// a box that cannot be shown is dropped.
void ShowHandlerError(TErrorView& View, const std::exception_ptr& Error) noexcept;

// Runs Handler; whatever it raises goes to ShowHandlerError. True when it ended without error.
template <class F>
bool HandleEvent(TErrorView& View, F&& Handler) noexcept {
  try {
    std::forward<F>(Handler)();
    return true;
  } catch (...) {
    ShowHandlerError(View, std::current_exception());
    return false;
  }
}

}  // namespace swo
