// What the harnesses share: reporting a violated property, and cutting one input into fields.
// A violated property aborts, which libFuzzer records as a crash with its input, and which
// fails the corpus replay of the test build.
#pragma once

#include <algorithm>
#include <concepts>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/exception.h"
#include "foundation/text.h"

namespace fuzz {

// The name that stands for the file name in the messages of the loaders under test.
inline constexpr std::u16string_view kSourceName = u"fuzz-input.xml";

[[noreturn]] inline void Fail(std::string_view Property, std::string_view Detail = {}) {
  std::fprintf(stderr, "\n*** property violated: %.*s\n", static_cast<int>(Property.size()), Property.data());
  if (!Detail.empty()) std::fprintf(stderr, "%.*s\n", static_cast<int>(Detail.size()), Detail.data());
  std::abort();
}

// Whether the property is waived: SORTWISE_FUZZ_WAIVE holds parts of property texts separated by
// "|". While a known fault is being mended, waiving its property lets a run look past it.
inline bool Waived(std::string_view Property) {
  static const std::string waived = [] {
    const char* value = std::getenv("SORTWISE_FUZZ_WAIVE");
    return std::string(value == nullptr ? "" : value);
  }();
  for (size_t start = 0; start < waived.size();) {
    const size_t end = std::min(waived.find('|', start), waived.size());
    if (end > start &&
        Property.find(std::string_view(waived).substr(start, end - start)) != std::string_view::npos)
      return true;
    start = end + 1;
  }
  return false;
}

inline void Check(bool Holds, std::string_view Property, std::string_view Detail = {}) {
  if (!Holds && !Waived(Property)) Fail(Property, Detail);
}

// The same with a detail that costs something to make: made only when the property fails.
template <std::invocable F>
void Check(bool Holds, std::string_view Property, F&& Detail) {
  if (!Holds && !Waived(Property)) Fail(Property, Detail());
}

inline std::string Utf8(std::u16string_view Text) { return brv::Utf16ToUtf8(Text); }

// A loader's refusal of bad input must say what is wrong and in which file.
inline void CheckClearError(const brv::Exception& E) {
  const std::u16string& message = E.Message();
  Check(!message.empty(), "an error has a message");
  Check(message.find(kSourceName) != std::u16string::npos, "an error names the file",
        [&] { return Utf8(message); });
}

// Well-formed UTF-8 by the table of well-formed byte sequences of the Unicode standard.
inline bool IsUtf8(std::string_view Bytes) {
  for (size_t i = 0; i < Bytes.size();) {
    const auto lead = static_cast<unsigned char>(Bytes[i]);
    size_t more = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead < 0x80) {
      more = 0;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      more = 1;
    } else if (lead == 0xE0) {
      more = 2, low = 0xA0;
    } else if (lead == 0xED) {
      more = 2, high = 0x9F;
    } else if (lead >= 0xE1 && lead <= 0xEF) {
      more = 2;
    } else if (lead == 0xF0) {
      more = 3, low = 0x90;
    } else if (lead == 0xF4) {
      more = 3, high = 0x8F;
    } else if (lead >= 0xF1 && lead <= 0xF3) {
      more = 3;
    } else {
      return false;
    }
    if (Bytes.size() - i <= more) return false;
    for (size_t k = 1; k <= more; ++k) {
      const auto next = static_cast<unsigned char>(Bytes[i + k]);
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
    }
    i += more + 1;
  }
  return true;
}

// Text an XML 1.0 document can carry: well-formed UTF-16 of characters of XML's Char
// production (no C0 controls but tab, line feed and carriage return; no U+FFFE or U+FFFF).
inline bool IsXmlText(std::u16string_view Text) {
  for (size_t i = 0; i < Text.size(); ++i) {
    const char16_t c = Text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 && Text[i + 1] <= 0xDFFF) {
      ++i;
      continue;
    }
    const bool allowed =
        c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD);
    if (!allowed) return false;
  }
  return true;
}

// A written file: UTF-8 of characters XML can carry, so that every XML parser reads it back.
inline void CheckWritable(std::string_view Saved, std::string_view What) {
  Check(IsUtf8(Saved), What, "the file is not UTF-8");
  Check(IsXmlText(brv::Utf8ToUtf16(Saved)), What, [&] { return std::string(Saved); });
}

// Bytes that claim to be UTF-8: no byte-order mark of UTF-16 or UTF-32, no NUL among the first
// bytes, and no declared encoding other than UTF-8. A loader that takes such bytes while they
// are not UTF-8 has changed the text behind the user's back.
inline bool ClaimsUtf8(std::string_view Bytes) {
  if (Bytes.starts_with("\xFF\xFE") || Bytes.starts_with("\xFE\xFF") ||
      Bytes.substr(0, 4).find('\0') != std::string_view::npos)
    return false;
  if (!Bytes.starts_with("<?xml") && !Bytes.starts_with("\xEF\xBB\xBF<?xml")) return true;
  const std::string_view prolog = Bytes.substr(0, Bytes.find("?>"));
  size_t at = prolog.find("encoding");
  if (at == std::string_view::npos) return true;
  std::string name;
  for (at += 8; at < prolog.size() && name.size() < 8; ++at) {
    const char c = prolog[at];
    if (c == '=' || c == '"' || c == '\'' || c == ' ') continue;
    name += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  }
  return name.starts_with("UTF-8") || name.starts_with("UTF8");
}

// The characters of a document, one byte each, as far as its markup goes: ASCII as it is, any
// other character as 0x80. The encoding is read as XML 1.0 tells a reader to find it: by the
// byte-order mark, else by how the "<" at the start is written; without either, the encodings
// of one byte per character keep ASCII where it is. The bytes of a UTF-16 or UTF-32 document
// are no markup: "&#0;" among them can be half of two characters.
inline std::string MarkupCharacters(std::string_view Bytes) {
  using namespace std::string_view_literals;
  struct TWide {
    std::string_view Start;
    size_t Mark, Width;
    bool BigEndian;
  };
  constexpr TWide kWide[] = {{"\xFF\xFE\0\0"sv, 4, 4, false}, {"\0\0\xFE\xFF"sv, 4, 4, true},
                             {"\xFF\xFE"sv, 2, 2, false},     {"\xFE\xFF"sv, 2, 2, true},
                             {"<\0\0\0"sv, 0, 4, false},      {"\0\0\0<"sv, 0, 4, true},
                             {"<\0"sv, 0, 2, false},          {"\0<"sv, 0, 2, true}};
  for (const TWide& wide : kWide) {
    if (!Bytes.starts_with(wide.Start)) continue;
    std::string characters;
    for (size_t i = wide.Mark; i + wide.Width <= Bytes.size(); i += wide.Width) {
      uint32_t unit = 0;
      for (size_t k = 0; k < wide.Width; ++k)
        unit |= uint32_t{static_cast<unsigned char>(Bytes[i + k])}
                << (8 * (wide.BigEndian ? wide.Width - 1 - k : k));
      characters += unit < 0x80 ? static_cast<char>(unit) : '\x80';
    }
    return characters;
  }
  return std::string(Bytes);
}

// Whether markup (outside comments, CDATA sections and processing instructions) holds a
// character reference to a character XML cannot carry, such as &#0; or &#xFFFE;: no
// well-formed document does, so a loader must refuse such bytes. Characters as
// MarkupCharacters gives them.
inline bool HasIllegalReference(std::string_view Bytes) {
  constexpr std::pair<std::string_view, std::string_view> kSkipped[] = {
      {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}};
  for (size_t i = 0; i < Bytes.size();) {
    bool skipped = false;
    for (const auto& [open, close] : kSkipped) {
      if (!skipped && Bytes.substr(i).starts_with(open)) {
        const size_t end = Bytes.find(close, i + open.size());
        if (end == std::string_view::npos) return false;
        i = end + close.size();
        skipped = true;
      }
    }
    if (skipped) continue;
    if (!Bytes.substr(i).starts_with("&#")) {
      ++i;
      continue;
    }
    const bool hex = Bytes.substr(i + 2).starts_with("x");
    size_t k = i + (hex ? 3 : 2);
    uint32_t code = 0;
    bool digits = false;
    for (; k < Bytes.size(); ++k) {
      const char c = Bytes[k];
      const int digit = c >= '0' && c <= '9'          ? c - '0'
                        : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                      : -1;
      if (digit < 0) break;
      code = std::min<uint32_t>(code * (hex ? 16 : 10) + static_cast<uint32_t>(digit), 0x110000);
      digits = true;
    }
    i = k;
    if (!digits || k >= Bytes.size() || Bytes[k] != ';') continue;  // not a reference: another fault
    const bool allowed = code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
                         (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
    if (!allowed) return true;
  }
  return false;
}

// The input as fields separated by line feeds (a missing field is empty).
inline std::vector<std::string_view> Fields(std::string_view Bytes, size_t Count) {
  std::vector<std::string_view> fields;
  for (size_t i = 0; i + 1 < Count; ++i) {
    const size_t end = Bytes.find('\n');
    fields.push_back(Bytes.substr(0, end));
    Bytes = end == std::string_view::npos ? std::string_view() : Bytes.substr(end + 1);
  }
  fields.push_back(Bytes);
  return fields;
}

}  // namespace fuzz
