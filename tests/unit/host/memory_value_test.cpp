#include "host/memory_value.h"

#include <gtest/gtest.h>

#include "host_test_support.h"

namespace outlook::test {
namespace {

using TType = TMemoryValue::TType;

TEST(OleDates, FormatAndParseAgreeOnKnownDates) {
  const std::pair<TOleDate, const char16_t*> cases[] = {
      {0, u"1899-12-30"},
      {1, u"1899-12-31"},
      {2, u"1900-01-01"},
      {61, u"1900-03-01"},
      {36526, u"2000-01-01"},
      {36585, u"2000-02-29"},
      {45658, u"2025-01-01"},
      {kNoDate, u"4501-01-01"},
      {0.25, u"1899-12-30 06:00:00"},
      {36526.5 + 1.0 / 86400, u"2000-01-01 12:00:01"},
      {-1.25, u"1899-12-29 06:00:00"},  // before the epoch the time still counts forwards
      {2958465 + 86399.0 / 86400, u"9999-12-31 23:59:59"},
  };
  for (const auto& [value, text] : cases) {
    SCOPED_TRACE(brv::Utf16ToUtf8(text));
    EXPECT_EQ(FormatOleDate(value), text);
    const auto parsed = ParseOleDate(text);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_NEAR(*parsed, value, 1e-9);
    EXPECT_EQ(FormatOleDate(*parsed), text);
  }
  EXPECT_EQ(ParseOleDate(u"2026-11-02T08:12:40"), ParseOleDate(u"2026-11-02 08:12:40"));
  // Times round to the nearest second, also across midnight.
  EXPECT_EQ(FormatOleDate(1 - 0.1 / 86400), u"1899-12-31");
}

TEST(OleDates, ParseRefusesWhatIsNotADate) {
  for (const char16_t* text :
       {u"", u"2026-11-2", u"2026/11/02", u"2026-13-01", u"2026-00-10", u"2026-02-29", u"2026-04-31",
        u"0099-01-01", u"2026-11-02 24:00:00", u"2026-11-02 12:60:00", u"2026-11-02 12:00",
        u"2026-11-02x12:00:00", u"２０２６-11-02", u" 2026-11-02"})
    EXPECT_EQ(ParseOleDate(text), std::nullopt) << brv::Utf16ToUtf8(text);
  EXPECT_TRUE(ParseOleDate(u"2024-02-29").has_value());
}

TEST(MemoryValues, TextFormsAreFixedAndReadBack) {
  const std::pair<TMemoryValue, const char16_t*> cases[] = {
      {TMemoryValue::Text(u" Red; Blue\n"), u" Red; Blue\n"},
      {TMemoryValue::Text(u""), u""},
      {TMemoryValue::Integer(42), u"42"},
      {TMemoryValue::Integer(-7), u"-7"},
      {TMemoryValue::Integer(INT64_MIN), u"-9223372036854775808"},
      {TMemoryValue::Double(0.1), u"0.1"},
      {TMemoryValue::Double(-1249.5), u"-1249.5"},
      {TMemoryValue::Double(1e20), u"1e+20"},
      {TMemoryValue::Boolean(true), u"True"},
      {TMemoryValue::Boolean(false), u"False"},
      {TMemoryValue::Date(45658.75), u"2025-01-01 18:00:00"},
  };
  for (const auto& [value, text] : cases) {
    SCOPED_TRACE(brv::Utf16ToUtf8(text));
    EXPECT_EQ(value.ToText(), text);
    EXPECT_EQ(ParseValue(value.Type(), text), value);
    EXPECT_EQ(ValueTypeFromName(ValueTypeName(value.Type())), value.Type());
  }
  EXPECT_EQ(ParseValue(TType::Boolean, u"true"), TMemoryValue::Boolean(true));
  EXPECT_EQ(ParseValue(TType::Null, u""), TMemoryValue());
}

TEST(MemoryValues, NullHasNoTextAndBadTextHasNoValue) {
  const auto e = Raised([] { TMemoryValue().ToText(u"Reviewed"); });
  EXPECT_EQ(e.ErrorCode(), kDISP_E_TYPEMISMATCH);
  EXPECT_NE(e.Message().find(u"\"Reviewed\""), std::u16string::npos);

  const std::pair<TType, const char16_t*> refused[] = {
      {TType::Integer, u"12x"}, {TType::Integer, u""},
      {TType::Integer, u"1.5"}, {TType::Integer, u"99999999999999999999"},
      {TType::Double, u"nan"},  {TType::Double, u"inf"},
      {TType::Double, u"1,5"},  {TType::Boolean, u"yes"},
      {TType::Boolean, u"1"},   {TType::Date, u"today"},
      {TType::Null, u"x"},
  };
  for (const auto& [type, text] : refused)
    EXPECT_EQ(ParseValue(type, text), std::nullopt)
        << brv::Utf16ToUtf8(ValueTypeName(type)) << " " << brv::Utf16ToUtf8(text);
  EXPECT_EQ(ValueTypeFromName(u"string"), std::nullopt);
}

}  // namespace
}  // namespace outlook::test
