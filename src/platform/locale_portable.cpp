// Simple Unicode case mapping from the C library's UTF-8 character tables, standing in for the
// user's locale. Code units are mapped as whole code points, surrogate pairs included.
#include <clocale>
#include <cwctype>
#include <locale.h>

#include "foundation/text.h"
#include "platform/locale.h"

namespace brv::platform {

namespace {

locale_t Utf8Locale() {
  static const locale_t locale = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return l != static_cast<locale_t>(0) ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
  }();
  return locale;
}

void AppendCodePoint(std::u16string& Out, char32_t c) {
  if (c < 0x10000) {
    Out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    Out += static_cast<char16_t>(0xD800 + (c >> 10));
    Out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

char32_t Fold(char32_t c) {
  if (c < 0x80) return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
  return static_cast<char32_t>(towlower_l(towupper_l(static_cast<wint_t>(c), Utf8Locale()), Utf8Locale()));
}

// Reads the code point at Pos and moves past it; an unpaired surrogate is its own point.
char32_t NextCodePoint(std::u16string_view Text, size_t& Pos) {
  char32_t c = Text[Pos++];
  if (c >= 0xD800 && c <= 0xDBFF && Pos < Text.size() && Text[Pos] >= 0xDC00 && Text[Pos] <= 0xDFFF)
    c = 0x10000 + ((c - 0xD800) << 10) + (Text[Pos++] - 0xDC00);
  return c;
}

}  // namespace

int LocaleCompareText(std::u16string_view L, std::u16string_view R) {
  size_t i = 0, j = 0;
  while (i < L.size() && j < R.size()) {
    const char32_t a = NextCodePoint(L, i), b = NextCodePoint(R, j);
    if (a == b) continue;
    const char32_t fa = Fold(a), fb = Fold(b);
    if (fa != fb) return fa < fb ? -1 : 1;
  }
  if (i < L.size()) return 1;
  return j < R.size() ? -1 : 0;
}

int LocaleCompareString(std::u16string_view L, std::u16string_view R) {
  if (const int folded = LocaleCompareText(L, R); folded != 0) return folded;
  // The same letters: the first difference of case decides, lower case first as Windows sorts.
  size_t i = 0, j = 0;
  while (i < L.size() && j < R.size()) {
    const char32_t a = NextCodePoint(L, i), b = NextCodePoint(R, j);
    if (a == b) continue;
    const bool lowerA = iswlower_l(static_cast<wint_t>(a), Utf8Locale()) != 0;
    const bool lowerB = iswlower_l(static_cast<wint_t>(b), Utf8Locale()) != 0;
    if (lowerA != lowerB) return lowerA ? -1 : 1;
    return a < b ? -1 : 1;
  }
  return 0;
}

// UTF-8 orders bytes as code points: the folded text in UTF-8 sorts as LocaleCompareText.
std::string LocaleSortKey(std::u16string_view Text) {
  std::string key;
  key.reserve(Text.size());
  for (size_t i = 0; i < Text.size();) {
    // Addresses are mostly ASCII: fold those units here, the rest through the tables.
    if (const char16_t unit = Text[i]; unit < 0x80) {
      key += static_cast<char>(unit >= u'A' && unit <= u'Z' ? unit + (u'a' - u'A') : unit);
      ++i;
      continue;
    }
    brv::AppendUtf8(key, Fold(NextCodePoint(Text, i)));
  }
  return key;
}

std::u16string LocaleUpperCase(std::u16string_view Text) {
  std::u16string result;
  result.reserve(Text.size());
  for (size_t i = 0; i < Text.size();) {
    const char32_t c = NextCodePoint(Text, i);
    AppendCodePoint(result, static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), Utf8Locale())));
  }
  return result;
}

}  // namespace brv::platform
