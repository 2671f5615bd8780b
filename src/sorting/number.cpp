#include "sorting/number.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

#include "foundation/text.h"

namespace swo {

std::optional<double> TextToNumber(std::u16string_view Text, std::u16string_view DecimalSeparator) {
  const std::u16string_view text = brv::Trim(Text);
  // Rewritten as the plain ASCII form that from_chars reads.
  std::string ascii;
  size_t i = 0;
  auto digits = [&] {
    const size_t start = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ascii += static_cast<char>(text[i++]);
    return i - start;
  };
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    if (text[i] == u'-') ascii += '-';
    ++i;
  }
  size_t mantissa = digits();
  if (!DecimalSeparator.empty() && text.substr(i, DecimalSeparator.size()) == DecimalSeparator) {
    i += DecimalSeparator.size();
    ascii += '.';
    mantissa += digits();
  }
  if (mantissa == 0) return std::nullopt;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    ascii += 'e';
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ascii += static_cast<char>(text[i++]);
    if (digits() == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (error != std::errc() || end != ascii.data() + ascii.size()) return std::nullopt;
  return value;
}

std::optional<int32_t> TextToInteger(std::u16string_view Text) {
  bool negative = false;
  if (!Text.empty() && (Text.front() == u'+' || Text.front() == u'-')) {
    negative = Text.front() == u'-';
    Text.remove_prefix(1);
  }
  if (Text.empty()) return std::nullopt;
  // One beyond the largest magnitude: the negative side reaches it.
  const int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + (negative ? 1 : 0);
  int64_t value = 0;
  for (const char16_t c : Text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
    if (value > limit) return std::nullopt;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace swo
