#include "platform/xml_input_portable.h"

#include <algorithm>
#include <initializer_list>
#include <utility>
#include <vector>

#include "foundation/text.h"
#include "platform/xml.h"

namespace brv::platform {

namespace {

constexpr size_t npos = std::string_view::npos;

enum class TEncoding { Utf8, Utf16LE, Utf16BE, Utf32LE, Utf32BE, Windows1252, Latin1, Latin9, Ascii };

// Windows-1252 at 0x80-0x9F; the five bytes it leaves undefined become the C1 control of the
// same number, as Windows' own conversion makes them.
constexpr char16_t kWindows1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsXmlChar(char32_t C) {
  return C == 0x9 || C == 0xA || C == 0xD || (C >= 0x20 && C <= 0xD7FF) || (C >= 0xE000 && C <= 0xFFFD) ||
         (C >= 0x10000 && C <= 0x10FFFF);
}

bool IsSpace(char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n'; }

std::u16string Ascii(std::string_view Text) { return std::u16string(Text.begin(), Text.end()); }

std::u16string ByteName(unsigned char Byte) {
  const char digits[] = "0123456789ABCDEF";
  return {u'0', u'x', static_cast<char16_t>(digits[Byte >> 4]), static_cast<char16_t>(digits[Byte & 15])};
}

bool SameAscii(std::string_view L, std::string_view R) {
  if (L.size() != R.size()) return false;
  for (size_t i = 0; i < L.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(L[i]) != lower(R[i])) return false;
  }
  return true;
}

bool IsOneOf(std::string_view Name, std::initializer_list<std::string_view> Names) {
  return std::any_of(Names.begin(), Names.end(), [&](std::string_view n) { return SameAscii(Name, n); });
}

// The value of encoding="..." in an XML declaration at the very start; empty when there is none.
std::string_view DeclaredEncoding(std::string_view Bytes) {
  if (Bytes.size() < 6 || Bytes.substr(0, 5) != "<?xml" || !IsSpace(Bytes[5])) return {};
  const size_t end = Bytes.find("?>");
  if (end == npos) return {};
  const std::string_view declaration = Bytes.substr(5, end - 5);
  size_t pos = declaration.find("encoding");
  if (pos == npos) return {};
  pos += 8;
  while (pos < declaration.size() && IsSpace(declaration[pos])) ++pos;
  if (pos >= declaration.size() || declaration[pos] != '=') return {};
  ++pos;
  while (pos < declaration.size() && IsSpace(declaration[pos])) ++pos;
  if (pos >= declaration.size() || (declaration[pos] != '"' && declaration[pos] != '\'')) return {};
  const size_t close = declaration.find(declaration[pos], pos + 1);
  if (close == npos) return {};
  return declaration.substr(pos + 1, close - pos - 1);
}

// The document's encoding and the length of its byte-order mark, or an error.
std::optional<TXmlInputError> DetectEncoding(std::string_view Bytes, TEncoding& Encoding, size_t& Skip) {
  const auto starts = [&](std::string_view Prefix) { return Bytes.substr(0, Prefix.size()) == Prefix; };
  using namespace std::string_view_literals;
  Skip = 0;
  if (starts("\xEF\xBB\xBF")) {
    Encoding = TEncoding::Utf8, Skip = 3;
  } else if (starts("\xFF\xFE\0\0"sv)) {
    Encoding = TEncoding::Utf32LE, Skip = 4;
  } else if (starts("\0\0\xFE\xFF"sv)) {
    Encoding = TEncoding::Utf32BE, Skip = 4;
  } else if (starts("\xFF\xFE")) {
    Encoding = TEncoding::Utf16LE, Skip = 2;
  } else if (starts("\xFE\xFF")) {
    Encoding = TEncoding::Utf16BE, Skip = 2;
  } else if (starts("<\0\0\0"sv)) {
    Encoding = TEncoding::Utf32LE;
  } else if (starts("\0\0\0<"sv)) {
    Encoding = TEncoding::Utf32BE;
  } else if (starts("<\0"sv)) {
    Encoding = TEncoding::Utf16LE;
  } else if (starts("\0<"sv)) {
    Encoding = TEncoding::Utf16BE;
  } else {
    const std::string_view name = DeclaredEncoding(Bytes);
    if (name.empty() || IsOneOf(name, {"UTF-8", "UTF8"})) {
      Encoding = TEncoding::Utf8;
    } else if (IsOneOf(name, {"windows-1252", "cp1252", "x-cp1252"})) {
      Encoding = TEncoding::Windows1252;
    } else if (IsOneOf(name, {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "latin1", "latin-1", "l1"})) {
      Encoding = TEncoding::Latin1;
    } else if (IsOneOf(name, {"ISO-8859-15", "ISO8859-15", "ISO_8859-15", "latin9", "latin-9"})) {
      Encoding = TEncoding::Latin9;
    } else if (IsOneOf(name, {"US-ASCII", "ASCII"})) {
      Encoding = TEncoding::Ascii;
    } else if (IsOneOf(name, {"UTF-16", "UTF16", "UTF-16LE", "UTF-16BE"})) {
      return TXmlInputError{0, u"the document declares the encoding " + QuotedForMessage(Ascii(name)) +
                                   u" but is not written in it"};
    } else {
      return TXmlInputError{0, u"the encoding " + QuotedForMessage(Ascii(name)) +
                                   u" is not supported (only UTF-8, UTF-16, windows-1252, ISO-8859-1, "
                                   u"ISO-8859-15 and US-ASCII are)"};
    }
  }
  return std::nullopt;
}

// Reads one code point of Bytes at Pos in Encoding and advances Pos; false for an invalid
// sequence, Why then says what is wrong.
bool NextCodePoint(std::string_view Bytes, size_t& Pos, TEncoding Encoding, char32_t& C,
                   std::u16string& Why) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(Bytes[i]); };
  const size_t left = Bytes.size() - Pos;
  switch (Encoding) {
    case TEncoding::Utf8: {
      const unsigned char lead = byte(Pos);
      const int extra = lead < 0x80             ? 0
                        : (lead & 0xE0) == 0xC0 ? 1
                        : (lead & 0xF0) == 0xE0 ? 2
                        : (lead & 0xF8) == 0xF0 ? 3
                                                : -1;
      bool valid = extra >= 0 && static_cast<size_t>(extra) < left;
      C = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
      for (int k = 1; valid && k <= extra; ++k) {
        valid = (byte(Pos + static_cast<size_t>(k)) & 0xC0) == 0x80;
        C = (C << 6) | (byte(Pos + static_cast<size_t>(k)) & 0x3F);
      }
      static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
      if (valid && (C < kMinimum[extra] || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF))) valid = false;
      if (!valid) {
        Why = u"the text is not valid UTF-8 (byte " + ByteName(lead) + u")";
        return false;
      }
      Pos += static_cast<size_t>(extra) + 1;
      return true;
    }
    case TEncoding::Utf16LE:
    case TEncoding::Utf16BE: {
      const bool le = Encoding == TEncoding::Utf16LE;
      const auto unit = [&](size_t i) -> char32_t {
        return le ? byte(i) | (byte(i + 1) << 8) : (byte(i) << 8) | byte(i + 1);
      };
      if (left < 2) {
        Why = u"the text is not valid UTF-16 (an odd number of bytes)";
        return false;
      }
      C = unit(Pos);
      if (C >= 0xD800 && C <= 0xDBFF && left >= 4 && unit(Pos + 2) >= 0xDC00 && unit(Pos + 2) <= 0xDFFF) {
        C = 0x10000 + ((C - 0xD800) << 10) + (unit(Pos + 2) - 0xDC00);
        Pos += 4;
        return true;
      }
      if (C >= 0xD800 && C <= 0xDFFF) {
        Why = u"the text is not valid UTF-16 (a lone surrogate " + CharacterName(C) + u")";
        return false;
      }
      Pos += 2;
      return true;
    }
    case TEncoding::Utf32LE:
    case TEncoding::Utf32BE: {
      if (left < 4) {
        Why = u"the text is not valid UTF-32 (its length is not a multiple of four bytes)";
        return false;
      }
      C = Encoding == TEncoding::Utf32LE ? byte(Pos) | (byte(Pos + 1) << 8) | (byte(Pos + 2) << 16) |
                                               (static_cast<char32_t>(byte(Pos + 3)) << 24)
                                         : (static_cast<char32_t>(byte(Pos)) << 24) | (byte(Pos + 1) << 16) |
                                               (byte(Pos + 2) << 8) | byte(Pos + 3);
      if (C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) {
        Why = u"the text is not valid UTF-32 (" + HexCode(C) + u")";
        return false;
      }
      Pos += 4;
      return true;
    }
    case TEncoding::Windows1252:
    case TEncoding::Latin1:
    case TEncoding::Latin9:
    case TEncoding::Ascii: {
      const unsigned char b = byte(Pos);
      C = b;
      if (Encoding == TEncoding::Ascii && b >= 0x80) {
        Why = u"the byte " + ByteName(b) + u" is not US-ASCII, the document's encoding";
        return false;
      }
      if (Encoding == TEncoding::Windows1252 && b >= 0x80 && b <= 0x9F) C = kWindows1252[b - 0x80];
      if (Encoding == TEncoding::Latin9) {
        static constexpr std::pair<unsigned char, char16_t> kLatin9[] = {
            {0xA4, 0x20AC}, {0xA6, 0x0160}, {0xA8, 0x0161}, {0xB4, 0x017D},
            {0xB8, 0x017E}, {0xBC, 0x0152}, {0xBD, 0x0153}, {0xBE, 0x0178}};
        for (const auto& [from, to] : kLatin9)
          if (b == from) C = to;
      }
      ++Pos;
      return true;
    }
  }
  return false;
}

// --- the markup check ---

class TMarkupCheck {
 public:
  explicit TMarkupCheck(std::string_view Text) : FText(Text) {}

  std::optional<TXmlInputError> Run() {
    size_t i = 0;
    while (i < FText.size() && !FError) {
      const char c = FText[i];
      if (c == '<') {
        i = Markup(i);
      } else if (c == '&') {
        i = Reference(i);
      } else if (c == ']' && Starts(i, "]]>")) {
        Fail(i, u"\"]]>\" is not allowed in text");
      } else {
        ++i;
      }
    }
    return FError;
  }

 private:
  bool Starts(size_t I, std::string_view Prefix) const { return FText.substr(I, Prefix.size()) == Prefix; }
  size_t Fail(size_t At, std::u16string Reason) {
    if (!FError) FError = TXmlInputError{At, std::move(Reason)};
    return FText.size();
  }
  // Past the end of the construct that ends with Terminator, searched from From.
  size_t After(size_t From, std::string_view Terminator) const {
    const size_t end = FText.find(Terminator, From);
    return end == npos ? FText.size() : end + Terminator.size();
  }
  static bool IsNameChar(char C) {
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '_' ||
           C == ':' || C == '-' || C == '.' || static_cast<unsigned char>(C) >= 0x80;
  }

  // A construct starting with "<" at I; returns where scanning goes on.
  size_t Markup(size_t I) {
    if (Starts(I, "<!--")) {
      const size_t end = FText.find("-->", I + 4);
      const size_t dashes = FText.find("--", I + 4);
      if (dashes < end) return Fail(dashes, u"\"--\" is not allowed inside a comment");
      return After(I + 4, "-->");
    }
    if (Starts(I, "<![CDATA[")) return After(I + 9, "]]>");
    if (Starts(I, "<!DOCTYPE")) return Fail(I, u"a DOCTYPE is not allowed (MSXML 6 prohibits DTDs)");
    if (Starts(I, "<?")) {
      size_t end = I + 2;
      while (end < FText.size() && IsNameChar(FText[end])) ++end;
      if (I != 0 && SameAscii(FText.substr(I + 2, end - I - 2), "xml"))
        return Fail(I, u"the XML declaration is allowed only at the very start of the document");
      return After(I + 2, "?>");
    }
    if (Starts(I, "</")) {
      --FDepth;
      return After(I + 2, ">");
    }
    return StartTag(I);
  }

  size_t StartTag(size_t I) {
    size_t i = I + 1;
    while (i < FText.size() && IsNameChar(FText[i])) ++i;
    std::vector<std::pair<std::string_view, size_t>> names;
    for (;;) {
      while (i < FText.size() && IsSpace(FText[i])) ++i;
      if (i >= FText.size()) return i;
      if (FText[i] == '>' || FText[i] == '/') break;
      const size_t nameStart = i;
      while (i < FText.size() && IsNameChar(FText[i])) ++i;
      names.emplace_back(FText.substr(nameStart, i - nameStart), nameStart);
      while (i < FText.size() && IsSpace(FText[i])) ++i;
      if (i >= FText.size() || FText[i] != '=') return After(i, ">");  // pugixml has seen to it
      ++i;
      while (i < FText.size() && IsSpace(FText[i])) ++i;
      if (i >= FText.size() || (FText[i] != '"' && FText[i] != '\'')) return After(i, ">");
      const char quote = FText[i++];
      while (i < FText.size() && FText[i] != quote) {
        if (FText[i] == '<') return Fail(i, u"\"<\" is not allowed in an attribute value");
        i = FText[i] == '&' ? Reference(i) : i + 1;
        if (FError) return i;
      }
      ++i;
    }
    if (FText[i] != '/' && ++FDepth > kMaxDepth)
      return Fail(I, u"the elements are nested more than 256 deep (MSXML 6 reads no deeper)");
    if (const size_t twice = SecondOccurrence(names); twice != npos)
      return Fail(twice, u"the attribute " +
                             QuotedForMessage(Utf8ToUtf16(FText.substr(twice, NameEnd(twice) - twice))) +
                             u" appears twice");
    return After(i, ">");
  }

  size_t NameEnd(size_t I) const {
    while (I < FText.size() && IsNameChar(FText[I])) ++I;
    return I;
  }

  // Where the first attribute that repeats an earlier name of the same element starts; npos when
  // none does.
  static size_t SecondOccurrence(std::vector<std::pair<std::string_view, size_t>>& Names) {
    size_t first = npos;
    if (Names.size() <= 8) {
      for (size_t k = 1; k < Names.size(); ++k)
        for (size_t j = 0; j < k; ++j)
          if (Names[j].first == Names[k].first) first = std::min(first, Names[k].second);
      return first;
    }
    std::sort(Names.begin(), Names.end());
    for (size_t k = 1; k < Names.size(); ++k)
      if (Names[k - 1].first == Names[k].first) first = std::min(first, Names[k].second);
    return first;
  }

  // A reference starting with "&" at I, in text or an attribute value; returns the position
  // after it.
  size_t Reference(size_t I) {
    size_t i = I + 1;
    if (i < FText.size() && FText[i] == '#') {
      const bool hex = i + 1 < FText.size() && FText[i + 1] == 'x';
      i += hex ? 2 : 1;
      const size_t digitsStart = i;
      char32_t value = 0;
      for (; i < FText.size(); ++i) {
        const char c = FText[i];
        int digit = c >= '0' && c <= '9' ? c - '0' : -1;
        if (hex && digit < 0)
          digit = c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) break;
        value = std::min<char32_t>(value * (hex ? 16 : 10) + static_cast<char32_t>(digit), 0x110000);
      }
      const auto written = [&] {
        return QuotedForMessage(Utf8ToUtf16(FText.substr(I, std::min(i + 1, FText.size()) - I)));
      };
      if (i == digitsStart || i >= FText.size() || FText[i] != ';')
        return Fail(I, u"a malformed character reference " + written());
      if (!IsXmlChar(value))
        return Fail(I, u"the character reference " + written() +
                           u" stands for a character XML does not allow" +
                           (value < 0x110000 ? u" (" + CharacterName(value) + u")" : std::u16string()));
      return i + 1;
    }
    while (i < FText.size() && IsNameChar(FText[i])) ++i;
    if (i == I + 1 || i >= FText.size() || FText[i] != ';')
      return Fail(I, u"an \"&\" that starts no reference (write \"&amp;\" for the character)");
    const std::string_view name = FText.substr(I + 1, i - I - 1);
    if (name != "lt" && name != "gt" && name != "amp" && name != "apos" && name != "quot")
      return Fail(
          I, u"the entity " + QuotedForMessage(Utf8ToUtf16(FText.substr(I, i + 1 - I))) + u" is not defined");
    return i + 1;
  }

  // MSXML 6's MaxElementDepth, by default.
  static constexpr int kMaxDepth = 256;

  std::string_view FText;
  int FDepth = 0;  // elements open
  std::optional<TXmlInputError> FError;
};

}  // namespace

std::optional<TXmlInputError> DecodeXmlBytes(std::string_view Bytes, std::string& Text) {
  TEncoding encoding = TEncoding::Utf8;
  size_t pos = 0;
  if (auto error = DetectEncoding(Bytes, encoding, pos)) return error;
  Text.clear();
  Text.reserve(Bytes.size());
  std::u16string why;
  while (pos < Bytes.size()) {
    if (const auto b = static_cast<unsigned char>(Bytes[pos]);
        encoding == TEncoding::Utf8 && b >= 0x20 && b < 0x80) {
      Text += static_cast<char>(b);  // the common case, without the general decoding
      ++pos;
      continue;
    }
    char32_t c = 0;
    if (!NextCodePoint(Bytes, pos, encoding, c, why)) return TXmlInputError{Text.size(), std::move(why)};
    if (!IsXmlChar(c))
      return TXmlInputError{Text.size(), u"the character " + CharacterName(c) + u" is not allowed in XML"};
    AppendUtf8(Text, c);
  }
  return std::nullopt;
}

std::optional<TXmlInputError> CheckXmlMarkup(std::string_view Text) { return TMarkupCheck(Text).Run(); }

}  // namespace brv::platform
