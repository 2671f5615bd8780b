// The parts of the XML seam that are the same on both sides, written on the backend's
// primitives.
#include "foundation/text.h"
#include "platform/file.h"
#include "platform/xml.h"

namespace brv::platform {

namespace {

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
