// Late-bound calls and the conversions of their results, for the IDispatch adapter of
// outlook.h. Internal to outlook_dispatch*.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "com/com_ptr.h"
#include "com/variant.h"
#include "host/outlook.h"

namespace outlook::dispatch {

// The kinds of object whose member ids are remembered. Items of unknown kind are not: a
// meeting request need not number its members as a mail does.
enum class TKind : uint8_t {
  Application,
  NameSpace,
  Folder,
  Items,
  MailItem,
  AddressEntry,
  ExchangeUser,
  UserProperties,
  UserProperty,
};
inline constexpr size_t kKindCount = static_cast<size_t>(TKind::UserProperty) + 1;

// The member ids of one application's objects. Used by the thread that uses those objects.
class TMemberIds {
 public:
  // The id of Name on Object, which is of Kind; asked of Object once per kind.
  DISPID Get(IDispatch* Object, TKind Kind, std::u16string_view Name);

 private:
  std::array<std::unordered_map<std::u16string, DISPID>, kKindCount> FIds;
};

// GetIDsOfNames for one name in the user's locale; raises when Object does not know it.
DISPID LookUpMember(IDispatch* Object, std::u16string_view Name);

// Invoke with the arguments in call order. Failures raise EbrvObject: the EXCEPINFO's code
// and description for DISP_E_EXCEPTION, else the code and the thread's COM error object.
brv::TVariant Invoke(IDispatch* Object, DISPID Id, WORD Flags, std::span<brv::TVariant> Args = {});

// Arguments.
brv::TVariant TextArg(std::u16string_view Value);
brv::TVariant IntArg(int32_t Value);
brv::TVariant BoolArg(bool Value);
brv::TVariant ObjectArg(IDispatch* Value);

// Results, converted whatever type the server chose (VariantChangeTypeEx, user's locale).
// A value that does not convert raises; null never converts.
std::u16string ToText(const VARIANT& Value);
bool ToBool(const VARIANT& Value);
int32_t ToInt(const VARIANT& Value);
TOleDate ToDate(const VARIANT& Value);
// An object; Nothing (a null VT_DISPATCH, VT_EMPTY or a null VT_UNKNOWN) gives null.
brv::TComPtr<IDispatch> ToObject(const VARIANT& Value);

}  // namespace outlook::dispatch
