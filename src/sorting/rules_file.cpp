#include "sorting/rules_file.h"

#include <cstdint>

#include "platform/path.h"

namespace swo {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
// "~" and eight hexadecimal digits: what marks a cut stem.
constexpr size_t kCutMarkLength = 9;

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

}  // namespace

std::u16string RulesFileStem(std::u16string_view Profile) {
  size_t trailing = Profile.size();
  while (trailing > 0 && (Profile[trailing - 1] == u'.' || Profile[trailing - 1] == u' ')) --trailing;
  const bool device = IsDeviceName(Profile);
  std::u16string stem;
  // Where the stem may be cut with room for the mark: never inside an escape or a surrogate pair.
  size_t cut = 0;
  for (size_t i = 0; i < Profile.size(); ++i) {
    const char16_t c = Profile[i];
    if (!IsLowSurrogate(c) && stem.size() + kCutMarkLength <= kRulesFileStemLength) cut = stem.size();
    if (IsRefused(c) || i >= trailing || (i == 0 && device))
      AppendEscaped(stem, c);
    else
      stem += c;
  }
  if (stem.size() <= kRulesFileStemLength) return stem;
  stem.resize(cut);
  stem += u'~';
  const uint32_t hash = Fnv1a(Profile);
  for (int shift = 28; shift >= 0; shift -= 4) stem += kHexDigits[(hash >> shift) & 0xF];
  return stem;
}

std::u16string RulesFileName(const std::u16string& Profile) {
  // The profile goes in after the expansion, and by concatenation: formatting the expanded
  // path would read a "%" of the user's folder as a directive.
  return brv::ExpandEnvironmentPath(u"%AppData%\\Brevanta\\Sortwise\\") + RulesFileStem(Profile) + u".xml";
}

}  // namespace swo
