// The XML seam on the MSXML 6 DOM.
//
// COM: a document holds a COM initialisation of its thread (CoInitializeEx, apartment-threaded)
// from its creation to its destruction, balanced by CoUninitialize; on a thread that already
// has COM in either model this only counts up and down (or, for a multithreaded apartment,
// does nothing), so callers need not initialise COM first. Documents and nodes belong to the
// thread that made them.
#include <msxml2.h>
#include <ole2.h>
#include <windows.h>

#include "foundation/text.h"
#include "platform/wide_win.h"
#include "platform/xml.h"
#include "platform/xml_common.h"

namespace brv::platform {

namespace {

// MinGW's msxml2.h lacks MSXML 6's class id.
const CLSID kCLSID_DOMDocument60 = {
    0x88D96A05, 0xF192, 0x11D4, {0xA6, 0x5F, 0x00, 0x40, 0x96, 0x32, 0x51, 0xE5}};

template <class T>
class TComPtr {
 public:
  TComPtr() = default;
  TComPtr(const TComPtr& Other) : FPtr(Other.FPtr) {
    if (FPtr) FPtr->AddRef();
  }
  TComPtr(TComPtr&& Other) noexcept : FPtr(Other.FPtr) { Other.FPtr = nullptr; }
  TComPtr& operator=(TComPtr Other) noexcept {
    std::swap(FPtr, Other.FPtr);
    return *this;
  }
  ~TComPtr() { Reset(); }

  void Reset() {
    if (FPtr) FPtr->Release();
    FPtr = nullptr;
  }
  // Releases first, then hands out the slot for an out-parameter.
  T** Put() {
    Reset();
    return &FPtr;
  }
  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }

  template <class U>
  TComPtr<U> Query(REFIID Iid) const {
    TComPtr<U> result;
    if (FPtr) FPtr->QueryInterface(Iid, reinterpret_cast<void**>(result.Put()));
    return result;
  }

 private:
  T* FPtr = nullptr;
};

class TBstr {
 public:
  TBstr() = default;
  explicit TBstr(std::u16string_view Text)
      : FValue(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(Text.data()),
                                 static_cast<UINT>(Text.size()))) {
    if (FValue == nullptr) throw std::bad_alloc();
  }
  TBstr(const TBstr&) = delete;
  TBstr& operator=(const TBstr&) = delete;
  ~TBstr() { SysFreeString(FValue); }
  BSTR Get() const { return FValue; }
  BSTR* Put() {
    SysFreeString(FValue);
    FValue = nullptr;
    return &FValue;
  }
  std::u16string Text() const {
    return FValue == nullptr ? std::u16string() : FromWide(FValue, SysStringLen(FValue));
  }

 private:
  BSTR FValue = nullptr;
};

class TVariant {
 public:
  TVariant() { VariantInit(&FValue); }
  TVariant(const TVariant&) = delete;
  TVariant& operator=(const TVariant&) = delete;
  ~TVariant() { VariantClear(&FValue); }
  VARIANT* Put() {
    VariantClear(&FValue);
    return &FValue;
  }
  const VARIANT& Get() const { return FValue; }
  std::u16string Text() const {
    if (FValue.vt != VT_BSTR || FValue.bstrVal == nullptr) return {};
    return FromWide(FValue.bstrVal, SysStringLen(FValue.bstrVal));
  }

 private:
  VARIANT FValue;
};

// COM on the calling thread for the life of this object.
class TComScope {
 public:
  TComScope() : FUninitialize(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  TComScope(const TComScope&) = delete;
  TComScope& operator=(const TComScope&) = delete;
  ~TComScope() {
    if (FUninitialize) CoUninitialize();
  }

 private:
  bool FUninitialize;
};

void Check(HRESULT Hr) {
  if (FAILED(Hr)) EbrvXml::RaiseError(Hr);
}

bool IsBlank(std::u16string_view Text) {
  for (const char16_t c : Text) {
    if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r') return false;
  }
  return true;
}

DOMNodeType TypeOf(IXMLDOMNode* Node) {
  DOMNodeType type = NODE_INVALID;
  Check(Node->get_nodeType(&type));
  return type;
}

std::u16string NameOf(IXMLDOMNode* Node) {
  TBstr name;
  Check(Node->get_nodeName(name.Put()));
  return name.Text();
}

std::u16string ValueOf(IXMLDOMNode* Node) {
  TVariant value;
  Check(Node->get_nodeValue(value.Put()));
  return value.Text();
}

// Whether the seam's node model shows the node. Blank text is shown only as an only child,
// which the caller decides.
bool IsShownKind(IXMLDOMNode* Node, DOMNodeType Type) {
  switch (Type) {
    case NODE_ELEMENT:
    case NODE_TEXT:
    case NODE_CDATA_SECTION:
    case NODE_COMMENT:
      return true;
    case NODE_PROCESSING_INSTRUCTION:
      return NameOf(Node) != u"xml";  // the declaration
    default:
      return false;
  }
}

bool IsBlankText(IXMLDOMNode* Node, DOMNodeType Type) { return Type == NODE_TEXT && IsBlank(ValueOf(Node)); }

std::u16string Number(long N) {
  const std::string digits = std::to_string(N);
  return std::u16string(digits.begin(), digits.end());
}

std::u16string TrimEnd(std::u16string Text) {
  while (!Text.empty() && (Text.back() <= u' ' || Text.back() == u'.')) Text.pop_back();
  return Text;
}

// The parser's reason as one short line: it may quote a name from the document, however long.
std::u16string OneShortLine(std::u16string Text) {
  constexpr size_t kLength = 200;
  for (char16_t& c : Text)
    if (c < u' ') c = u' ';
  if (Text.size() > kLength) {
    const bool halfPair = Text[kLength - 1] >= 0xD800 && Text[kLength - 1] <= 0xDBFF;
    Text = Text.substr(0, halfPair ? kLength - 1 : kLength) + u"...";
  }
  return Text;
}

}  // namespace

class TbrvXmlDocument::TImpl {
 public:
  TImpl() {
    Check(CoCreateInstance(kCLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                           reinterpret_cast<void**>(Doc.Put())));
    Check(Doc->put_async(VARIANT_FALSE));
    Check(Doc->put_validateOnParse(VARIANT_FALSE));
    Check(Doc->put_resolveExternals(VARIANT_FALSE));
    Check(Doc->put_preserveWhiteSpace(VARIANT_TRUE));
  }
  TComScope Com;  // first: it goes last
  TComPtr<IXMLDOMDocument> Doc;
  std::u16string Source;
};

class TbrvXmlNode::TImpl {
 public:
  TImpl(std::shared_ptr<TbrvXmlDocument::TImpl> Doc, TComPtr<IXMLDOMNode> Node, DOMNodeType Type)
      : Doc(std::move(Doc)), Node(std::move(Node)), Type(Type) {}
  std::shared_ptr<TbrvXmlDocument::TImpl> Doc;
  TComPtr<IXMLDOMNode> Node;
  DOMNodeType Type;
};

namespace {

TbrvXmlNode Wrap(const std::shared_ptr<TbrvXmlDocument::TImpl>& Doc, TComPtr<IXMLDOMNode> Node) {
  if (!Node) return {};
  const DOMNodeType type = TypeOf(Node.Get());
  return TbrvXmlNode(std::make_shared<TbrvXmlNode::TImpl>(Doc, std::move(Node), type));
}

// Walks the siblings rather than indexing the childNodes list: Wine's list finds item i by
// walking from the first child, which made reading n children O(n^2).
std::vector<TbrvXmlNode> Children(const std::shared_ptr<TbrvXmlDocument::TImpl>& Doc, IXMLDOMNode* Parent) {
  std::vector<std::pair<TComPtr<IXMLDOMNode>, DOMNodeType>> all;
  TComPtr<IXMLDOMNode> child;
  Check(Parent->get_firstChild(child.Put()));
  while (child) {
    TComPtr<IXMLDOMNode> next;
    Check(child->get_nextSibling(next.Put()));
    const DOMNodeType type = TypeOf(child.Get());
    all.emplace_back(std::move(child), type);
    child = std::move(next);
  }
  std::vector<TbrvXmlNode> result;
  for (auto& [node, type] : all) {
    if (!IsShownKind(node.Get(), type)) continue;
    if (all.size() > 1 && IsBlankText(node.Get(), type)) continue;
    result.push_back(TbrvXmlNode(std::make_shared<TbrvXmlNode::TImpl>(Doc, std::move(node), type)));
  }
  return result;
}

TComPtr<IXMLDOMElement> ElementOf(const TbrvXmlNode& Node) {
  if (!Node || Node.Impl()->Type != NODE_ELEMENT)
    throw EbrvXml(kE_INVALIDARG, u"XML: the operation needs an element");
  TComPtr<IXMLDOMElement> element = Node.Impl()->Node.Query<IXMLDOMElement>(IID_IXMLDOMElement);
  if (!element) throw EbrvXml(kE_NOINTERFACE, u"XML: the node is not an element");
  return element;
}

TComPtr<IXMLDOMNode> Append(IXMLDOMNode* Parent, IUnknown* Child) {
  TComPtr<IXMLDOMNode> child;
  Check(Child->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(child.Put())));
  TComPtr<IXMLDOMNode> added;
  Check(Parent->appendChild(child.Get(), added.Put()));
  return added;
}

}  // namespace

// --- TbrvXmlNode ---

TbrvXmlNodeKind TbrvXmlNode::Kind() const {
  switch (FImpl->Type) {
    case NODE_TEXT:
      return TbrvXmlNodeKind::Text;
    case NODE_CDATA_SECTION:
      return TbrvXmlNodeKind::CData;
    case NODE_COMMENT:
      return TbrvXmlNodeKind::Comment;
    case NODE_PROCESSING_INSTRUCTION:
      return TbrvXmlNodeKind::ProcessingInstruction;
    default:
      return TbrvXmlNodeKind::Element;
  }
}

std::u16string TbrvXmlNode::Name() const {
  const DOMNodeType type = FImpl->Type;
  return type == NODE_ELEMENT || type == NODE_PROCESSING_INSTRUCTION ? NameOf(FImpl->Node.Get())
                                                                     : std::u16string();
}

std::u16string TbrvXmlNode::Value() const {
  return FImpl->Type == NODE_ELEMENT ? std::u16string() : ValueOf(FImpl->Node.Get());
}

std::vector<TbrvXmlNode> TbrvXmlNode::ChildNodes() const { return Children(FImpl->Doc, FImpl->Node.Get()); }

TbrvXmlNode TbrvXmlNode::Parent() const {
  TComPtr<IXMLDOMNode> parent;
  Check(FImpl->Node->get_parentNode(parent.Put()));
  if (!parent || TypeOf(parent.Get()) != NODE_ELEMENT) return {};
  return Wrap(FImpl->Doc, std::move(parent));
}

TbrvXmlNode TbrvXmlNode::PreviousSibling() const {
  TComPtr<IXMLDOMNode> node = FImpl->Node;
  for (;;) {
    TComPtr<IXMLDOMNode> previous;
    Check(node->get_previousSibling(previous.Put()));
    if (!previous) return {};
    const DOMNodeType type = TypeOf(previous.Get());
    // A blank text node that has a sibling (this one) is never shown.
    if (IsShownKind(previous.Get(), type) && !IsBlankText(previous.Get(), type))
      return Wrap(FImpl->Doc, std::move(previous));
    node = std::move(previous);
  }
}

std::optional<std::u16string> TbrvXmlNode::Attribute(std::u16string_view Name) const {
  const TComPtr<IXMLDOMElement> element = ElementOf(*this);
  const TBstr name(Name);
  TVariant value;
  Check(element->getAttribute(name.Get(), value.Put()));
  if (value.Get().vt == VT_NULL || value.Get().vt == VT_EMPTY) return std::nullopt;
  return value.Text();
}

std::vector<std::pair<std::u16string, std::u16string>> TbrvXmlNode::Attributes() const {
  ElementOf(*this);
  TComPtr<IXMLDOMNamedNodeMap> map;
  Check(FImpl->Node->get_attributes(map.Put()));
  std::vector<std::pair<std::u16string, std::u16string>> result;
  if (!map) return result;
  long length = 0;
  Check(map->get_length(&length));
  for (long i = 0; i < length; ++i) {
    TComPtr<IXMLDOMNode> attribute;
    Check(map->get_item(i, attribute.Put()));
    if (attribute) result.emplace_back(NameOf(attribute.Get()), ValueOf(attribute.Get()));
  }
  return result;
}

std::u16string TbrvXmlNode::SourceName() const { return FImpl ? FImpl->Doc->Source : std::u16string(); }

TbrvXmlNode TbrvXmlNode::AppendElement(std::u16string_view Name) const {
  ElementOf(*this);
  const TBstr name(Name);
  TComPtr<IXMLDOMElement> element;
  Check(FImpl->Doc->Doc->createElement(name.Get(), element.Put()));
  return Wrap(FImpl->Doc, Append(FImpl->Node.Get(), element.Get()));
}

void TbrvXmlNode::SetAttribute(std::u16string_view Name, std::u16string_view Value) const {
  const TComPtr<IXMLDOMElement> element = ElementOf(*this);
  RefuseCharactersXmlCannotCarry(*this, u"the attribute", Name, Value);
  const TBstr name(Name);
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal =
      SysAllocStringLen(reinterpret_cast<const OLECHAR*>(Value.data()), static_cast<UINT>(Value.size()));
  if (value.bstrVal == nullptr) throw std::bad_alloc();
  const HRESULT hr = element->setAttribute(name.Get(), value);
  VariantClear(&value);
  Check(hr);
}

void TbrvXmlNode::SetText(std::u16string_view Text) const {
  ElementOf(*this);
  RefuseCharactersXmlCannotCarry(*this, u"the text", {}, Text);
  IXMLDOMNode* node = FImpl->Node.Get();
  for (;;) {
    TComPtr<IXMLDOMNode> child;
    Check(node->get_firstChild(child.Put()));
    if (!child) break;
    TComPtr<IXMLDOMNode> removed;
    Check(node->removeChild(child.Get(), removed.Put()));
  }
  if (Text.empty()) return;
  const TBstr text(Text);
  TComPtr<IXMLDOMText> textNode;
  Check(FImpl->Doc->Doc->createTextNode(text.Get(), textNode.Put()));
  Append(node, textNode.Get());
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

  TComPtr<IStream> stream;
  Check(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
  ULONG written = 0;
  if (!Bytes.empty()) Check(stream->Write(Bytes.data(), static_cast<ULONG>(Bytes.size()), &written));
  LARGE_INTEGER origin{};
  Check(stream->Seek(origin, STREAM_SEEK_SET, nullptr));

  VARIANT source;
  VariantInit(&source);
  source.vt = VT_UNKNOWN;
  source.punkVal = stream.Get();  // borrowed: load does not own it
  VARIANT_BOOL ok = VARIANT_FALSE;
  const HRESULT hr = impl->Doc->load(source, &ok);
  if (SUCCEEDED(hr) && ok == VARIANT_TRUE) return TbrvXmlDocument(std::move(impl));

  long code = hr, line = 0, column = 0;
  std::u16string reason;
  TComPtr<IXMLDOMParseError> error;
  if (SUCCEEDED(impl->Doc->get_parseError(error.Put())) && error) {
    error->get_errorCode(&code);
    error->get_line(&line);
    error->get_linepos(&column);
    TBstr text;
    if (SUCCEEDED(error->get_reason(text.Put()))) reason = OneShortLine(TrimEnd(text.Text()));
  }
  if (SUCCEEDED(code)) code = kE_FAIL;
  // Wine's MSXML gives a stand-in parse error: no position and the reason "error".
  if (line <= 0 && (reason.empty() || reason == u"error")) {
    reason = u"the document is not well-formed XML";
    const std::u16string detail = EbrvXml::ErrorMessage(code);
    if (!detail.empty()) reason += u" (" + detail + u")";
  }
  std::u16string where;
  if (line > 0) where = u"line " + Number(line) + u", column " + Number(column) + u": ";
  throw EbrvXml(code, impl->Source + u": " + where + reason);
}

TbrvXmlNode TbrvXmlDocument::DocumentElement() const {
  TComPtr<IXMLDOMElement> element;
  Check(FImpl->Doc->get_documentElement(element.Put()));
  if (!element) return {};
  return Wrap(FImpl, element.Query<IXMLDOMNode>(IID_IXMLDOMNode));
}

std::vector<TbrvXmlNode> TbrvXmlDocument::ChildNodes() const { return Children(FImpl, FImpl->Doc.Get()); }

TbrvXmlNode TbrvXmlDocument::CreateDocumentElement(std::u16string_view Name) {
  if (DocumentElement()) throw EbrvXml(kE_INVALIDARG, u"XML: the document already has a document element");
  const TBstr name(Name);
  TComPtr<IXMLDOMElement> element;
  Check(FImpl->Doc->createElement(name.Get(), element.Put()));
  return Wrap(FImpl, Append(FImpl->Doc.Get(), element.Get()));
}

}  // namespace brv::platform
