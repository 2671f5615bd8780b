// TStrings: the name/value lines of the rule model (an address entry's property filters and the
// settings). An ordered list of lines "name=value":
// - the name is the text before the first "=", the value everything after it;
// - names are compared without regard to case in the user's locale (LocaleCompareText);
// - writing a value for an existing name replaces that line in place (the line then carries the
//   name as just given); for a new name it appends a line;
// - writing an empty value removes the line of that name, so no line has an empty value and no
//   name occurs twice when all writes go through SetValue.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/exception.h"

namespace swo {

// The string list's index error: a position outside the list. Not an EbrvObject (it carries no
// result code of its own), as the platform's string-list error it stands for.
class EStringListError : public brv::Exception {
 public:
  explicit EStringListError(int32_t Index);
};

class TStrings {
 public:
  // Number of lines.
  int32_t Count() const { return static_cast<int32_t>(FLines.size()); }
  // The whole line at Index ("name=value"); outside 0..Count-1 raises EStringListError.
  const std::u16string& GetLine(int32_t Index) const;
  // The name of the line at Index (empty for a line without "="); range as GetLine.
  std::u16string GetName(int32_t Index) const;
  // The value of the line at Index: a negative Index gives the empty text; Count or more raises.
  std::u16string GetValueFromIndex(int32_t Index) const;
  // Replaces the value of the line at Index, keeping its name; an empty value deletes the line.
  // Outside 0..Count-1 raises EStringListError.
  void SetValueFromIndex(int32_t Index, std::u16string_view Value);
  // Position of the first line whose name equals Name (locale, case-insensitive), or -1.
  int32_t IndexOfName(std::u16string_view Name) const;
  // The value of the line named Name, or the empty text.
  std::u16string GetValue(std::u16string_view Name) const;
  // Name/value writing as described above.
  void SetValue(std::u16string_view Name, std::u16string_view Value);
  // Removes the line at Index; outside 0..Count-1 raises EStringListError.
  void Delete(int32_t Index);
  // Removes all lines.
  void Clear() { FLines.clear(); }

 private:
  void CheckIndex(int32_t Index) const;
  std::vector<std::u16string> FLines;
};

}  // namespace swo
