// The parts of the XML seam that are the same on both sides, written on the backend's
// primitives.
#include "platform/xml_common.h"

#include <algorithm>

#include "foundation/text.h"
#include "platform/file.h"
#include "platform/xml.h"

namespace brv::platform {

namespace {

constexpr size_t kQuotedLength = 60;

bool IsHighSurrogate(char16_t C) { return C >= 0xD800 && C <= 0xDBFF; }
bool IsLowSurrogate(char16_t C) { return C >= 0xDC00 && C <= 0xDFFF; }

// The code point at Position (a lone surrogate stands for itself).
char32_t CodePointAt(std::u16string_view Text, size_t Position) {
  const char16_t c = Text[Position];
  if (IsHighSurrogate(c) && Position + 1 < Text.size() && IsLowSurrogate(Text[Position + 1]))
    return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (Text[Position + 1] - 0xDC00);
  return c;
}

// What is "the attribute" (followed by Name, quoted) or "the text".
[[noreturn]] void RaiseCannotCarry(const TbrvXmlNode& Node, std::u16string_view What,
                                   std::u16string_view Name, std::u16string_view Text, size_t Position) {
  std::u16string what(What);
  if (!Name.empty()) what += u" " + QuotedForMessage(Name);
  throw EbrvXml(kXmlInvalidCharacter, Node.Where() + u": " + what + u" holds " +
                                          CharacterName(CodePointAt(Text, Position)) +
                                          u", a character XML cannot carry");
}

void AppendEscaped(std::u16string& Out, std::u16string_view Text, bool Attribute) {
  for (const char16_t c : Text) {
    switch (c) {
      case u'&':
        Out += u"&amp;";
        break;
      case u'<':
        Out += u"&lt;";
        break;
      case u'>':
        Out += u"&gt;";
        break;
      case u'\r':
        Out += u"&#13;";
        break;
      case u'"':
        Out += Attribute ? u"&quot;" : u"\"";
        break;
      case u'\n':
        Out += Attribute ? u"&#10;" : u"\n";
        break;
      case u'\t':
        Out += Attribute ? u"&#9;" : u"\t";
        break;
      default:
        Out += c;
    }
  }
}

void Serialize(std::u16string& Out, const TbrvXmlNode& Node) {
  switch (Node.Kind()) {
    case TbrvXmlNodeKind::Element: {
      const std::u16string name = Node.Name();
      Out += u'<';
      Out += name;
      for (const auto& [attrName, attrValue] : Node.Attributes()) {
        Out += u' ';
        Out += attrName;
        Out += u"=\"";
        AppendEscaped(Out, attrValue, true);
        Out += u'"';
      }
      const std::vector<TbrvXmlNode> children = Node.ChildNodes();
      if (children.empty()) {
        Out += u"/>";
        break;
      }
      Out += u'>';
      for (const auto& child : children) Serialize(Out, child);
      Out += u"</";
      Out += name;
      Out += u'>';
      break;
    }
    case TbrvXmlNodeKind::Text:
      AppendEscaped(Out, Node.Value(), false);
      break;
    case TbrvXmlNodeKind::CData: {
      // "]]>" cannot stand inside one section: it is split across two.
      std::u16string value = Node.Value();
      Out += u"<![CDATA[";
      for (size_t pos; (pos = value.find(u"]]>")) != std::u16string::npos;) {
        Out += value.substr(0, pos + 2);
        Out += u"]]><![CDATA[";
        value.erase(0, pos + 2);
      }
      Out += value;
      Out += u"]]>";
      break;
    }
    case TbrvXmlNodeKind::Comment:
      Out += u"<!--";
      Out += Node.Value();
      Out += u"-->";
      break;
    case TbrvXmlNodeKind::ProcessingInstruction:
      Out += u"<?";
      Out += Node.Name();
      if (!Node.Value().empty()) {
        Out += u' ';
        Out += Node.Value();
      }
      Out += u"?>";
      break;
  }
}

}  // namespace

size_t FindCharacterXmlCannotCarry(std::u16string_view Text) {
  for (size_t i = 0; i < Text.size(); ++i) {
    const char16_t c = Text[i];
    if (c >= 0x20 && c < 0xD800) continue;  // the common case first
    if (c == u'\t' || c == u'\n' || c == u'\r' || (c >= 0xE000 && c <= 0xFFFD)) continue;
    if (IsHighSurrogate(c) && i + 1 < Text.size() && IsLowSurrogate(Text[i + 1])) {
      ++i;
      continue;
    }
    return i;
  }
  return std::u16string_view::npos;
}

std::u16string CharacterName(char32_t CodePoint) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string digits;
  for (; CodePoint != 0 || digits.size() < 4; CodePoint >>= 4)
    digits.insert(digits.begin(), kDigits[CodePoint & 15]);
  return u"U+" + digits;
}

std::u16string QuotedForMessage(std::u16string_view Text) {
  size_t length = std::min(Text.size(), kQuotedLength);
  if (length < Text.size() && length > 0 && IsHighSurrogate(Text[length - 1]) && IsLowSurrogate(Text[length]))
    --length;  // never half a pair
  std::u16string quoted = u"\"";
  for (size_t i = 0; i < length; ++i) {
    const char16_t c = Text[i];
    if (c == u'\n') {
      quoted += u"\\n";
    } else if (c == u'\r') {
      quoted += u"\\r";
    } else if (c == u'\t') {
      quoted += u"\\t";
    } else if (IsHighSurrogate(c) && i + 1 < length && IsLowSurrogate(Text[i + 1])) {
      quoted += Text.substr(i++, 2);
    } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c >= 0xFFFE ||
               (c >= 0xD800 && c <= 0xDFFF)) {
      quoted += u"\\u" + CharacterName(c).substr(2);
    } else {
      quoted += c;
    }
  }
  if (length < Text.size()) quoted += u"...";
  return quoted + u"\"";
}

void RefuseCharactersXmlCannotCarry(const TbrvXmlNode& Node, std::u16string_view What,
                                    std::u16string_view Name, std::u16string_view Text) {
  if (const size_t bad = FindCharacterXmlCannotCarry(Text); bad != std::u16string_view::npos)
    RaiseCannotCarry(Node, What, Name, Text, bad);
}

std::string TbrvXmlDocument::SaveToBytes() const {
  std::u16string text = u"<?xml version=\"1.0\"?>\n";
  for (const auto& node : ChildNodes()) {
    Serialize(text, node);
    text += u'\n';
  }
  return Utf16ToUtf8(text);
}

TbrvXmlDocument TbrvXmlDocument::LoadFromFile(const std::u16string& Filename) {
  std::string bytes;
  const TbrvFileResult result = ReadFileBytes(Filename, bytes);
  if (result.Failed()) {
    std::u16string reason = EbrvXml::ErrorMessage(result.Status);
    if (reason.empty()) reason = HexCode(static_cast<uint32_t>(result.Status));
    throw EbrvXml(result.Status, Filename + u": cannot read the file: " + reason);
  }
  return Parse(bytes, Filename);
}

void TbrvXmlDocument::SaveToFile(const std::u16string& Filename) const {
  const std::string bytes = SaveToBytes();
  const TbrvFileResult result = WriteFileReplacing(Filename, bytes);
  if (result.Failed()) {
    std::u16string reason = EbrvXml::ErrorMessage(result.Status);
    if (reason.empty()) reason = HexCode(static_cast<uint32_t>(result.Status));
    throw EbrvXml(result.Status, Filename + u": cannot write the file: " + reason);
  }
}

std::vector<TbrvXmlNode> TbrvXmlNode::Elements() const {
  std::vector<TbrvXmlNode> result;
  for (auto& node : ChildNodes()) {
    if (node.IsElement()) result.push_back(std::move(node));
  }
  return result;
}

std::vector<TbrvXmlNode> TbrvXmlNode::Elements(std::u16string_view Name) const {
  std::vector<TbrvXmlNode> result;
  for (auto& node : ChildNodes()) {
    if (node.IsElement() && node.Name() == Name) result.push_back(std::move(node));
  }
  return result;
}

std::optional<std::u16string> TbrvXmlNode::Text() const {
  const std::vector<TbrvXmlNode> nodes = ChildNodes();
  if (nodes.empty()) return std::nullopt;
  if (nodes.size() == 1) {
    const TbrvXmlNodeKind kind = nodes.front().Kind();
    if (kind == TbrvXmlNodeKind::Text || kind == TbrvXmlNodeKind::CData) return nodes.front().Value();
  }
  throw EbrvXml(kXmlNotSingleText, Where() + u": the element does not contain a single text node");
}

std::u16string TbrvXmlNode::Path() const {
  if (IsNull()) return {};
  const TbrvXmlNode parent = Parent();
  const std::u16string prefix = parent ? parent.Path() : std::u16string();
  if (!IsElement()) return prefix + (Kind() == TbrvXmlNodeKind::Comment ? u"/comment()" : u"/text()");
  const std::u16string name = Name();
  if (!parent) return prefix + u"/" + name;
  size_t position = 1;
  for (TbrvXmlNode sibling = PreviousSibling(); sibling; sibling = sibling.PreviousSibling()) {
    if (sibling.IsElement() && sibling.Name() == name) ++position;
  }
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + position % 10));
    position /= 10;
  } while (position != 0);
  return prefix + u"/" + name + u"[" + digits + u"]";
}

std::u16string TbrvXmlNode::Where() const {
  const std::u16string source = SourceName();
  const std::u16string where = u"element " + Path();
  return source.empty() ? where : source + u": " + where;
}

}  // namespace brv::platform
