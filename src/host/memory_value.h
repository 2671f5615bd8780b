// Typed property values of the substitute store and their fixed text forms. Outlook renders
// numbers and dates in the user's locale; the store renders them the same way everywhere so
// that tests and mailbox files do not depend on the machine:
//   text     as it is
//   integer  decimal, "-" for negatives                      42, -7
//   double   shortest form that reads back exactly, "." point 0.5, 1e+20
//   boolean  "True" or "False"
//   date     "YYYY-MM-DD", or "YYYY-MM-DD hh:mm:ss" when it has a time of day (whole seconds)
//   null     no text: converting it raises a type-mismatch error
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "foundation/result.h"
#include "host/outlook.h"

namespace outlook {

// DISP_E_TYPEMISMATCH: what converting a null variant to text answers.
inline constexpr brv::TbrvResult kDISP_E_TYPEMISMATCH = static_cast<brv::TbrvResult>(0x80020005);

// A property value as Outlook's variant would carry it.
class TMemoryValue {
 public:
  enum class TType : uint8_t { Null, Text, Integer, Double, Boolean, Date };

  // The null value.
  TMemoryValue() = default;
  static TMemoryValue Text(std::u16string Value) { return TMemoryValue(std::move(Value)); }
  static TMemoryValue Integer(int64_t Value) { return TMemoryValue(Value); }
  static TMemoryValue Double(double Value) { return TMemoryValue(Value); }
  static TMemoryValue Boolean(bool Value) { return TMemoryValue(Value); }
  static TMemoryValue Date(TOleDate Value) { return TMemoryValue(TDate{Value}); }

  TType Type() const { return static_cast<TType>(FValue.index()); }
  bool IsNull() const { return Type() == TType::Null; }

  // The value in its fixed text form (see above); raises EbrvObject with kDISP_E_TYPEMISMATCH
  // for null, naming Name in the message.
  std::u16string ToText(std::u16string_view Name = {}) const;

  bool operator==(const TMemoryValue&) const = default;

 private:
  struct TDate {
    TOleDate Value;
    bool operator==(const TDate&) const = default;
  };
  explicit TMemoryValue(std::u16string V) : FValue(std::move(V)) {}
  explicit TMemoryValue(int64_t V) : FValue(V) {}
  explicit TMemoryValue(double V) : FValue(V) {}
  explicit TMemoryValue(bool V) : FValue(V) {}
  explicit TMemoryValue(TDate V) : FValue(V) {}

  std::variant<std::monostate, std::u16string, int64_t, double, bool, TDate> FValue;
};

// The name of a type as mailbox files write it: "null", "text", "integer", "double",
// "boolean", "date".
std::u16string_view ValueTypeName(TMemoryValue::TType Type);
// The type of that name; nullopt for an unknown name.
std::optional<TMemoryValue::TType> ValueTypeFromName(std::u16string_view Name);
// Reads Text written in Type's fixed form; nullopt when it is not one ("True"/"False" only,
// any letter case, for booleans). Null takes no text.
std::optional<TMemoryValue> ParseValue(TMemoryValue::TType Type, std::u16string_view Text);

// An OLE date in the fixed form: "YYYY-MM-DD", with " hh:mm:ss" when the time is not midnight.
// Times are rounded to whole seconds.
std::u16string FormatOleDate(TOleDate Value);
// Reads "YYYY-MM-DD" or "YYYY-MM-DD hh:mm:ss" (a "T" may stand for the blank), years 100 to
// 9999; nullopt for anything else or an impossible date.
std::optional<TOleDate> ParseOleDate(std::u16string_view Text);

}  // namespace outlook
