// Text comparison and case mapping in the user's locale.
#pragma once

#include <string>
#include <string_view>

namespace brv::platform {

// Compares without regard to case in the user's locale: negative, 0 or positive.
int LocaleCompareText(std::u16string_view L, std::u16string_view R);

// Compares with regard to case in the user's locale, as lstrcmpW does: the letters decide first
// whatever their case; only texts equal but for case are ordered by it, lower case first.
// Negative, 0 or positive; 0 only for equal texts.
int LocaleCompareString(std::u16string_view L, std::u16string_view R);

// A key whose byte order is LocaleCompareText's order: equal keys for texts that compare equal.
// For sorted lists that compare the same texts many times.
std::string LocaleSortKey(std::u16string_view Text);

// Upper-cases with the user's locale and its linguistic casing rules.
std::u16string LocaleUpperCase(std::u16string_view Text);

}  // namespace brv::platform
