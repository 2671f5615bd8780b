// What the pugixml side of the XML seam does around pugixml, so that it reads what MSXML 6 reads
// and refuses what MSXML 6 refuses. pugixml on its own reads a file declared windows-1252 as
// UTF-8, turns invalid UTF-8, lone surrogates and illegal character references into U+FFFD or
// lets them through, cuts a value short at &#0;, and accepts unknown entities, a bare &, a
// duplicate attribute, "<" in an attribute value, a DOCTYPE and elements nested at any depth.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brv::platform {

// Why a document is refused, and where: a byte offset into the UTF-8 text (see below), so that
// the caller can give line and column.
struct TXmlInputError {
  size_t Offset;
  std::u16string Reason;
};

// Decodes a document's bytes into Text, UTF-8 without byte-order mark, as MSXML would read them:
// by the byte-order mark (UTF-8, UTF-16, UTF-32), else by the first bytes (UTF-16 or UTF-32
// without mark), else by the encoding the XML declaration names: UTF-8 (also when none is
// named), windows-1252, ISO-8859-1, ISO-8859-15 and US-ASCII. Another encoding, bytes invalid in
// the encoding, and characters XML 1.0 does not allow are errors; Offset is then where the
// character stands in Text (Text holds what was decoded before it).
std::optional<TXmlInputError> DecodeXmlBytes(std::string_view Bytes, std::string& Text);

// Checks the markup of a document pugixml has parsed without error (Text as DecodeXmlBytes made
// it) for what pugixml lets through: character references to characters XML does not allow and
// malformed ones, references to entities other than the five predefined ones, a bare "&", "<" in
// an attribute value, an attribute twice in one element, "]]>" in text, "--" in a comment, a
// DOCTYPE (MSXML 6 prohibits DTDs), an XML declaration anywhere but at the start, and elements
// nested more than 256 deep (MSXML 6's limit).
std::optional<TXmlInputError> CheckXmlMarkup(std::string_view Text);

}  // namespace brv::platform
