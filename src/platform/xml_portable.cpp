// The XML seam on pugixml.
#include <algorithm>
#include <cstring>
#include <pugixml.hpp>

#include "foundation/text.h"
#include "platform/xml.h"
#include "platform/xml_common.h"
#include "platform/xml_input_portable.h"

namespace brv::platform {

class TbrvXmlDocument::TImpl {
 public:
  pugi::xml_document Doc;
  std::u16string Source;
};

class TbrvXmlNode::TImpl {
 public:
  TImpl(std::shared_ptr<TbrvXmlDocument::TImpl> Doc, pugi::xml_node Node) : Doc(std::move(Doc)), Node(Node) {}
  std::shared_ptr<TbrvXmlDocument::TImpl> Doc;
  pugi::xml_node Node;
};

namespace {

// Comments and processing instructions are nodes; white space alone is a node only as the only
// child of its element (the seam's node model). The declaration is not kept. As a fragment,
// pugixml keeps top-level text, which Parse then rejects as XML 1.0 does.
constexpr unsigned kParseFlags = pugi::parse_default | pugi::parse_comments | pugi::parse_pi |
                                 pugi::parse_ws_pcdata_single | pugi::parse_fragment;

std::string Narrow(std::u16string_view Text) { return Utf16ToUtf8(Text); }
std::u16string Wide(const char* Text) { return Utf8ToUtf16(Text == nullptr ? "" : Text); }

TbrvXmlNode Wrap(const std::shared_ptr<TbrvXmlDocument::TImpl>& Doc, pugi::xml_node Node) {
  if (!Node) return {};
  return TbrvXmlNode(std::make_shared<TbrvXmlNode::TImpl>(Doc, Node));
}

bool IsShown(pugi::xml_node Node) {
  switch (Node.type()) {
    case pugi::node_element:
    case pugi::node_pcdata:
    case pugi::node_cdata:
    case pugi::node_comment:
    case pugi::node_pi:
      return true;
    default:
      return false;
  }
}

std::vector<TbrvXmlNode> Children(const std::shared_ptr<TbrvXmlDocument::TImpl>& Doc, pugi::xml_node Parent) {
  std::vector<TbrvXmlNode> result;
  for (pugi::xml_node child = Parent.first_child(); child; child = child.next_sibling()) {
    if (IsShown(child)) result.push_back(Wrap(Doc, child));
  }
  return result;
}

pugi::xml_node ElementOf(const TbrvXmlNode& Node) {
  if (!Node || Node.Impl()->Node.type() != pugi::node_element)
    throw EbrvXml(kE_INVALIDARG, u"XML: the operation needs an element");
  return Node.Impl()->Node;
}

// Line and column (1-based, counted in characters) of a byte offset into UTF-8 text.
std::pair<size_t, size_t> LineColumn(std::string_view Text, size_t Offset) {
  size_t line = 1, column = 1;
  Offset = std::min(Offset, Text.size());
  for (size_t i = 0; i < Offset; ++i) {
    const unsigned char c = static_cast<unsigned char>(Text[i]);
    if (c == '\n' || (c == '\r' && (i + 1 >= Text.size() || Text[i + 1] != '\n'))) {
      ++line;
      column = 1;
    } else if ((c & 0xC0) != 0x80 && c != '\r') {
      ++column;
    }
  }
  return {line, column};
}

bool IsBlank(const char* Text) {
  for (; *Text != 0; ++Text) {
    if (*Text != ' ' && *Text != '\t' && *Text != '\n' && *Text != '\r') return false;
  }
  return true;
}

std::u16string Number(size_t N) {
  const std::string digits = std::to_string(N);
  return std::u16string(digits.begin(), digits.end());
}

// "<source>: line L, column C: <reason>" for a problem at Offset into the decoded Text.
[[noreturn]] void RaiseParseError(std::u16string_view Source, std::string_view Text, size_t Offset,
                                  std::u16string_view Reason) {
  const auto [line, column] = LineColumn(Text, Offset);
  throw EbrvXml(kE_FAIL, std::u16string(Source) + u": line " + Number(line) + u", column " + Number(column) +
                             u": " + std::u16string(Reason));
}

}  // namespace

// --- TbrvXmlNode ---

TbrvXmlNode TbrvXmlNode::PreviousSibling() const {
  pugi::xml_node node = FImpl->Node.previous_sibling();
  while (node && !IsShown(node)) node = node.previous_sibling();
  return Wrap(FImpl->Doc, node);
}

TbrvXmlNodeKind TbrvXmlNode::Kind() const {
  switch (FImpl->Node.type()) {
    case pugi::node_pcdata:
      return TbrvXmlNodeKind::Text;
    case pugi::node_cdata:
      return TbrvXmlNodeKind::CData;
    case pugi::node_comment:
      return TbrvXmlNodeKind::Comment;
    case pugi::node_pi:
      return TbrvXmlNodeKind::ProcessingInstruction;
    default:
      return TbrvXmlNodeKind::Element;
  }
}

std::u16string TbrvXmlNode::Name() const {
  const auto type = FImpl->Node.type();
  return type == pugi::node_element || type == pugi::node_pi ? Wide(FImpl->Node.name()) : std::u16string();
}

std::u16string TbrvXmlNode::Value() const {
  return FImpl->Node.type() == pugi::node_element ? std::u16string() : Wide(FImpl->Node.value());
}

std::vector<TbrvXmlNode> TbrvXmlNode::ChildNodes() const { return Children(FImpl->Doc, FImpl->Node); }

TbrvXmlNode TbrvXmlNode::Parent() const {
  const pugi::xml_node parent = FImpl->Node.parent();
  if (!parent || parent.type() != pugi::node_element) return {};
  return Wrap(FImpl->Doc, parent);
}

std::optional<std::u16string> TbrvXmlNode::Attribute(std::u16string_view Name) const {
  const pugi::xml_attribute attribute = ElementOf(*this).attribute(Narrow(Name).c_str());
  if (!attribute) return std::nullopt;
  return Wide(attribute.value());
}

std::vector<std::pair<std::u16string, std::u16string>> TbrvXmlNode::Attributes() const {
  std::vector<std::pair<std::u16string, std::u16string>> result;
  for (const pugi::xml_attribute attribute : ElementOf(*this).attributes())
    result.emplace_back(Wide(attribute.name()), Wide(attribute.value()));
  return result;
}

std::u16string TbrvXmlNode::SourceName() const { return FImpl ? FImpl->Doc->Source : std::u16string(); }

TbrvXmlNode TbrvXmlNode::AppendElement(std::u16string_view Name) const {
  return Wrap(FImpl->Doc, ElementOf(*this).append_child(Narrow(Name).c_str()));
}

void TbrvXmlNode::SetAttribute(std::u16string_view Name, std::u16string_view Value) const {
  pugi::xml_node element = ElementOf(*this);
  RefuseCharactersXmlCannotCarry(*this, u"the attribute", Name, Value);
  const std::string name = Narrow(Name);
  pugi::xml_attribute attribute = element.attribute(name.c_str());
  if (!attribute) attribute = element.append_attribute(name.c_str());
  attribute.set_value(Narrow(Value).c_str());
}

void TbrvXmlNode::SetText(std::u16string_view Text) const {
  pugi::xml_node element = ElementOf(*this);
  RefuseCharactersXmlCannotCarry(*this, u"the text", {}, Text);
  while (element.first_child()) element.remove_child(element.first_child());
  if (!Text.empty()) element.append_child(pugi::node_pcdata).set_value(Narrow(Text).c_str());
}

// --- TbrvXmlDocument ---

TbrvXmlDocument::TbrvXmlDocument() : FImpl(std::make_shared<TImpl>()) {}
TbrvXmlDocument::TbrvXmlDocument(std::shared_ptr<TImpl> Impl) : FImpl(std::move(Impl)) {}
TbrvXmlDocument::~TbrvXmlDocument() = default;
TbrvXmlDocument::TbrvXmlDocument(TbrvXmlDocument&&) noexcept = default;
TbrvXmlDocument& TbrvXmlDocument::operator=(TbrvXmlDocument&&) noexcept = default;

TbrvXmlDocument TbrvXmlDocument::Parse(std::string_view Bytes, std::u16string_view SourceName) {
  auto impl = std::make_shared<TImpl>();
  impl->Source = std::u16string(SourceName);
  // pugixml gets UTF-8 only: the encoding is ours to read, as strictly as MSXML reads it.
  std::string text;
  if (const auto error = DecodeXmlBytes(Bytes, text))
    RaiseParseError(impl->Source, text, error->Offset, error->Reason);
  const pugi::xml_parse_result result =
      impl->Doc.load_buffer(text.data(), text.size(), kParseFlags, pugi::encoding_utf8);
  if (!result)
    RaiseParseError(impl->Source, text, static_cast<size_t>(result.offset), Wide(result.description()));
  // pugixml accepts what XML 1.0 (and MSXML) reject at the top level: text, or a second element.
  bool seenElement = false;
  for (pugi::xml_node child = impl->Doc.first_child();; child = child.next_sibling()) {
    const char* problem = nullptr;
    if (!child) {
      if (seenElement) break;
      problem = "no document element found";
    } else if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      if (child.type() == pugi::node_pcdata && IsBlank(child.value())) continue;
      problem = "text is not allowed outside the document element";
    } else if (child.type() == pugi::node_element) {
      if (seenElement) problem = "only one top level element is allowed";
      seenElement = true;
    }
    if (problem == nullptr) continue;
    size_t offset = text.size();
    if (child && child.offset_debug() >= 0) offset = static_cast<size_t>(child.offset_debug());
    // A text's offset is where it starts, blanks included; the problem is its first non-blank.
    while (child && offset < text.size() && std::strchr(" \t\r\n", text[offset]) != nullptr &&
           text[offset] != 0)
      ++offset;
    RaiseParseError(impl->Source, text, offset, Wide(problem));
  }
  if (const auto error = CheckXmlMarkup(text))
    RaiseParseError(impl->Source, text, error->Offset, error->Reason);
  return TbrvXmlDocument(std::move(impl));
}

TbrvXmlNode TbrvXmlDocument::DocumentElement() const { return Wrap(FImpl, FImpl->Doc.document_element()); }

std::vector<TbrvXmlNode> TbrvXmlDocument::ChildNodes() const { return Children(FImpl, FImpl->Doc); }

TbrvXmlNode TbrvXmlDocument::CreateDocumentElement(std::u16string_view Name) {
  if (FImpl->Doc.document_element())
    throw EbrvXml(kE_INVALIDARG, u"XML: the document already has a document element");
  return Wrap(FImpl, FImpl->Doc.append_child(Narrow(Name).c_str()));
}

}  // namespace brv::platform
