// Text helpers of the portable core. Text is UTF-16 (std::u16string); the comparisons here fold
// only the ASCII letters; the locale-aware ones are in platform/locale.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brv {

// Compares ignoring the case of A-Z only; every other character compares by its code unit.
// Negative, 0 or positive.
int CompareText(std::u16string_view L, std::u16string_view R);

// CompareText(L, R) == 0.
bool SameText(std::u16string_view L, std::u16string_view R);

// Upper-cases the letters a-z and nothing else.
std::u16string UpperCase(std::u16string_view Text);

// Removes leading and trailing blanks and control characters (code units up to U+0020).
std::u16string_view Trim(std::u16string_view Text);

// "0x" and eight upper-case hexadecimal digits.
std::u16string HexCode(uint32_t Code);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& Out, char32_t CodePoint);

// UTF-8 <-> UTF-16. Invalid input becomes U+FFFD (or '?' towards UTF-8); nothing throws.
std::u16string Utf8ToUtf16(std::string_view Text);
std::string Utf16ToUtf8(std::u16string_view Text);

}  // namespace brv
