// What the ribbon model needs of the host's side of a callback, in portable form: the host's
// ribbon object, a callback argument, and the value a callback returns. The Windows side wraps
// IRibbonUI, VARIANT and IPictureDisp in them (callback_win.h).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "foundation/result.h"

namespace brv {

// DISP_E_BADPARAMCOUNT: a callback came without the argument it needs.
inline constexpr TbrvResult kDISP_E_BADPARAMCOUNT = static_cast<TbrvResult>(0x8002000E);

// The host's ribbon object.
class TbrvRibbon {
 public:
  virtual ~TbrvRibbon() = default;
  // Asks the host for every callback value again; a failure raises.
  virtual void Invalidate() = 0;
};

// A picture for the host (an IPictureDisp on Windows).
class TbrvPicture {
 public:
  virtual ~TbrvPicture() = default;
};
using TbrvPictureRef = std::shared_ptr<TbrvPicture>;

// A callback's result: empty, text (VT_BSTR), a Boolean (VT_BOOL) or a picture (VT_DISPATCH;
// a null reference when no picture could be made).
using TbrvCallbackResult = std::variant<std::monostate, std::u16string, bool, TbrvPictureRef>;

// One argument of a callback as the dispatch reads it.
class TbrvCallbackArgument {
 public:
  virtual ~TbrvCallbackArgument() = default;
  // The argument as the host's ribbon; null for a null argument. Raises EbrvIntfCast when it is
  // an object without the ribbon interface.
  virtual std::shared_ptr<TbrvRibbon> AsRibbon() const = 0;
  // The id of the control the argument is; nothing for a null argument. Raises EbrvIntfCast
  // when it is no control, and the control's own failure when its id cannot be read.
  virtual std::optional<std::u16string> ControlId() const = 0;
};

// A callback's arguments in declaration order: the first declared argument first.
using TbrvCallbackParameters = std::vector<std::unique_ptr<TbrvCallbackArgument>>;

}  // namespace brv
