// Reading a number from text as the settings do (TSwoConfig::GetAsBoolean).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace swo {

// The number Text stands for, or none. Accepted: blanks, an optional sign, digits with at most
// one DecimalSeparator among or after them (at least one digit in all), an optional exponent
// (e or E, an optional sign, digits), blanks. No thousands separators, no hexadecimal, no
// infinity or NaN; a value beyond the range of double is none.
std::optional<double> TextToNumber(std::u16string_view Text, std::u16string_view DecimalSeparator);

// The whole number Text stands for: an optional sign and decimal digits, nothing else, within
// the range of int32_t; otherwise none.
std::optional<int32_t> TextToInteger(std::u16string_view Text);

}  // namespace swo
