// The error types. Every error raised with a result code is an EbrvObject or a descendant;
// Check turns a failing code into an exception, HandleSafeCallException turns an exception that
// reaches a COM caller back into a code plus the thread's COM error object.
//
// Class-level operations are static members reached through the type they are called on
// (ESortwise::Check(hr) raises ESortwise). A descendant replaces one by declaring its own static
// of the same name: TbrvErrorClass calls them through Self.
#pragma once

#include <concepts>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "foundation/result.h"

namespace brv {

// The base exception type: an exception that carries a message text.
class Exception : public std::exception {
 public:
  explicit Exception(std::u16string Message);
  const std::u16string& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FMessageUtf8.c_str(); }

 private:
  std::u16string FMessage;
  std::string FMessageUtf8;
};

// The run-time kinds that have their own result code at a COM boundary.
class EbrvAbort : public Exception {  // the silent abort
 public:
  EbrvAbort();
};
class EbrvIntfCast : public Exception {  // an object asked for an interface it does not support
 public:
  explicit EbrvIntfCast(std::u16string Message = u"Interface not supported");
};
class EbrvNotImplemented : public Exception {  // not implemented, or an abstract operation
 public:
  explicit EbrvNotImplemented(std::u16string Message = u"Feature not implemented");
};

// Tags the constructors that take a finished message.
struct TbrvMessageMade {};

// Holds the code and the class-level operations that no descendant replaces.
class TbrvErrorBase : public Exception {
 public:
  TbrvResult ErrorCode() const noexcept { return FErrorCode; }

  // The system's text for Status without trailing blanks, control characters or full stops;
  // empty when the system has none.
  static std::u16string ErrorMessage(TbrvResult Status);
  static bool IsFailed(TbrvResult Status) { return Status < 0; }
  // False for 0 and for the invalid-handle value (all bits set).
  static bool IsHandle(uintptr_t hObject) { return hObject != 0 && hObject != ~uintptr_t{0}; }
  // Makes the thread's COM error object: its description is E's message, or
  // ErrorMessage(Status) when E is not an exception object. Never fails outward: when the text
  // cannot be made, the object goes out without a description.
  static void PublishError(const std::exception* E, TbrvResult Status) noexcept;

  // PublishError of this exception's own type; a replacement that throws is answered as above.
  virtual void Publish(TbrvResult Status) const noexcept = 0;

 protected:
  TbrvErrorBase(TbrvMessageMade, TbrvResult ErrorCode, std::u16string Message)
      : Exception(std::move(Message)), FErrorCode(ErrorCode) {}

  static std::u16string MessageOrDefault(TbrvResult ErrorCode, std::u16string_view Msg,
                                         std::u16string SystemText);
  static uint32_t LastOsError();
  static std::u16string TakeErrorDescription();
  // Replaces the thread's error object by one without a description; allocates nothing itself,
  // so it is what is left to do when publishing ran out of memory.
  static void PublishWithoutDescription() noexcept;

 private:
  TbrvResult FErrorCode;
};

// The class-level operations that act for, and raise, the type Self.
template <class Self, class Base>
class TbrvErrorClass : public Base {
 public:
  // Create: an empty Msg becomes Self::ErrorMessage(ErrorCode), or "0x" and eight hex digits.
  TbrvErrorClass(TbrvResult ErrorCode, std::u16string_view Msg = {})
      : Base(TbrvMessageMade{}, ErrorCode,
             Base::MessageOrDefault(ErrorCode, Msg, Msg.empty() ? Self::ErrorMessage(ErrorCode) : u"")) {}

  static bool IsSucceeded(TbrvResult Status) { return !Self::IsFailed(Status); }

  // Raises Self for a failing code and returns any other code unchanged.
  static TbrvResult Check(TbrvResult S) {
    if (Self::IsFailed(S)) Self::RaiseError(S);
    return S;
  }
  // An operating-system error code: converted, then checked as above.
  static TbrvResult Check(TbrvOsError S) { return Check(ResultFromOsError(S.Code)); }
  // False raises with the thread's converted last error, also when that is 0. Only a real bool
  // chooses this form: a Windows BOOL must be compared (Check(ok != FALSE)).
  template <class B>
    requires std::same_as<B, bool>
  static TbrvResult Check(B S) {
    if (!S) Self::RaiseError(ResultFromOsError(Base::LastOsError()));
    return 0;
  }
  static uintptr_t CheckHandle(uintptr_t hObject) {
    if (!Self::IsHandle(hObject)) Self::RaiseError(ResultFromOsError(Base::LastOsError()));
    return hObject;
  }

  // The abort code raises the silent abort; any other code raises Self with the description of
  // the thread's COM error object (which is consumed), or the system text when there is none.
  [[noreturn]] static void RaiseError(TbrvResult Status) {
    if (Status == kAbortCode) throw EbrvAbort();
    throw Self(Status, Base::TakeErrorDescription());
  }

  void Publish(TbrvResult Status) const noexcept override {
    try {
      Self::PublishError(this, Status);
    } catch (...) {
      Base::PublishWithoutDescription();
    }
  }

 protected:
  TbrvErrorClass(TbrvMessageMade, TbrvResult ErrorCode, std::u16string Message)
      : Base(TbrvMessageMade{}, ErrorCode, std::move(Message)) {}
};

class EbrvObject : public TbrvErrorClass<EbrvObject, TbrvErrorBase> {
 public:
  using TbrvErrorClass::TbrvErrorClass;
};
class EbrvComObject : public TbrvErrorClass<EbrvComObject, EbrvObject> {
 public:
  using TbrvErrorClass::TbrvErrorClass;
};
class EbrvComFactory : public TbrvErrorClass<EbrvComFactory, EbrvComObject> {
 public:
  using TbrvErrorClass::TbrvErrorClass;
};
class EbrvList : public TbrvErrorClass<EbrvList, EbrvObject> {
 public:
  using TbrvErrorClass::TbrvErrorClass;
};

// The exception-to-result rule for an exception that reaches a COM caller: the code of its kind
// (E_UNEXPECTED for all others, an EbrvObject's own code), with the thread's COM error object
// set by the publishing type. Call it from a catch (...) block, or hand it the exception. It
// never throws, so a COM method's catch handler can always return what it gives.
TbrvResult HandleSafeCallException(std::exception_ptr ExceptObject) noexcept;
TbrvResult HandleSafeCallException() noexcept;

}  // namespace brv
