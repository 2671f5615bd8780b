// Where the add-in keeps a profile's rules.
#pragma once

#include <string>
#include <string_view>

namespace swo {

// "%AppData%\Brevanta\Sortwise\<file>.xml": the folder with the environment expanded, then
// RulesFileStem of the profile. A "%" in the expanded folder is plain text. An expansion longer
// than a path may be raises (ExpandEnvironmentPath).
std::u16string RulesFileName(const std::u16string& Profile);

// The profile name as the name of one file directly in the rules folder, whatever the name
// holds. Ordinary names stay as they are (existing rules files keep loading); what Windows
// refuses or reads otherwise becomes "%XX" (the character's code in hexadecimal, so "%" itself
// too): the characters < > : " / \ | ? * and the control characters, trailing dots and blanks,
// and the first letter of a device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9 and
// LPT1 to LPT9, also with a superscript digit), in any case, with or without an extension. A
// name longer than kRulesFileStemLength after that is cut and marked with a hash of the whole.
std::u16string RulesFileStem(std::u16string_view Profile);

// The longest stem: with the folder under a usual %AppData% the path stays within what every
// Windows file function takes.
inline constexpr size_t kRulesFileStemLength = 128;

}  // namespace swo
