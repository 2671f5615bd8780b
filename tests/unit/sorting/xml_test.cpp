// The XML seam: the same expectations natively (pugixml) and under Wine (MSXML 6).
#include "platform/xml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "foundation/text.h"
#include "platform/file.h"
#include "test_files.h"

namespace brv::platform {
namespace {

using swo::test::TTempDir;
using ::testing::HasSubstr;

std::string U8(std::u16string_view Text) { return Utf16ToUtf8(Text); }

// A compact picture of a tree: elements with attributes in order, text, CDATA, comments and
// processing instructions, so that two trees compare as one string.
std::u16string Dump(const TbrvXmlNode& Node) {
  switch (Node.Kind()) {
    case TbrvXmlNodeKind::Element: {
      std::u16string out = u"<" + Node.Name();
      for (const auto& [name, value] : Node.Attributes()) out += u" " + name + u"='" + value + u"'";
      out += u">";
      for (const auto& child : Node.ChildNodes()) out += Dump(child);
      return out + u"</>";
    }
    case TbrvXmlNodeKind::Text:
      return u"T(" + Node.Value() + u")";
    case TbrvXmlNodeKind::CData:
      return u"C(" + Node.Value() + u")";
    case TbrvXmlNodeKind::Comment:
      return u"#(" + Node.Value() + u")";
    case TbrvXmlNodeKind::ProcessingInstruction:
      return u"?(" + Node.Name() + u" " + Node.Value() + u")";
  }
  return u"";
}

std::u16string Dump(const TbrvXmlDocument& Doc) {
  std::u16string out;
  for (const auto& node : Doc.ChildNodes()) out += Dump(node);
  return out;
}

const char kSample[] =
    "<?xml version=\"1.0\"?>\n"
    "<!-- before -->\n"
    "<root a=\"1\" empty=\"\" b=\"x &amp; &lt;y&gt; &quot;z&quot; &#233;\">\n"
    "  <!-- a comment -->\n"
    "  <?app do this?>\n"
    "  <one>text</one>\n"
    "  <blank> </blank>\n"
    "  <none></none>\n"
    "  <selfclosed/>\n"
    "  <cdata><![CDATA[<not> & markup]]></cdata>\n"
    "  <mixed>a<b/>c</mixed>\n"
    "  <commented>a<!-- c --></commented>\n"
    "  <two><![CDATA[x]]>y</two>\n"
    "  <crlf>a\r\nb\rc</crlf>\n"
    "  <spaced>  keep  me  </spaced>\n"
    "  <unicode name=\"Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC \xF0\x9F\x98\x80\">\xC3\xA9t\xC3\xA9 "
    "\xE2\x82\xAC</unicode>\n"
    "  <one>second</one>\n"
    "  <attrs tab=\"a&#9;b\" nl=\"a\nb\"/>\n"
    "</root>\n";

TEST(XmlParse, ShowsTheNodeModelInDocumentOrder) {
  const TbrvXmlDocument doc = TbrvXmlDocument::Parse(kSample, u"sample.xml");
  EXPECT_EQ(U8(Dump(doc)),
            U8(u"#( before )"
               u"<root a='1' empty='' b='x & <y> \"z\" \u00E9'>#( a comment )?(app do this)"
               u"<one>T(text)</><blank>T( )</><none></><selfclosed></><cdata>C(<not> & markup)</>"
               u"<mixed>T(a)<b></>T(c)</><commented>T(a)#( c )</><two>C(x)T(y)</>"
               u"<crlf>T(a\nb\nc)</><spaced>T(  keep  me  )</>"
               u"<unicode name='Gr\u00FC\u00DFe \u20AC \U0001F600'>T(\u00E9t\u00E9 \u20AC)</>"
               u"<one>T(second)</><attrs tab='a\tb' nl='a b'></></>"));
}

TEST(XmlParse, ReadsAttributesAsPresentAbsentOrEmpty) {
  const TbrvXmlNode root = TbrvXmlDocument::Parse(kSample, u"sample.xml").DocumentElement();
  ASSERT_TRUE(root);
  EXPECT_EQ(root.Name(), u"root");
  EXPECT_EQ(root.Attribute(u"a"), std::optional<std::u16string>(u"1"));
  EXPECT_EQ(root.Attribute(u"empty"), std::optional<std::u16string>(u""));
  EXPECT_EQ(root.Attribute(u"missing"), std::nullopt);
  EXPECT_EQ(root.Attribute(u"A"), std::nullopt) << "attribute names are case-sensitive";
  EXPECT_TRUE(root.HasAttribute(u"empty"));
  EXPECT_FALSE(root.HasAttribute(u"missing"));
}

TEST(XmlParse, WalksElementsByNameCaseSensitively) {
  const TbrvXmlNode root = TbrvXmlDocument::Parse(kSample, u"sample.xml").DocumentElement();
  const auto ones = root.Elements(u"one");
  ASSERT_EQ(ones.size(), 2u);
  EXPECT_EQ(ones[0].Text(), std::optional<std::u16string>(u"text"));
  EXPECT_EQ(ones[1].Text(), std::optional<std::u16string>(u"second"));
  EXPECT_TRUE(root.Elements(u"ONE").empty());
  EXPECT_EQ(root.Elements().size(), 13u);
  EXPECT_EQ(ones[1].Parent().Name(), u"root");
  EXPECT_FALSE(root.Parent());
  EXPECT_EQ(ones[1].Path(), u"/root/one[2]");
  EXPECT_EQ(ones[1].Where(), u"sample.xml: element /root/one[2]");
  EXPECT_EQ(ones[1].SourceName(), u"sample.xml");
}

TEST(XmlParse, TextIsTheSingleTextOrCDataNode) {
  const TbrvXmlNode root = TbrvXmlDocument::Parse(kSample, u"sample.xml").DocumentElement();
  auto text = [&](std::u16string_view name) { return root.Elements(name).at(0).Text(); };
  EXPECT_EQ(text(u"one"), std::optional<std::u16string>(u"text"));
  EXPECT_EQ(text(u"blank"), std::optional<std::u16string>(u" "));
  EXPECT_EQ(text(u"none"), std::nullopt);
  EXPECT_EQ(text(u"selfclosed"), std::nullopt);
  EXPECT_EQ(text(u"cdata"), std::optional<std::u16string>(u"<not> & markup"));
  EXPECT_EQ(text(u"spaced"), std::optional<std::u16string>(u"  keep  me  "));
  EXPECT_EQ(text(u"unicode"), std::optional<std::u16string>(u"\u00E9t\u00E9 \u20AC"));
  for (const char16_t* name : {u"mixed", u"commented", u"two"}) {
    try {
      text(name);
      ADD_FAILURE() << "no error for " << U8(name);
    } catch (const EbrvXml& e) {
      EXPECT_EQ(e.ErrorCode(), kXmlNotSingleText);
      EXPECT_EQ(U8(e.Message()), U8(u"sample.xml: element /root/" + std::u16string(name) +
                                    u"[1]: the element does not contain a single text node"));
    }
  }
}

TEST(XmlParse, AcceptsAByteOrderMarkAndUtf16) {
  const std::string utf8 = "\xEF\xBB\xBF<r a=\"\xC3\xA9\"/>";
  EXPECT_EQ(TbrvXmlDocument::Parse(utf8, u"bom.xml").DocumentElement().Attribute(u"a"),
            std::optional<std::u16string>(u"\u00E9"));
  const std::u16string wide = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?><r a=\"\u00E9\"/>";
  std::string utf16;
  for (const char16_t c : wide) {
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  EXPECT_EQ(TbrvXmlDocument::Parse(utf16, u"utf16.xml").DocumentElement().Attribute(u"a"),
            std::optional<std::u16string>(u"\u00E9"));
}

struct BadDocument {
  const char* bytes;
  int line;  // 0: the parser may give no line
};

TEST(XmlParse, AnIllFormedDocumentNamesTheFileLineAndColumn) {
  const BadDocument cases[] = {
      {"<?xml version=\"1.0\"?>\n<a>\n  <b>\n</a>\n", 4},       // tags do not match
      {"<?xml version=\"1.0\"?>\n<a>\n  <b x=1/>\n</a>\n", 3},  // unquoted attribute
      {"<?xml version=\"1.0\"?>\n<a>\n</a>\n<b/>\n", 4},        // second top-level element
      {"<?xml version=\"1.0\"?>\n<a>\n</a>\ntext\n", 4},        // text after the document element
      {"<?xml version=\"1.0\"?>\n<a>\n  <b>\n", 0},             // not closed: the end of the file
      {"", 0},                                                  // empty
      {"not xml at all", 1},
  };
  for (const BadDocument& c : cases) {
    try {
      TbrvXmlDocument::Parse(c.bytes, u"C:\\cfg\\bad.xml");
      ADD_FAILURE() << "no error for: " << c.bytes;
    } catch (const EbrvXml& e) {
      EXPECT_TRUE(EbrvXml::IsFailed(e.ErrorCode()));
      const std::string message = U8(e.Message());
      EXPECT_THAT(message, ::testing::StartsWith("C:\\cfg\\bad.xml: ")) << c.bytes;
      if (c.line > 0 && swo::test::ParserGivesPositions()) {
        EXPECT_THAT(message, HasSubstr(": line " + std::to_string(c.line) + ", column ")) << c.bytes;
      }
      EXPECT_GT(message.size(), std::string("C:\\cfg\\bad.xml: ").size() + 3) << "a reason follows";
    }
  }
}

TEST(XmlBuild, WritesTheDeclarationAndTheTreeInUtf8) {
  TbrvXmlDocument doc;
  TbrvXmlNode root = doc.CreateDocumentElement(u"Sortwise");
  root.SetAttribute(u"version", u"1.0");
  TbrvXmlNode value = root.AppendElement(u"configuration").AppendElement(u"value");
  value.SetAttribute(u"name", u"A \"q\" & <b>\t\n\r");
  value.SetText(u"x & <y> \"z\" \u00E9\u20AC\U0001F600\n");
  root.AppendElement(u"store").SetAttribute(u"name", u"");
  root.SetAttribute(u"version", u"2.0");  // replaced in place
  EXPECT_EQ(doc.SaveToBytes(),
            "<?xml version=\"1.0\"?>\n"
            "<Sortwise version=\"2.0\"><configuration>"
            "<value name=\"A &quot;q&quot; &amp; &lt;b&gt;&#9;&#10;&#13;\">"
            "x &amp; &lt;y&gt; \"z\" \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\n</value>"
            "</configuration><store name=\"\"/></Sortwise>\n");
}

TEST(XmlBuild, WhatIsWrittenReadsBackAsTheSameTree) {
  TbrvXmlDocument doc;
  TbrvXmlNode root = doc.CreateDocumentElement(u"r");
  root.SetAttribute(u"a", u"A \"q\" & <b>\t\n\r \u00E9");
  root.AppendElement(u"t").SetText(u"x & <y> ]]> \n \u00E9");
  root.AppendElement(u"blank").SetText(u"  ");
  root.AppendElement(u"empty");
  const TbrvXmlDocument again = TbrvXmlDocument::Parse(doc.SaveToBytes(), u"again.xml");
  EXPECT_EQ(U8(Dump(again)), U8(Dump(doc)));
  EXPECT_EQ(again.DocumentElement().Elements(u"t").at(0).Text(),
            std::optional<std::u16string>(u"x & <y> ]]> \n \u00E9"));
}

TEST(XmlBuild, SetTextReplacesAllChildren) {
  TbrvXmlDocument doc = TbrvXmlDocument::Parse("<r><v>a<b/>c</v></r>", u"x");
  TbrvXmlNode v = doc.DocumentElement().Elements(u"v").at(0);
  v.SetText(u"new");
  EXPECT_EQ(v.Text(), std::optional<std::u16string>(u"new"));
  v.SetText(u"");
  EXPECT_EQ(v.Text(), std::nullopt);
  EXPECT_THROW(doc.CreateDocumentElement(u"second"), EbrvXml);
}

// Bytes of a document in UTF-16LE with a byte-order mark.
std::string Utf16Le(std::u16string_view Text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t c : Text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

// Expects Parse to refuse Bytes with an EbrvXml whose message is one short line naming the
// source and, where the parser gives positions, the line.
void ExpectRefused(std::string_view Bytes, int Line, const std::string& Label) {
  try {
    TbrvXmlDocument::Parse(Bytes, u"C:\\cfg\\bad.xml");
    ADD_FAILURE() << "no error for " << Label;
  } catch (const EbrvXml& e) {
    EXPECT_TRUE(EbrvXml::IsFailed(e.ErrorCode())) << Label;
    const std::string message = U8(e.Message());
    EXPECT_THAT(message, ::testing::StartsWith("C:\\cfg\\bad.xml: ")) << Label;
    if (Line > 0 && swo::test::ParserGivesPositions()) {
      EXPECT_THAT(message, HasSubstr(": line " + std::to_string(Line) + ", column ")) << Label;
    }
    EXPECT_EQ(message.find('\n'), std::string::npos) << Label;
    EXPECT_LT(message.size(), 300u) << Label;
  }
}

TEST(XmlParse, RefusesWhatXml10DoesNotAllowLikeMsxml) {
  struct Case {
    const char* label;
    std::string bytes;
    int line;  // where the parser gives positions
  };
  const Case cases[] = {
      // Character references to characters XML 1.0 does not allow, and malformed ones.
      {"&#0; in a value", "<r>\n<e a=\"news&#0;@techdigest.example\"/></r>", 2},
      {"&#1; in text", "<r>\n<v>a&#1;b</v></r>", 2},
      {"&#x1F;", "<r>&#x1F;</r>", 1},
      {"&#xFFFE;", "<r>&#xFFFE;</r>", 1},
      {"&#xFFFF;", "<r a=\"&#xFFFF;\"/>", 1},
      {"&#xD800; (a surrogate)", "<r>&#xD800;</r>", 1},
      {"&#x110000;", "<r>&#x110000;</r>", 1},
      {"&#12a;", "<r>&#12a;</r>", 1},
      {"&#;", "<r>&#;</r>", 1},
      // Characters that may not stand in a document at all.
      {"a raw U+0001", "<r>\n\x01</r>", 2},
      {"a raw U+001F in a value", "<r a=\"\x1F\"/>", 1},
      {"a raw U+FFFF", "<r>\xEF\xBF\xBF</r>", 1},
      // Bytes that are not UTF-8.
      {"a byte 0xFF", "<r>\n\n\xFF</r>", 3},
      {"an overlong form", "<r>\xC0\xAF</r>", 1},
      {"an encoded surrogate", "<r>\xED\xA0\x80</r>", 1},
      {"a truncated sequence", "<r>\xE2\x82</r>", 1},
      {"UTF-16 with a lone surrogate", Utf16Le(u"<r>\n\xD800x</r>"), 2},
      // References to entities no DTD declares, and a bare &.
      {"an unknown entity", "<r>&nbsp;</r>", 1},
      {"an unknown entity in a value", "<r a=\"&foo;\"/>", 1},
      {"a bare &", "<r>Smith & Sons</r>", 1},
      {"&amp without ;", "<r a=\"x &amp y\"/>", 1},
      // Markup pugixml lets through.
      {"an attribute twice", "<r>\n<e a=\"1\" b=\"2\" a=\"3\"/></r>", 2},
      {"< in a value", "<r a=\"x<y\"/>", 1},
      {"]]> in text", "<r>a]]>b</r>", 1},
      {"-- in a comment", "<r><!-- a -- b --></r>", 1},
      {"a second declaration", "<r/>\n<?xml version=\"1.0\"?>", 2},
  };
  for (const Case& c : cases) ExpectRefused(c.bytes, c.line, c.label);
}

std::string Nested(int Depth) {
  std::string xml;
  for (int i = 0; i < Depth; ++i) xml += "<e>\n";
  for (int i = 0; i < Depth; ++i) xml += "</e>";
  return xml;
}

TEST(XmlParse, ElementsNestedDeeperThanMsxmlReadsAreRefused) {
  EXPECT_EQ(TbrvXmlDocument::Parse(Nested(200), u"deep.xml").DocumentElement().Name(), u"e");
  ExpectRefused(Nested(300), 257, "300 deep");
  ExpectRefused(Nested(100000), 257, "100000 deep");
}

TEST(XmlParse, WhatLooksLikeAReferenceInCommentsCDataAndInstructionsIsText) {
  const TbrvXmlDocument doc = TbrvXmlDocument::Parse(
      "<r a=\"&lt;&gt;&amp;&apos;&quot;&#65;&#x42;&#x1F600;\"><![CDATA[&#0; & &foo; <a a a>]]>"
      "<!-- & &#0; --><?app & &#0;?></r>",
      u"refs.xml");
  EXPECT_EQ(U8(Dump(doc)),
            U8(u"<r a='<>&'\"AB\U0001F600'>C(&#0; & &foo; <a a a>)#( & &#0; )?(app & &#0;)</>"));
}

TEST(XmlParse, ReadsTheDeclaredSingleByteEncodings) {
  struct Case {
    const char* encoding;
    std::string bytes;  // of the attribute value
    std::u16string expected;
  };
  const Case cases[] = {
      {"windows-1252", "M\xFCller \x80 \x84\x93\x94\x9F \xE9",
       u"M\u00FCller \u20AC \u201E\u201C\u201D\u0178 \u00E9"},
      {"Windows-1252", "\xA0\xFF", u"\u00A0\u00FF"},
      {"ISO-8859-1", "M\xFCller \xA4 \xFF", u"M\u00FCller \u00A4 \u00FF"},
      {"iso-8859-15", "\xA4 \xBD \xFC", u"\u20AC \u0153 \u00FC"},
      {"US-ASCII", "plain", u"plain"},
      {"UTF-8", "\xC3\xBC", u"\u00FC"},
  };
  for (const Case& c : cases) {
    const std::string bytes = std::string("<?xml version=\"1.0\" encoding=\"") + c.encoding +
                              "\"?>\n<r a=\"" + c.bytes + "\">" + c.bytes + "</r>";
    try {
      const TbrvXmlNode root = TbrvXmlDocument::Parse(bytes, u"encoded.xml").DocumentElement();
      EXPECT_EQ(U8(root.Attribute(u"a").value_or(u"")), U8(c.expected)) << c.encoding;
      EXPECT_EQ(U8(root.Text().value_or(u"")), U8(c.expected)) << c.encoding;
    } catch (const EbrvXml& e) {
      ADD_FAILURE() << c.encoding << ": " << U8(e.Message());
    }
  }
  // A byte outside the declared encoding.
  ExpectRefused("<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\n<r>\xE9</r>", 2, "US-ASCII");
}

#ifndef _WIN32
// MSXML reads many more encodings (through the system's code pages); the pugixml side reads
// those above and refuses the rest rather than reading them as UTF-8.
TEST(XmlParse, AnEncodingThePortableSideCannotConvertIsRefused) {
  for (const char* encoding : {"koi8-r", "Shift_JIS", "UTF-16"}) {
    try {
      TbrvXmlDocument::Parse(std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?><r>\xE9</r>",
                             u"x.xml");
      ADD_FAILURE() << "no error for " << encoding;
    } catch (const EbrvXml& e) {
      EXPECT_THAT(U8(e.Message()), ::testing::StartsWith("x.xml: line 1, column 1: ")) << encoding;
      EXPECT_THAT(U8(e.Message()), HasSubstr(std::string("\"") + encoding + "\"")) << encoding;
    }
  }
}
#endif

TEST(XmlParse, AnErrorQuotesAtMostAShortPieceOfTheDocument) {
  const std::string huge(1 << 20, 'x');
  ExpectRefused("<r>\n&" + huge + ";</r>", 2, "a 1 MiB entity name");
  ExpectRefused("<r>\n<e a=\"" + huge + "&#1;\"/></r>", 2, "a 1 MiB value with a bad reference");
  ExpectRefused("<r>\n<e " + huge + "=\"1\" " + huge + "=\"2\"/></r>", 2, "a 1 MiB attribute name twice");
}

TEST(XmlBuild, TextXmlCannotCarryIsRefusedAndNothingChanges) {
  const std::u16string bad[] = {
      std::u16string(1, u'\0'),
      u"\u0001",
      u"\u0008",
      u"\u000B",
      u"\u000C",
      u"\u000E",
      u"\u001F",
      u"\uFFFE",
      u"\uFFFF",
      u"\xD800",
      u"\xDBFF",
      u"\xDC00",
      u"\xDFFF",
      u"\xD800x",
  };
  for (const std::u16string& c : bad) {
    const std::u16string text = u"news" + c + u"@techdigest.example";
    const std::string label = "U+" + std::to_string(static_cast<unsigned>(c[0]));
    TbrvXmlDocument doc;
    TbrvXmlNode root = doc.CreateDocumentElement(u"r");
    TbrvXmlNode entry = root.AppendElement(u"entry");
    entry.SetAttribute(u"address", u"before");
    const TbrvXmlNode value = root.AppendElement(u"value");
    value.SetText(u"before");
    try {
      entry.SetAttribute(u"address", text);
      ADD_FAILURE() << "no error for the attribute, " << label;
    } catch (const EbrvXml& e) {
      EXPECT_EQ(e.ErrorCode(), kXmlInvalidCharacter);
      EXPECT_EQ(U8(e.Message()), U8(u"element /r/entry[1]: the attribute \"address\" holds " +
                                    CharacterName(c[0]) + u", a character XML cannot carry"));
    }
    try {
      value.SetText(text);
      ADD_FAILURE() << "no error for the text, " << label;
    } catch (const EbrvXml& e) {
      EXPECT_EQ(e.ErrorCode(), kXmlInvalidCharacter);
      EXPECT_THAT(U8(e.Message()), ::testing::StartsWith("element /r/value[1]: the text holds U+")) << label;
    }
    EXPECT_EQ(doc.SaveToBytes(),
              "<?xml version=\"1.0\"?>\n<r><entry address=\"before\"/><value>before</value></r>\n")
        << label;
  }
}

TEST(XmlBuild, EveryCharacterXmlCanCarryReadsBackAsWritten) {
  const std::u16string good[] = {
      u"\t",     u"\n",     u"\r",         u" ",          u"\u007F",     u"\u0080",
      u"\u0085", u"\u009F", u"\u00A0",     u"\u2028",     u"\uD7FF",     u"\uE000",
      u"\uFEFF", u"\uFFFD", u"\U00010000", u"\U0001F600", u"\U0010FFFF",
  };
  for (const std::u16string& c : good) {
    const std::u16string text = u"a" + c + u"b";
    TbrvXmlDocument doc;
    TbrvXmlNode root = doc.CreateDocumentElement(u"r");
    root.SetAttribute(u"a", text);
    root.AppendElement(u"t").SetText(text);
    const TbrvXmlNode again = TbrvXmlDocument::Parse(doc.SaveToBytes(), u"again.xml").DocumentElement();
    EXPECT_EQ(again.Attribute(u"a"), std::optional<std::u16string>(text)) << U8(CharacterName(c[0]));
    if (c == u"\r" && swo::test::UnderWine()) continue;  // Wine's MSXML reads &#13; in text as "\n"
    EXPECT_EQ(again.Elements(u"t").at(0).Text(), std::optional<std::u16string>(text))
        << U8(CharacterName(c[0]));
  }
}

TEST(XmlMessages, QuotedTextStaysOneShortLine) {
  EXPECT_EQ(U8(QuotedForMessage(u"bob@example.com")), "\"bob@example.com\"");
  EXPECT_EQ(U8(QuotedForMessage(u"")), "\"\"");
  EXPECT_EQ(U8(QuotedForMessage(u"a\nb\r\tc\u0001\u0085\uFFFF\xD800 \u00E9\U0001F600")),
            U8(u"\"a\\nb\\r\\tc\\u0001\\u0085\\uFFFF\\uD800 \u00E9\U0001F600\""));
  EXPECT_EQ(U8(QuotedForMessage(std::u16string(1 << 20, u'x'))), "\"" + std::string(60, 'x') + "...\"");
  // A pair is never cut in half.
  const std::u16string pairs = std::u16string(59, u'x') + u"\U0001F600\U0001F600";
  EXPECT_EQ(U8(QuotedForMessage(pairs)), "\"" + std::string(59, 'x') + "...\"");
  EXPECT_EQ(U8(CharacterName(0)), "U+0000");
  EXPECT_EQ(U8(CharacterName(0x1F600)), "U+1F600");
}

TEST(XmlFile, AMissingFileIsAnErrorNamingTheFile) {
  TTempDir dir;
  const std::u16string file = dir.File(u"missing.xml");
  try {
    TbrvXmlDocument::LoadFromFile(file);
    ADD_FAILURE() << "no error";
  } catch (const EbrvXml& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<TbrvResult>(0x80070002));
    EXPECT_EQ(U8(e.Message()), U8(file + u": cannot read the file: " + EbrvXml::ErrorMessage(e.ErrorCode())));
    EXPECT_FALSE(EbrvXml::ErrorMessage(e.ErrorCode()).empty());
  }
}

TEST(XmlFile, AFolderIsNotAReadableFile) {
  TTempDir dir;
  const std::u16string folder = dir.Path().u16string();
  try {
    TbrvXmlDocument::LoadFromFile(folder);
    ADD_FAILURE() << "no error";
  } catch (const EbrvXml& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<TbrvResult>(0x80070005));
    EXPECT_THAT(U8(e.Message()), ::testing::StartsWith(U8(folder + u": cannot read the file: ")));
  }
}

TEST(XmlFile, SavesAndLoadsWithNonAsciiFileNames) {
  TTempDir dir;
  const std::u16string file = dir.File(u"R\u00E8gles \u20AC.xml");
  TbrvXmlDocument doc;
  doc.CreateDocumentElement(u"r").SetText(u"\u00E9");
  doc.SaveToFile(file);
  EXPECT_EQ(swo::test::ReadBytes(file), "<?xml version=\"1.0\"?>\n<r>\xC3\xA9</r>\n");
  EXPECT_EQ(TbrvXmlDocument::LoadFromFile(file).DocumentElement().Text(),
            std::optional<std::u16string>(u"\u00E9"));
}

TEST(XmlFile, SavingReplacesTheFileAndLeavesNoTemporaryFile) {
  TTempDir dir;
  const std::u16string file = dir.File(u"cfg.xml");
  swo::test::WriteBytes(file, "old and longer than the new content");
  TbrvXmlDocument doc;
  doc.CreateDocumentElement(u"new");
  doc.SaveToFile(file);
  EXPECT_EQ(swo::test::ReadBytes(file), "<?xml version=\"1.0\"?>\n<new/>\n");
  EXPECT_EQ(dir.Names(), std::vector<std::u16string>{u"cfg.xml"});
}

TEST(XmlFile, AFailedWriteKeepsThePreviousFileAndRemovesTheTemporaryOne) {
  TTempDir dir;
  const std::u16string file = dir.File(u"cfg.xml");
  swo::test::WriteBytes(file, "previous");
  std::u16string tempSeen;
  SetWriteFaultHook([&](const std::u16string& temp) {
    tempSeen = temp;
    EXPECT_EQ(swo::test::ReadBytes(temp), "<?xml version=\"1.0\"?>\n<new/>\n")
        << "the whole file was written first";
    return ResultFromOsError(112);  // ERROR_DISK_FULL
  });
  TbrvXmlDocument doc;
  doc.CreateDocumentElement(u"new");
  try {
    doc.SaveToFile(file);
    ADD_FAILURE() << "no error";
  } catch (const EbrvXml& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<TbrvResult>(0x80070070));
    EXPECT_EQ(U8(e.Message()),
              U8(file + u": cannot write the file: " + EbrvXml::ErrorMessage(e.ErrorCode())));
    EXPECT_FALSE(EbrvXml::ErrorMessage(e.ErrorCode()).empty());
  }
  SetWriteFaultHook(nullptr);
  EXPECT_EQ(swo::test::ReadBytes(file), "previous");
  EXPECT_EQ(dir.Names(), std::vector<std::u16string>{u"cfg.xml"});
  EXPECT_EQ(tempSeen.substr(0, file.size()), file) << "the temporary file is beside the target";
  EXPECT_FALSE(FileExists(tempSeen));
}

TEST(XmlFile, AMissingFolderIsAnErrorAndCreatesNothing) {
  TTempDir dir;
  const std::u16string file = dir.File(u"no-such-folder") + u"/cfg.xml";
  TbrvXmlDocument doc;
  doc.CreateDocumentElement(u"r");
  try {
    doc.SaveToFile(file);
    ADD_FAILURE() << "no error";
  } catch (const EbrvXml& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<TbrvResult>(0x80070003));
    EXPECT_THAT(U8(e.Message()), ::testing::StartsWith(U8(file + u": cannot write the file: ")));
  }
  EXPECT_TRUE(dir.Names().empty());
}

TEST(XmlFile, AFileInTheWayOfTheTargetIsAnError) {
  TTempDir dir;
  const std::u16string folder = dir.File(u"cfg.xml");
  std::filesystem::create_directory(std::filesystem::path(folder));
  TbrvXmlDocument doc;
  doc.CreateDocumentElement(u"r");
  EXPECT_THROW(doc.SaveToFile(folder), EbrvXml);
  EXPECT_EQ(dir.Names(), std::vector<std::u16string>{u"cfg.xml"});
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(folder)));
}

}  // namespace
}  // namespace brv::platform
