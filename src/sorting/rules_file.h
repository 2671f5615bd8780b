// Where the add-in keeps a profile's rules.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace swo {

// "%AppData%\Brevanta\Sortwise\" with the environment expanded: the folder of the rules files.
// An expansion longer than a path may be raises (ExpandEnvironmentPath).
std::u16string RulesFolder();

// "%AppData%\Brevanta\Sortwise\<file>.xml": RulesFolder, then RulesFileStem of the profile. A
// "%" in the expanded folder is plain text. Rules are always saved under this name.
std::u16string RulesFileName(const std::u16string& Profile);

// The files in which earlier versions kept the rules of Profile, where they differ from
// RulesFileName, newest scheme first: the stem whose cut was marked with "~" alone, and the
// profile name itself plus ".xml" (where "Sales/EU" was "Sales\EU.xml"). A raw name is left
// out when it would leave the folder ("..") or name anything but a file in it (a stream, a
// device, a part that Windows would read otherwise).
std::vector<std::u16string> EarlierRulesFileNames(const std::u16string& Profile);

// The file to read the rules of Profile from: RulesFileName when Exists says it is there, else
// the first of EarlierRulesFileNames that is; RulesFileName when none is.
std::u16string RulesFileToRead(const std::u16string& Profile, const std::function<bool(const std::u16string&)>& Exists);

// The profile name as the name of one file directly in the rules folder, whatever the name
// holds. Ordinary names stay as they are (existing rules files keep loading); what Windows
// refuses or reads otherwise becomes "%XX" (the character's code in hexadecimal, so "%" itself
// too): the characters < > : " / \ | ? * and the control characters, trailing dots and blanks,
// and the first letter of a device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9 and
// LPT1 to LPT9, also with a superscript digit), in any case, with or without an extension. A
// name longer than kRulesFileStemLength after that is cut and marked with "%~" and a hash of the
// whole, a mark that no stem kept whole holds.
std::u16string RulesFileStem(std::u16string_view Profile);

// The longest stem: with the folder under a usual %AppData% the path stays within what every
// Windows file function takes.
inline constexpr size_t kRulesFileStemLength = 128;

}  // namespace swo
