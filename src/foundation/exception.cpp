#include "foundation/exception.h"

#include <new>

#include "foundation/text.h"
#include "os/error_info.h"
#include "os/os_error.h"

namespace brv {

Exception::Exception(std::u16string Message)
    : FMessage(std::move(Message)), FMessageUtf8(Utf16ToUtf8(FMessage)) {}

EbrvAbort::EbrvAbort() : Exception(u"Operation aborted") {}
EbrvIntfCast::EbrvIntfCast(std::u16string Message) : Exception(std::move(Message)) {}
EbrvNotImplemented::EbrvNotImplemented(std::u16string Message) : Exception(std::move(Message)) {}

std::u16string TbrvErrorBase::ErrorMessage(TbrvResult Status) {
  std::u16string text = os::SystemMessageText(Status);
  while (!text.empty() && (text.back() <= u' ' || text.back() == u'.')) text.pop_back();
  return text;
}

void TbrvErrorBase::PublishError(const std::exception* E, TbrvResult Status) noexcept {
  try {
    std::u16string text;
    if (E == nullptr)
      text = ErrorMessage(Status);
    else if (const auto* own = dynamic_cast<const Exception*>(E))
      text = own->Message();
    else
      text = Utf8ToUtf16(E->what());
    os::SetThreadErrorDescription(text);
  } catch (...) {
    PublishWithoutDescription();
  }
}

void TbrvErrorBase::PublishWithoutDescription() noexcept {
  // An empty text fits the string's own buffer; only the COM runtime allocates, and it reports
  // failure by its result.
  try {
    os::SetThreadErrorDescription({});
  } catch (...) {
  }
}

std::u16string TbrvErrorBase::MessageOrDefault(TbrvResult ErrorCode, std::u16string_view Msg,
                                               std::u16string SystemText) {
  if (!Msg.empty()) return std::u16string(Msg);
  if (!SystemText.empty()) return SystemText;
  return HexCode(static_cast<uint32_t>(ErrorCode));
}

uint32_t TbrvErrorBase::LastOsError() { return os::GetLastOsError(); }

std::u16string TbrvErrorBase::TakeErrorDescription() {
  return os::TakeThreadErrorDescription().value_or(std::u16string());
}

TbrvResult HandleSafeCallException(std::exception_ptr ExceptObject) noexcept {
  // Publishes with EbrvObject's rules unless the exception is an EbrvObject of its own.
  const auto publish = [](const std::exception* E, TbrvResult Result) {
    EbrvObject::PublishError(E, Result);
    return Result;
  };
  try {
    std::rethrow_exception(ExceptObject);
  } catch (const EbrvObject& e) {
    e.Publish(e.ErrorCode());
    return e.ErrorCode();
  } catch (const EbrvAbort& e) {
    return publish(&e, kAbortCode);
  } catch (const EbrvNotImplemented& e) {
    return publish(&e, kE_NOTIMPL);
  } catch (const EbrvIntfCast& e) {
    return publish(&e, kE_NOINTERFACE);
  } catch (const std::bad_alloc& e) {
    return publish(&e, kE_OUTOFMEMORY);
  } catch (const std::exception& e) {
    return publish(&e, kE_UNEXPECTED);
  } catch (...) {
    return publish(nullptr, kE_UNEXPECTED);
  }
}

TbrvResult HandleSafeCallException() noexcept { return HandleSafeCallException(std::current_exception()); }

}  // namespace brv
