// The XML seam: a small DOM over pugixml (portable) or the MSXML 6 DOM (Windows), used by the
// configuration file and the mailbox file. Both sides read the same trees, attribute
// values and texts, and write the same bytes (the seam serialises the tree itself).
//
// Node model, identical on both sides:
// - a document's children are its comments, processing instructions and its one document
//   element; the XML declaration is not a node;
// - an element's children are elements, text, CDATA sections, comments and processing
//   instructions, in document order; adjacent text and CDATA stay separate nodes;
// - a text node of white space only is not a node, unless it is its element's only child
//   (so indentation disappears, but <v> </v> holds the text " ");
// - line breaks are normalised to "\n" on reading (XML 1.0 end-of-line handling);
// - a DOCTYPE is not a node (MSXML 6 rejects one by default, pugixml skips it): the files of
//   this system have none.
//
// Threads and COM (Windows): callers need not initialise COM. A document (with every node
// handle of it) holds a COM initialisation of the thread that made it for its whole life:
// CoInitializeEx(COINIT_APARTMENTTHREADED) when it is made, the matching CoUninitialize when the
// last handle is gone. On a thread that already has COM the caller's apartment is used as it is
// (in an STA the count goes up and down again; in the MTA the call fails with
// RPC_E_CHANGED_MODE and nothing changes). Use a document and its nodes on that thread only.
//
// Errors: every failure raises EbrvXml. Its message names the file (or the source name given to
// Parse) and says what is wrong and where:
//   "<file>: line L, column C: <reason>"             a document that is not well-formed (Wine's
//                                                    MSXML gives no position: "<file>: <reason>")
//   "<file>: cannot read the file: <system text>"    missing, a folder, no access, ...
//   "<file>: cannot write the file: <system text>"   folder missing, disk full, no access, ...
//   "<file>: element /a/b[2]: the element does not contain a single text node"   Text()
//   "element /a/b[2]: the attribute "x" holds U+0001, a character XML cannot carry"
//                                                    SetAttribute(), SetText()
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/exception.h"

namespace brv::platform {

// The error raised by the XML seam. ErrorCode: the converted operating-system error for file
// access, the parser's code for a parse error (E_FAIL where the parser has none),
// kXmlNotSingleText for Text() of an element without a single text node.
class EbrvXml : public TbrvErrorClass<EbrvXml, EbrvObject> {
 public:
  using TbrvErrorClass::TbrvErrorClass;
};

// The code of the error "the element does not contain a single text node" (MSXML's own code
// for it, used on both sides).
inline constexpr TbrvResult kXmlNotSingleText = static_cast<TbrvResult>(0xC00CE23EU);

// The code of the error "... a character XML cannot carry" (MSXML's own code for an invalid
// character, used on both sides).
inline constexpr TbrvResult kXmlInvalidCharacter = static_cast<TbrvResult>(0xC00CE508U);

// Where Text holds a character that XML 1.0 cannot carry at all, not even as a character
// reference (U+0000-U+0008, U+000B, U+000C, U+000E-U+001F, U+FFFE, U+FFFF, a lone surrogate): the
// position of its first code unit; std::u16string_view::npos when every character can be written.
size_t FindCharacterXmlCannotCarry(std::u16string_view Text);

// How messages name a character: "U+" and at least four upper-case hexadecimal digits.
std::u16string CharacterName(char32_t CodePoint);

// Text quoted for a message that must stay one short line: in double quotes, cut after 60
// characters with "...", and line breaks, tabs and other control characters (and characters XML
// cannot carry) shown as \n, \r, \t and \uXXXX.
std::u16string QuotedForMessage(std::u16string_view Text);

// The kinds of node the seam shows.
enum class TbrvXmlNodeKind { Element, Text, CData, Comment, ProcessingInstruction };

// A handle to one node of a document. Copies are handles to the same node; a default-made
// handle is null. A handle keeps its document alive.
class TbrvXmlNode {
 public:
  class TImpl;  // the backend's node reference

  TbrvXmlNode() = default;
  explicit TbrvXmlNode(std::shared_ptr<TImpl> Impl) : FImpl(std::move(Impl)) {}

  // False for a null handle.
  explicit operator bool() const { return FImpl != nullptr; }
  bool IsNull() const { return FImpl == nullptr; }

  // The node's kind.
  TbrvXmlNodeKind Kind() const;
  bool IsElement() const { return Kind() == TbrvXmlNodeKind::Element; }
  // An element's name (case as written); a processing instruction's target; empty otherwise.
  std::u16string Name() const;
  // The content of a text, CDATA, comment or processing-instruction node; empty for an element.
  std::u16string Value() const;

  // All child nodes (see the node model above), in document order.
  std::vector<TbrvXmlNode> ChildNodes() const;
  // The child elements only, in document order.
  std::vector<TbrvXmlNode> Elements() const;
  // The child elements with exactly this name (case-sensitive), in document order.
  std::vector<TbrvXmlNode> Elements(std::u16string_view Name) const;
  // The parent element; null for the document element and for top-level nodes.
  TbrvXmlNode Parent() const;
  // The node before this one among its parent's ChildNodes(); null for the first.
  TbrvXmlNode PreviousSibling() const;

  // The attribute's value; std::nullopt when the element has no such attribute (an attribute
  // written as name="" is present and empty).
  std::optional<std::u16string> Attribute(std::u16string_view Name) const;
  bool HasAttribute(std::u16string_view Name) const { return Attribute(Name).has_value(); }
  // All attributes of an element as (name, value), in document (or setting) order.
  std::vector<std::pair<std::u16string, std::u16string>> Attributes() const;

  // The element's text: std::nullopt when the element has no child nodes; the content of its
  // only child when that is a text or CDATA node (possibly empty); anything else (child
  // elements, comments, several nodes) raises EbrvXml with kXmlNotSingleText, naming the
  // element by Path().
  std::optional<std::u16string> Text() const;

  // Where the node is, for messages: the element path from the document element with 1-based
  // positions among equally named siblings, e.g. "/Sortwise/store[1]/folder[2]".
  std::u16string Path() const;
  // The file (or Parse's source name) the node's document was read from; empty for a document
  // built in memory.
  std::u16string SourceName() const;
  // "<SourceName>: element <Path>" (or "element <Path>" without a source name): the prefix of
  // messages about this element, e.g. "C:\cfg.xml: element /Sortwise/store[1]".
  std::u16string Where() const;

  // Building, only on elements. A handle is like a pointer: these change the node, not the handle.
  // Appends a new child element after the existing children and returns it.
  TbrvXmlNode AppendElement(std::u16string_view Name) const;
  // Sets (adds or replaces) the attribute; attributes keep the order they were first set in.
  // A value with a character XML cannot carry raises EbrvXml (kXmlInvalidCharacter) and changes
  // nothing: no document is ever written that a parser refuses.
  void SetAttribute(std::u16string_view Name, std::u16string_view Value) const;
  // Replaces all children by one text node holding Text (by none when Text is empty). A
  // carriage return in Text is written as &#13;, but Wine's MSXML turns CR LF into LF. Text with
  // a character XML cannot carry raises EbrvXml as SetAttribute does.
  void SetText(std::u16string_view Text) const;

  const std::shared_ptr<TImpl>& Impl() const { return FImpl; }

 private:
  std::shared_ptr<TImpl> FImpl;
};

// An XML document.
class TbrvXmlDocument {
 public:
  class TImpl;  // the backend's document

  // A new, empty document (no document element yet). It is written with the declaration
  // <?xml version="1.0"?>.
  TbrvXmlDocument();
  ~TbrvXmlDocument();
  TbrvXmlDocument(TbrvXmlDocument&&) noexcept;
  TbrvXmlDocument& operator=(TbrvXmlDocument&&) noexcept;

  // Parses a file. A missing or unreadable file, or one that is not well-formed XML, raises
  // EbrvXml (message: the file name, then line and column where the parser gives them, then
  // the reason).
  static TbrvXmlDocument LoadFromFile(const std::u16string& Filename);
  // Parses a document held in memory (bytes as in a file: UTF-8, or another encoding declared
  // or marked by a byte-order mark). SourceName stands for the file name in error messages.
  // Both sides refuse what XML 1.0 does not allow (characters and character references it has
  // no place for, bytes invalid in the encoding, undefined entities, a bare "&", an attribute
  // twice, a DOCTYPE). Encodings: MSXML reads what the system's code pages cover; the pugixml
  // side reads UTF-8, UTF-16, UTF-32, windows-1252, ISO-8859-1, ISO-8859-15 and US-ASCII and
  // refuses any other.
  static TbrvXmlDocument Parse(std::string_view Bytes, std::u16string_view SourceName);

  // The document element; null when there is none.
  TbrvXmlNode DocumentElement() const;
  // The document's top-level nodes (comments, processing instructions, the document element).
  std::vector<TbrvXmlNode> ChildNodes() const;
  // Creates the document element (the document must not have one yet) and returns it.
  TbrvXmlNode CreateDocumentElement(std::u16string_view Name);

  // The document as written to a file: UTF-8 without byte-order mark, starting with exactly
  // <?xml version="1.0"?> and a line break, then each top-level node on a line of its own, with
  // no white space added inside the document element. Both sides write the same bytes: the
  // seam serialises the tree itself (escaping & < > in text; & < > " and tab, line feed and
  // carriage return in attribute values; carriage return in text as &#13;). It never holds a
  // character XML cannot carry: SetAttribute and SetText refuse one, and so does Parse.
  std::string SaveToBytes() const;
  // Writes SaveToBytes() to Filename without ever destroying the previous file: the bytes go to
  // a new file beside it, which then replaces Filename in one step (platform/file.h). Any
  // failure raises EbrvXml naming the file; the previous file is then intact and the temporary
  // file removed. The folder must exist.
  void SaveToFile(const std::u16string& Filename) const;

  const std::shared_ptr<TImpl>& Impl() const { return FImpl; }

 private:
  explicit TbrvXmlDocument(std::shared_ptr<TImpl> Impl);
  std::shared_ptr<TImpl> FImpl;
};

}  // namespace brv::platform
