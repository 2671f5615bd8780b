#include "foundation/text.h"

namespace brv {

namespace {
constexpr char16_t FoldAscii(char16_t c) { return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c; }
}  // namespace

int CompareText(std::u16string_view L, std::u16string_view R) {
  const size_t n = std::min(L.size(), R.size());
  for (size_t i = 0; i < n; ++i) {
    const char16_t a = FoldAscii(L[i]), b = FoldAscii(R[i]);
    if (a != b) return a < b ? -1 : 1;
  }
  return L.size() == R.size() ? 0 : L.size() < R.size() ? -1 : 1;
}

bool SameText(std::u16string_view L, std::u16string_view R) {
  return L.size() == R.size() && CompareText(L, R) == 0;
}

std::u16string UpperCase(std::u16string_view Text) {
  std::u16string result(Text);
  for (char16_t& c : result) c = FoldAscii(c);
  return result;
}

std::u16string_view Trim(std::u16string_view Text) {
  size_t first = 0, last = Text.size();
  while (first < last && Text[first] <= u' ') ++first;
  while (last > first && Text[last - 1] <= u' ') --last;
  return Text.substr(first, last - first);
}

std::u16string HexCode(uint32_t Code) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text = u"0x00000000";
  for (int i = 9; i >= 2; --i, Code >>= 4) text[i] = kDigits[Code & 0xF];
  return text;
}

std::u16string Utf8ToUtf16(std::string_view Text) {
  std::u16string out;
  out.reserve(Text.size());
  size_t i = 0;
  while (i < Text.size()) {
    const auto lead = static_cast<unsigned char>(Text[i]);
    const int extra = lead < 0x80                ? 0
                      : (lead & 0xE0) == 0xC0    ? 1
                      : (lead & 0xF0) == 0xE0    ? 2
                      : (lead & 0xF8) == 0xF0    ? 3
                                                 : -1;
    bool valid = extra >= 0 && i + static_cast<size_t>(extra) < Text.size();
    char32_t c = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(Text[i + k]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (valid && (c < kMinimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) valid = false;
    if (!valid) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    i += static_cast<size_t>(extra) + 1;
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
  }
  return out;
}

void AppendUtf8(std::string& Out, char32_t c) {
  if (c < 0x80) {
    Out += static_cast<char>(c);
  } else if (c < 0x800) {
    Out += static_cast<char>(0xC0 | (c >> 6));
    Out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    Out += static_cast<char>(0xE0 | (c >> 12));
    Out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (c >> 18));
    Out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Utf16ToUtf8(std::u16string_view Text) {
  std::string out;
  out.reserve(Text.size());
  for (size_t i = 0; i < Text.size(); ++i) {
    char32_t c = Text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 && Text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (Text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      out += '?';
      continue;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace brv
