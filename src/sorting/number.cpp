#include "sorting/number.h"

#include <charconv>
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

}  // namespace swo
