#include "foundation/object.h"

#include "foundation/exception.h"

namespace brv {

TbrvResult TbrvObject::SafeCallException(std::exception_ptr ExceptObject) noexcept {
  return HandleSafeCallException(ExceptObject);
}

}  // namespace brv
