#include "host/memory_shared.h"

#include "foundation/text.h"
#include "host/memory_store.h"

namespace outlook {

std::u16string TMemoryShared::ClaimId(std::u16string Id, std::u16string_view Prefix) {
  if (Id.empty()) {
    // Outlook's identifiers are long hexadecimal strings; these are shorter but of that kind.
    do {
      Id = std::u16string(Prefix) + brv::HexCode(static_cast<uint32_t>(NextId >> 32)).substr(2) +
           brv::HexCode(static_cast<uint32_t>(NextId)).substr(2);
      ++NextId;
    } while (Ids.contains(Id));
  } else if (Ids.contains(Id)) {
    RaiseMemoryError(brv::kE_INVALIDARG, u"The identifier " + MessageText(Id) + u" is already in use");
  }
  Ids.insert(Id);
  return Id;
}

bool TMemoryNameLess::operator()(std::u16string_view L, std::u16string_view R) const {
  return brv::CompareText(L, R) < 0;
}

void RaiseMemoryError(brv::TbrvResult Code, std::u16string Message) { throw brv::EbrvObject(Code, Message); }

namespace {

bool IsHighSurrogate(char16_t C) { return C >= 0xD800 && C <= 0xDBFF; }
bool IsLowSurrogate(char16_t C) { return C >= 0xDC00 && C <= 0xDFFF; }

void AppendEscaped(std::u16string& Out, char16_t C) {
  const bool control = C < 0x20 || (C >= 0x7F && C <= 0x9F) || C == 0x2028 || C == 0x2029;
  if (!control) {
    Out += C;
  } else if (C == u'\n') {
    Out += u"\\n";
  } else if (C == u'\r') {
    Out += u"\\r";
  } else if (C == u'\t') {
    Out += u"\\t";
  } else {
    const std::u16string hex = brv::HexCode(C);  // "0x0000001B"
    Out += C > 0xFF ? u"\\u" + hex.substr(6) : u"\\x" + hex.substr(8);
  }
}

}  // namespace

std::u16string MessageText(std::u16string_view Text) {
  std::u16string out;
  size_t i = 0;
  for (; i < Text.size() && out.size() < kMessageTextLimit; ++i) AppendEscaped(out, Text[i]);
  if (i == Text.size()) return out;
  // A cut between the halves of a surrogate pair would leave half a character.
  if (IsHighSurrogate(out.back())) out.pop_back();
  return out + u"\u2026";
}

std::u16string MessageTextEnd(std::u16string_view Text) {
  std::u16string reversed;  // the escaped characters from the end, each escape kept in order
  size_t i = Text.size();
  for (; i > 0 && reversed.size() < kMessageTextLimit; --i) {
    std::u16string one;
    AppendEscaped(one, Text[i - 1]);
    reversed.append(one.rbegin(), one.rend());
  }
  if (i > 0 && IsLowSurrogate(reversed.back())) reversed.pop_back();
  std::u16string out(reversed.rbegin(), reversed.rend());
  return i == 0 ? out : u"\u2026" + out;
}

}  // namespace outlook
