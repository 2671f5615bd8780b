// The text helpers under every loader and comparison. The input is read twice: as bytes for the
// UTF-8 conversions, and as UTF-16 code units (little-endian pairs, so lone surrogates occur)
// cut at the first line feed into two texts A and B for the rest.
#include <string>

#include "foundation/text.h"
#include "fuzz_support.h"
#include "platform/locale.h"

namespace {

using fuzz::Check;

int Sign(int Order) { return (Order > 0) - (Order < 0); }

template <class Text>
int Sign(const Text& L, const Text& R) {
  return Sign(L.compare(R));
}

std::string Hex(std::u16string_view Text) {
  std::string out;
  for (const char16_t unit : Text) out += fuzz::Utf8(brv::HexCode(unit).substr(6)) + " ";
  return out;
}

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The text with each surrogate that is not half of a pair replaced by Replacement.
std::u16string WithoutLoneSurrogates(std::u16string_view Text, char16_t Replacement) {
  std::u16string out(Text);
  for (size_t i = 0; i < out.size(); ++i) {
    if (IsHigh(out[i]) && i + 1 < out.size() && IsLow(out[i + 1])) {
      ++i;
    } else if (IsHigh(out[i]) || IsLow(out[i])) {
      out[i] = Replacement;
    }
  }
  return out;
}

void CheckUtf8(std::string_view Bytes) {
  const std::u16string text = brv::Utf8ToUtf16(Bytes);
  Check(WithoutLoneSurrogates(text, u'?') == text, "UTF-8 to UTF-16 gives well-formed UTF-16",
        [&] { return Hex(text); });
  const std::string back = brv::Utf16ToUtf8(text);
  if (fuzz::IsUtf8(Bytes)) {
    Check(back == Bytes, "well-formed UTF-8 survives the round trip through UTF-16");
  } else {
    Check(text.find(u'\uFFFD') != std::u16string::npos, "ill-formed UTF-8 leaves a replacement character");
  }
  Check(fuzz::IsUtf8(back), "UTF-16 to UTF-8 gives well-formed UTF-8");
}

void CheckUtf16(std::u16string_view Text) {
  const std::string bytes = brv::Utf16ToUtf8(Text);
  Check(fuzz::IsUtf8(bytes), "UTF-16 to UTF-8 gives well-formed UTF-8", [&] { return Hex(Text); });
  Check(brv::Utf8ToUtf16(bytes) == WithoutLoneSurrogates(Text, u'?'),
        "UTF-16 survives the round trip through UTF-8, lone surrogates as \"?\"", [&] { return Hex(Text); });
}

void CheckCase(std::u16string_view Text) {
  const std::u16string upper = brv::UpperCase(Text);
  Check(upper.size() == Text.size(), "UpperCase keeps the length");
  for (size_t i = 0; i < Text.size(); ++i) {
    const char16_t c = Text[i];
    const char16_t expected = c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
    Check(upper[i] == expected, "UpperCase changes a-z and nothing else", [&] { return Hex(Text); });
  }
  Check(brv::SameText(Text, upper), "a text is the same text as its upper case");
  Check(brv::platform::LocaleCompareText(Text, brv::platform::LocaleUpperCase(Text)) == 0,
        "a text compares equal to its locale upper case", [&] { return Hex(Text); });
  bool ascii = true;
  for (const char16_t c : Text) ascii = ascii && c < 0x80;
  if (ascii)
    Check(brv::platform::LocaleUpperCase(Text) == upper, "the locale upper-cases ASCII as UpperCase does");
}

void CheckTrim(std::u16string_view Text) {
  const std::u16string_view trimmed = brv::Trim(Text);
  Check(trimmed.data() >= Text.data() && trimmed.data() + trimmed.size() <= Text.data() + Text.size(),
        "Trim gives a part of its text");
  const size_t front = static_cast<size_t>(trimmed.data() - Text.data());
  for (size_t i = 0; i < Text.size(); ++i) {
    const bool inside = i >= front && i < front + trimmed.size();
    if (!inside)
      Check(Text[i] <= u' ', "Trim removes only blanks and control characters", [&] { return Hex(Text); });
  }
  if (!trimmed.empty())
    Check(trimmed.front() > u' ' && trimmed.back() > u' ', "Trim removes every leading and trailing blank",
          [&] { return Hex(Text); });
}

void CheckCompare(std::u16string_view A, std::u16string_view B) {
  const int order = brv::CompareText(A, B);
  Check(Sign(order) == -Sign(brv::CompareText(B, A)), "CompareText is antisymmetric");
  Check(Sign(order) == Sign(brv::UpperCase(A), brv::UpperCase(B)),
        "CompareText orders as the upper-case texts do", [&] { return Hex(A) + "| " + Hex(B); });
  Check(brv::SameText(A, B) == (order == 0), "SameText agrees with CompareText");

  const int locale = brv::platform::LocaleCompareText(A, B);
  Check(Sign(locale) == -Sign(brv::platform::LocaleCompareText(B, A)), "LocaleCompareText is antisymmetric",
        [&] { return Hex(A) + "| " + Hex(B); });
  Check(Sign(locale) == Sign(brv::platform::LocaleSortKey(A), brv::platform::LocaleSortKey(B)),
        "sort keys order as LocaleCompareText does", [&] { return Hex(A) + "| " + Hex(B); });
  if (order == 0) Check(locale == 0, "texts equal but for the case of A-Z compare equal in the locale");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
  CheckUtf8(bytes);

  std::u16string units(Size / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(Data[2 * i] | Data[2 * i + 1] << 8);
  const size_t cut = units.find(u'\n');
  const std::u16string_view a = std::u16string_view(units).substr(0, cut);
  const std::u16string_view b =
      cut == std::u16string::npos ? std::u16string_view() : std::u16string_view(units).substr(cut + 1);
  for (const std::u16string_view text : {a, b}) {
    CheckUtf16(text);
    CheckCase(text);
    CheckTrim(text);
  }
  CheckCompare(a, b);
  CheckCompare(a, a);

  if (Size >= 4) {
    const uint32_t code = static_cast<uint32_t>(Data[0] | Data[1] << 8 | Data[2] << 16) | uint32_t{Data[3]}
                                                                                              << 24;
    const std::u16string hex = brv::HexCode(code);
    Check(hex.size() == 10 && hex.starts_with(u"0x") && std::stoul(fuzz::Utf8(hex), nullptr, 16) == code,
          "HexCode reads back as its number", [&] { return fuzz::Utf8(hex); });
  }
  return 0;
}
