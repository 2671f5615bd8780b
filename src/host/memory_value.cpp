#include "host/memory_value.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "foundation/exception.h"
#include "foundation/text.h"

namespace outlook {
namespace {

constexpr std::u16string_view kTypeNames[] = {u"null", u"text", u"integer", u"double", u"boolean", u"date"};

// Days from 1970-01-01 to 1899-12-30, the OLE epoch.
constexpr int64_t kOleEpochDays = -25569;

// Civil date <-> days since 1970-01-01 (proleptic Gregorian calendar).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
}

std::u16string Ascii(std::string_view Text) { return std::u16string(Text.begin(), Text.end()); }

// The ASCII text of Text, or nullopt when it holds anything else.
std::optional<std::string> Narrow(std::u16string_view Text) {
  std::string out;
  out.reserve(Text.size());
  for (const char16_t c : Text) {
    if (c > 0x7F) return std::nullopt;
    out.push_back(static_cast<char>(c));
  }
  return out;
}

// Reads exactly Count decimal digits at Text[Pos].
std::optional<unsigned> Digits(std::string_view Text, size_t Pos, size_t Count) {
  if (Pos + Count > Text.size()) return std::nullopt;
  unsigned value = 0;
  for (size_t i = Pos; i < Pos + Count; ++i) {
    if (Text[i] < '0' || Text[i] > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(Text[i] - '0');
  }
  return value;
}

template <class T>
std::optional<T> ParseNumber(std::u16string_view Text) {
  const auto narrow = Narrow(Text);
  if (!narrow || narrow->empty()) return std::nullopt;
  T value{};
  const char* first = narrow->data();
  const char* last = first + narrow->size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last) return std::nullopt;
  return value;
}

}  // namespace

std::u16string TMemoryValue::ToText(std::u16string_view Name) const {
  char buffer[64];
  switch (Type()) {
    case TType::Null: {
      std::u16string message = u"Could not convert the null value";
      if (!Name.empty()) message += u" of property \"" + std::u16string(Name) + u"\"";
      throw brv::EbrvObject(kDISP_E_TYPEMISMATCH, message + u" to text");
    }
    case TType::Text:
      return std::get<std::u16string>(FValue);
    case TType::Integer: {
      const auto r = std::to_chars(buffer, buffer + sizeof buffer, std::get<int64_t>(FValue));
      return Ascii(std::string_view(buffer, r.ptr));
    }
    case TType::Double: {
      const auto r = std::to_chars(buffer, buffer + sizeof buffer, std::get<double>(FValue));
      return Ascii(std::string_view(buffer, r.ptr));
    }
    case TType::Boolean:
      return std::get<bool>(FValue) ? u"True" : u"False";
    case TType::Date:
      return FormatOleDate(std::get<TDate>(FValue).Value);
  }
  return {};
}

std::u16string_view ValueTypeName(TMemoryValue::TType Type) { return kTypeNames[static_cast<size_t>(Type)]; }

std::optional<TMemoryValue::TType> ValueTypeFromName(std::u16string_view Name) {
  for (size_t i = 0; i < std::size(kTypeNames); ++i)
    if (kTypeNames[i] == Name) return static_cast<TMemoryValue::TType>(i);
  return std::nullopt;
}

std::optional<TMemoryValue> ParseValue(TMemoryValue::TType Type, std::u16string_view Text) {
  using TType = TMemoryValue::TType;
  switch (Type) {
    case TType::Null:
      if (!Text.empty()) return std::nullopt;
      return TMemoryValue();
    case TType::Text:
      return TMemoryValue::Text(std::u16string(Text));
    case TType::Integer:
      if (const auto v = ParseNumber<int64_t>(Text)) return TMemoryValue::Integer(*v);
      return std::nullopt;
    case TType::Double:
      if (const auto v = ParseNumber<double>(Text); v && std::isfinite(*v)) return TMemoryValue::Double(*v);
      return std::nullopt;
    case TType::Boolean:
      if (brv::SameText(Text, u"True")) return TMemoryValue::Boolean(true);
      if (brv::SameText(Text, u"False")) return TMemoryValue::Boolean(false);
      return std::nullopt;
    case TType::Date:
      if (const auto v = ParseOleDate(Text)) return TMemoryValue::Date(*v);
      return std::nullopt;
  }
  return std::nullopt;
}

std::u16string FormatOleDate(TOleDate Value) {
  // OLE dates before the epoch count the day backwards but the time of day forwards.
  double whole = std::trunc(Value);
  int64_t seconds = std::llround(std::fabs(Value - whole) * 86400.0);
  if (seconds >= 86400) {
    whole += Value < 0 ? -1 : 1;
    seconds -= 86400;
  }
  int64_t year;
  unsigned month, day;
  CivilFromDays(static_cast<int64_t>(whole) + kOleEpochDays, year, month, day);
  char buffer[48];
  int length =
      std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02u", static_cast<long long>(year), month, day);
  if (seconds != 0)
    length += std::snprintf(buffer + length, sizeof buffer - static_cast<size_t>(length), " %02d:%02d:%02d",
                            static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                            static_cast<int>(seconds % 60));
  return Ascii(std::string_view(buffer, static_cast<size_t>(length)));
}

std::optional<TOleDate> ParseOleDate(std::u16string_view Text) {
  const auto narrow = Narrow(Text);
  if (!narrow || (narrow->size() != 10 && narrow->size() != 19)) return std::nullopt;
  const std::string_view s = *narrow;
  const auto year = Digits(s, 0, 4), month = Digits(s, 5, 2), day = Digits(s, 8, 2);
  if (!year || !month || !day || s[4] != '-' || s[7] != '-') return std::nullopt;
  if (*year < 100 || *month < 1 || *month > 12 || *day < 1) return std::nullopt;
  const int64_t days = DaysFromCivil(*year, *month, *day);
  if (*day > 28) {  // a day past the month's end would roll into the next month
    int64_t y;
    unsigned m, d;
    CivilFromDays(days, y, m, d);
    if (m != *month) return std::nullopt;
  }
  unsigned seconds = 0;
  if (s.size() == 19) {
    const auto h = Digits(s, 11, 2), mi = Digits(s, 14, 2), se = Digits(s, 17, 2);
    if ((s[10] != ' ' && s[10] != 'T') || s[13] != ':' || s[16] != ':') return std::nullopt;
    if (!h || !mi || !se || *h > 23 || *mi > 59 || *se > 59) return std::nullopt;
    seconds = *h * 3600 + *mi * 60 + *se;
  }
  const double whole = static_cast<double>(days - kOleEpochDays);
  const double time = seconds / 86400.0;
  return whole < 0 ? whole - time : whole + time;
}

}  // namespace outlook
