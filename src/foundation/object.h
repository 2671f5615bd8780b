// TbrvObject: the root of the system's own classes.
#pragma once

#include <exception>

#include "foundation/result.h"

namespace brv {

class TbrvObject {
 public:
  TbrvObject() = default;
  TbrvObject(const TbrvObject&) = delete;
  TbrvObject& operator=(const TbrvObject&) = delete;
  virtual ~TbrvObject() = default;

  // The release hook: reference-counted descendants call it when their count drops to zero.
  // It destroys the object; a class whose instances are owned elsewhere replaces it.
  // (IUnknown::Release takes the plain name in the classes that implement COM interfaces.)
  virtual void ReleaseObject() { delete this; }

  // The result code and COM error object that a COM caller receives for an exception raised
  // inside one of this object's COM-visible operations. Called from their catch handlers, so
  // it never throws (and no replacement may).
  virtual TbrvResult SafeCallException(std::exception_ptr ExceptObject) noexcept;
};

}  // namespace brv
