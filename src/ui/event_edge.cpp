#include "ui/event_edge.h"

#include <new>

#include "foundation/exception.h"
#include "foundation/text.h"

namespace swo {

namespace {

bool IsAbort(const std::exception_ptr& Error) {
  if (!Error) return false;
  try {
    std::rethrow_exception(Error);
  } catch (const brv::EbrvAbort&) {
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

std::u16string ErrorBoxText(std::u16string_view Message) {
  std::u16string text(Message);
  if (!text.empty() && text.back() > u'.') text += u'.';
  return text;
}

std::u16string ErrorMessageOf(const std::exception_ptr& Error) {
  if (!Error) return u"Unexpected error";
  try {
    std::rethrow_exception(Error);
  } catch (const brv::Exception& e) {
    return e.Message();
  } catch (const std::bad_alloc&) {
    return u"Out of memory";
  } catch (const std::exception& e) {
    return brv::Utf8ToUtf16(e.what());
  } catch (...) {
    return u"Unexpected error";
  }
}

void ShowHandlerError(TErrorView& View, const std::exception_ptr& Error) noexcept {
  try {
    if (!IsAbort(Error)) View.ShowError(ErrorBoxText(ErrorMessageOf(Error)));
  } catch (...) {
  }
}

}  // namespace swo
