#include "sorting/rules_file.h"

#include <cstdint>

#include "platform/path.h"

namespace swo {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
// What ends a cut stem, before eight hexadecimal digits of the whole name's hash. A "%" that no
// two hexadecimal digits follow stands in no stem that is kept whole, so a cut stem never names
// the file of another profile. Earlier versions marked a cut with "~" alone.
constexpr std::u16string_view kCutMark = u"%~";
constexpr std::u16string_view kEarlierCutMark = u"~";
constexpr size_t kHashDigits = 8;

bool IsRefused(char16_t C) { return C < 0x20 || std::u16string_view(u"<>:\"/\\|?*%").find(C) != std::u16string_view::npos; }

// Every refused character is below 0x80: two digits carry it.
void AppendEscaped(std::u16string& Out, char16_t C) {
  Out += u'%';
  Out += kHexDigits[(C >> 4) & 0xF];
  Out += kHexDigits[C & 0xF];
}

char16_t AsciiUpper(char16_t C) { return C >= u'a' && C <= u'z' ? static_cast<char16_t>(C - u'a' + u'A') : C; }

bool SameAscii(std::u16string_view Text, std::u16string_view Upper) {
  if (Text.size() != Upper.size()) return false;
  for (size_t i = 0; i < Text.size(); ++i)
    if (AsciiUpper(Text[i]) != Upper[i]) return false;
  return true;
}

bool IsPortDigit(char16_t C) { return (C >= u'1' && C <= u'9') || C == u'\u00B9' || C == u'\u00B2' || C == u'\u00B3'; }

// Windows opens the device for such a name whatever extension follows, and blanks before the
// extension do not change that.
bool IsDeviceName(std::u16string_view Profile) {
  std::u16string_view stem = Profile.substr(0, Profile.find(u'.'));
  while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
  for (const std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
    if (SameAscii(stem, device)) return true;
  return stem.size() == 4 && (SameAscii(stem.substr(0, 3), u"COM") || SameAscii(stem.substr(0, 3), u"LPT")) &&
         IsPortDigit(stem[3]);
}

uint32_t Fnv1a(std::u16string_view Text) {
  uint32_t hash = 2166136261u;
  for (const char16_t c : Text) {
    hash = (hash ^ (c & 0xFF)) * 16777619u;
    hash = (hash ^ (c >> 8)) * 16777619u;
  }
  return hash;
}

bool IsLowSurrogate(char16_t C) { return C >= 0xDC00 && C <= 0xDFFF; }

std::u16string StemWithCutMark(std::u16string_view Profile, std::u16string_view CutMark) {
  size_t trailing = Profile.size();
  while (trailing > 0 && (Profile[trailing - 1] == u'.' || Profile[trailing - 1] == u' ')) --trailing;
  const bool device = IsDeviceName(Profile);
  std::u16string stem;
  // Where the stem may be cut with room for the mark: never inside an escape or a surrogate pair.
  size_t cut = 0;
  for (size_t i = 0; i < Profile.size(); ++i) {
    const char16_t c = Profile[i];
    if (!IsLowSurrogate(c) && stem.size() + CutMark.size() + kHashDigits <= kRulesFileStemLength) cut = stem.size();
    if (IsRefused(c) || i >= trailing || (i == 0 && device))
      AppendEscaped(stem, c);
    else
      stem += c;
  }
  if (stem.size() <= kRulesFileStemLength) return stem;
  stem.resize(cut);
  stem += CutMark;
  const uint32_t hash = Fnv1a(Profile);
  for (int shift = 28; shift >= 0; shift -= 4) stem += kHexDigits[(hash >> shift) & 0xF];
  return stem;
}

bool IsSeparator(char16_t C) { return C == u'\\' || C == u'/'; }

// A part of a path that names itself and nothing else: no "." or "..", nothing Windows
// refuses or reads as a stream (":"), no device, and (but for the last part, which ends in
// ".xml") no trailing dot or blank that Windows would drop.
bool IsPlainPart(std::u16string_view Part, bool Last) {
  if (Part == u"." || Part == u"..") return false;
  for (const char16_t c : Part)
    if (c < 0x20 || std::u16string_view(u"<>:\"|?*").find(c) != std::u16string_view::npos) return false;
  if (!Last && (Part.back() == u'.' || Part.back() == u' ')) return false;
  return !IsDeviceName(Part);
}

// The file that versions before safe names used: the profile name itself plus ".xml", a
// separator in it making subfolders. Empty when that name would leave the folder or name
// something else than a file in it.
std::u16string RawNameInFolder(std::u16string_view Profile) {
  const std::u16string name = std::u16string(Profile) + u".xml";
  std::u16string path;
  size_t start = 0;
  while (start < name.size()) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    // Runs of separators count as one, as Windows reads them.
    if (end > start) {
      const std::u16string_view part = std::u16string_view(name).substr(start, end - start);
      if (!IsPlainPart(part, end == name.size())) return {};
      if (!path.empty()) path += u'\\';
      path += part;
    }
    start = end + 1;
  }
  return path;
}

}  // namespace

std::u16string RulesFileStem(std::u16string_view Profile) { return StemWithCutMark(Profile, kCutMark); }

std::u16string RulesFolder() {
  // The profile goes in after the expansion, and by concatenation: formatting the expanded
  // path would read a "%" of the user's folder as a directive.
  return brv::ExpandEnvironmentPath(u"%AppData%\\Brevanta\\Sortwise\\");
}

std::u16string RulesFileName(const std::u16string& Profile) { return RulesFolder() + RulesFileStem(Profile) + u".xml"; }

std::vector<std::u16string> EarlierRulesFileNames(const std::u16string& Profile) {
  const std::u16string folder = RulesFolder(), current = RulesFileStem(Profile) + u".xml";
  std::vector<std::u16string> names;
  for (const std::u16string& name : {StemWithCutMark(Profile, kEarlierCutMark) + u".xml", RawNameInFolder(Profile)})
    if (!name.empty() && name != current) names.push_back(folder + name);
  return names;
}

std::u16string RulesFileToRead(const std::u16string& Profile, const std::function<bool(const std::u16string&)>& Exists) {
  std::u16string current = RulesFileName(Profile);
  if (Exists(current)) return current;
  for (std::u16string& earlier : EarlierRulesFileNames(Profile))
    if (Exists(earlier)) return std::move(earlier);
  return current;
}

}  // namespace swo
