#include "sorting/strings.h"

#include <string>

#include "platform/locale.h"

namespace swo {

namespace {

std::u16string IndexText(int32_t Index) {
  const std::string digits = std::to_string(Index);
  return std::u16string(digits.begin(), digits.end());
}

// The name part of a line: the text before the first "=", empty without one.
std::u16string_view NameOf(std::u16string_view Line) {
  const size_t separator = Line.find(u'=');
  return separator == std::u16string_view::npos ? std::u16string_view() : Line.substr(0, separator);
}

}  // namespace

EStringListError::EStringListError(int32_t Index)
    : brv::Exception(u"List index out of bounds (" + IndexText(Index) + u")") {}

void TStrings::CheckIndex(int32_t Index) const {
  if (Index < 0 || Index >= Count()) throw EStringListError(Index);
}

const std::u16string& TStrings::GetLine(int32_t Index) const {
  CheckIndex(Index);
  return FLines[static_cast<size_t>(Index)];
}

std::u16string TStrings::GetName(int32_t Index) const { return std::u16string(NameOf(GetLine(Index))); }

std::u16string TStrings::GetValueFromIndex(int32_t Index) const {
  if (Index < 0) return {};
  const std::u16string& line = GetLine(Index);
  const size_t separator = line.find(u'=');
  return separator == std::u16string::npos ? std::u16string() : line.substr(separator + 1);
}

void TStrings::SetValueFromIndex(int32_t Index, std::u16string_view Value) {
  CheckIndex(Index);
  if (Value.empty()) {
    Delete(Index);
    return;
  }
  std::u16string& line = FLines[static_cast<size_t>(Index)];
  line = std::u16string(NameOf(line)) + u"=" + std::u16string(Value);
}

int32_t TStrings::IndexOfName(std::u16string_view Name) const {
  for (size_t i = 0; i < FLines.size(); ++i) {
    const std::u16string_view line = FLines[i];
    if (line.find(u'=') == std::u16string_view::npos) continue;
    if (brv::platform::LocaleCompareText(NameOf(line), Name) == 0) return static_cast<int32_t>(i);
  }
  return -1;
}

std::u16string TStrings::GetValue(std::u16string_view Name) const {
  const int32_t index = IndexOfName(Name);
  return index < 0 ? std::u16string() : GetValueFromIndex(index);
}

void TStrings::SetValue(std::u16string_view Name, std::u16string_view Value) {
  const int32_t index = IndexOfName(Name);
  if (Value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  std::u16string line = std::u16string(Name) + u"=" + std::u16string(Value);
  if (index < 0) {
    FLines.push_back(std::move(line));
  } else {
    FLines[static_cast<size_t>(index)] = std::move(line);
  }
}

void TStrings::Delete(int32_t Index) {
  CheckIndex(Index);
  FLines.erase(FLines.begin() + Index);
}

}  // namespace swo
