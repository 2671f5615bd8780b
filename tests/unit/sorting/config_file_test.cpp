// The configuration file, natively on pugixml and under Wine on MSXML 6, with the
// same expectations.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <random>

#include "foundation/text.h"
#include "model_dump.h"
#include "platform/file.h"
#include "platform/xml.h"
#include "sorting/sortwise.h"
#include "test_files.h"

namespace swo {
namespace {

using brv::platform::EbrvXml;
using test::Dump;
using test::FixturePath;
using test::TTempDir;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string U8(std::u16string_view Text) { return brv::Utf16ToUtf8(Text); }

const char kDeclaration[] = "<?xml version=\"1.0\"?>\n";

const char kExampleModel[] =
    "config: IgnoreUnmarked=False | DoOnlyRead=True | DoOnlyComplete=False | Auto.Enabled=True | "
    "Auto.Filter=30\n"
    "store \"\" id=STORE_ID\n"
    "  folder \"Invoices\" id=FOLDER_ENTRY_ID\n"
    "    entry \"*\" [Categories=Invoice]\n"
    "    entry \"SENDER_ADDRESS\" []\n";

const char kRichModel[] =
    "config: doonlyread=False | Auto.Filter=14 | Notiz=Gr\xC3\xBC\xC3\x9F\x65, \xE2\x82\xAC & <tags> "
    "\xE2\x80\x94 "
    "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 | Spaces=  two  \n"
    "store \"\" id=STORE-2\n"
    "  folder \"Newsletter\" id=F-4\n"
    "    entry \"news@example.com\" []\n"
    "store \"\" id=STORE-1\n"
    "  folder \"Archive\" id=F-3\n"
    "    entry \"y@example.com\" []\n"
    "  folder \"archive\" id=F-2\n"
    "    entry \"x@example.com\" []\n"
    "  folder \"Rechnungen M\xC3\xBCller\" id=F-1\n"
    "    entry \"*\" [subject=\xC3\x9C\x62\x65rsicht | Categories=Rot]\n"
    "    entry \"B@example.com\" [Categories=Second]\n"
    "    entry \"b@example.com\" [Categories=First]\n"
    "    entry \"j\xC3\xB6rg@ex\xC3\xA4mple.de\" []\n";

// rich.xml saved and loaded again: equal keys swap places once more (stores, the two archive
// folders, the b@ and B@ entries); everything else stays.
const char kRichModelReloaded[] =
    "config: doonlyread=False | Auto.Filter=14 | Notiz=Gr\xC3\xBC\xC3\x9F\x65, \xE2\x82\xAC & <tags> "
    "\xE2\x80\x94 "
    "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 | Spaces=  two  \n"
    "store \"\" id=STORE-1\n"
    "  folder \"archive\" id=F-2\n"
    "    entry \"x@example.com\" []\n"
    "  folder \"Archive\" id=F-3\n"
    "    entry \"y@example.com\" []\n"
    "  folder \"Rechnungen M\xC3\xBCller\" id=F-1\n"
    "    entry \"*\" [subject=\xC3\x9C\x62\x65rsicht | Categories=Rot]\n"
    "    entry \"b@example.com\" [Categories=First]\n"
    "    entry \"B@example.com\" [Categories=Second]\n"
    "    entry \"j\xC3\xB6rg@ex\xC3\xA4mple.de\" []\n"
    "store \"\" id=STORE-2\n"
    "  folder \"Newsletter\" id=F-4\n"
    "    entry \"news@example.com\" []\n";

class ConfigFileTest : public ::testing::Test {
 protected:
  // Writes Bytes to a file of the temporary folder and loads the sorter from it.
  void LoadBytes(std::string_view Bytes) {
    test::WriteBytes(File, Bytes);
    Sorter->Load(File);
  }
  // Saves the sorter and returns the file's bytes.
  std::string SaveBytes() {
    Sorter->Save(File);
    return test::ReadBytes(File);
  }
  // Loads Bytes expecting an error of type E; returns its message.
  template <class E>
  std::string LoadFails(std::string_view Bytes) {
    try {
      LoadBytes(Bytes);
    } catch (const E& e) {
      return U8(e.Message());
    }
    ADD_FAILURE() << "no error for " << Bytes;
    return {};
  }

  TTempDir Dir;
  std::u16string File = Dir.File(u"Outlook.xml");
  std::unique_ptr<TSortwise> Sorter{TSortwise::Create()};
};

TEST_F(ConfigFileTest, TheExampleLoadsAndSavesBackAsTheSameTreeInKeyOrder) {
  Sorter->Load(FixturePath(u"example.xml"));
  EXPECT_EQ(Dump(*Sorter), kExampleModel);
  EXPECT_TRUE(Sorter->Config().GetAsBoolean(kDoOnlyRead));
  EXPECT_TRUE(Sorter->Config().GetAsBoolean(kAutoEnabled));
  EXPECT_FALSE(Sorter->Config().GetAsBoolean(kIgnoreUnmarked));
  // Saved: no white space between elements, the entries in key order ("*" before "S").
  EXPECT_EQ(SaveBytes(), test::ReadBytes(FixturePath(u"example-saved.xml")));
  // And that is a fixed point: loading it gives the same model and the same bytes.
  std::unique_ptr<TSortwise> again(TSortwise::Create());
  again->Load(File);
  EXPECT_EQ(Dump(*again), kExampleModel);
  again->Save(File);
  EXPECT_EQ(test::ReadBytes(File), test::ReadBytes(FixturePath(u"example-saved.xml")));
}

TEST_F(ConfigFileTest, HandWrittenFilesLoadTheSameWhateverTheirFormAndEncoding) {
  // Comments, indentation, CDATA, a processing instruction, wrongly cased element names, a
  // repeated setting, equal keys and text beyond ASCII; once in UTF-8, once in UTF-16.
  for (const char16_t* fixture : {u"rich.xml", u"rich-utf16.xml"}) {
    std::unique_ptr<TSortwise> sorter(TSortwise::Create());
    sorter->Load(FixturePath(fixture));
    EXPECT_EQ(Dump(*sorter), kRichModel) << U8(fixture);
  }
}

TEST_F(ConfigFileTest, AFileSavedByOneBackendLoadsInTheOther) {
  // rich.xml saved natively (pugixml) and under Wine (MSXML 6): both load alike on every side.
  for (const char16_t* fixture : {u"rich-saved-native.xml", u"rich-saved-win64.xml"}) {
    std::unique_ptr<TSortwise> sorter(TSortwise::Create());
    sorter->Load(FixturePath(fixture));
    EXPECT_EQ(Dump(*sorter), kRichModelReloaded) << U8(fixture);
  }
}

TEST_F(ConfigFileTest, EveryBackendWritesTheSameBytesAsTheOtherOneDid) {
  Sorter->Load(FixturePath(u"rich.xml"));
  const std::string saved = SaveBytes();
  if (const char* out = std::getenv("SORTWISE_FIXTURE_OUT")) {  // how the fixtures were made
#ifdef _WIN32
    const std::u16string name = sizeof(void*) == 8 ? u"/rich-saved-win64.xml" : u"/rich-saved-win32.xml";
#else
    const std::u16string name = u"/rich-saved-native.xml";
#endif
    test::WriteBytes(brv::Utf8ToUtf16(out) + name, saved);
  }
  EXPECT_EQ(saved, test::ReadBytes(FixturePath(u"rich-saved-native.xml")));
  EXPECT_EQ(saved, test::ReadBytes(FixturePath(u"rich-saved-win64.xml")));
  EXPECT_THAT(saved, StartsWith(kDeclaration));
}

TEST_F(ConfigFileTest, SavingWritesTheTreeOfPart22) {
  Sorter->Config().SetValue(kAutoFilter, u"7");
  TSwoStore* store = TSwoStore::Create(Sorter.get(), u"S1", u"");
  TSwoFolder* folder = TSwoFolder::Create(store, u"F1", u"Ab & \"c\"");
  folder->Add(u"x@y")->SetValue(u"Categories", u"<a>");
  TSwoFolder::Create(store, u"F2", u"empty folder");  // no entries: not written
  TSwoStore::Create(Sorter.get(), u"S2", u"");        // no folders: not written
  EXPECT_EQ(SaveBytes(),
            std::string(kDeclaration) +
                "<Sortwise version=\"1.0\"><configuration><value name=\"Auto.Filter\">7</value>"
                "</configuration><store name=\"\" id=\"S1\"><folder name=\"Ab &amp; &quot;c&quot;\" "
                "id=\"F1\"><entry address=\"x@y\"><property name=\"Categories\">&lt;a&gt;</property>"
                "</entry></folder></store></Sortwise>\n");
  EXPECT_EQ(Sorter->Count(), 2) << "saving leaves the model as it is";
  EXPECT_EQ(store->Count(), 2);
}

TEST_F(ConfigFileTest, TheConfigurationElementIsWrittenAlsoWithoutSettings) {
  EXPECT_EQ(SaveBytes(),
            std::string(kDeclaration) + "<Sortwise version=\"1.0\"><configuration/></Sortwise>\n");
}

TEST_F(ConfigFileTest, AStoreWhoseFoldersAreAllEmptyIsWrittenEmptyAndThenDisappears) {
  TSwoStore* store = TSwoStore::Create(Sorter.get(), u"S", u"");
  TSwoFolder::Create(store, u"F", u"no entries");
  EXPECT_THAT(SaveBytes(), HasSubstr("<store name=\"\" id=\"S\"/>"));
  Sorter->Load(File);
  ASSERT_EQ(Sorter->Count(), 1);
  EXPECT_EQ(Sorter->GetItem(0)->Count(), 0);
  EXPECT_THAT(SaveBytes(), ::testing::Not(HasSubstr("<store")));
}

TEST_F(ConfigFileTest, EntriesWithEqualAddressesSwapPlacesWithEveryLoadAndSave) {
  LoadBytes(
      "<Sortwise><store name=\"\" id=\"S\"><folder name=\"f\" id=\"F\">"
      "<entry address=\"a\"><property name=\"n\">first</property></entry>"
      "<entry address=\"A\"><property name=\"n\">second</property></entry>"
      "</folder></store></Sortwise>");
  const TSwoFolder* folder = Sorter->GetItem(0)->GetItem(0);
  EXPECT_EQ(folder->GetItem(0)->GetValue(u"n"), u"second");
  const std::string saved = SaveBytes();
  EXPECT_LT(saved.find("second"), saved.find("first"));
  Sorter->Load(File);
  EXPECT_EQ(Sorter->GetItem(0)->GetItem(0)->GetItem(0)->GetValue(u"n"), u"first");
}

TEST_F(ConfigFileTest, StoresWithEmptyNamesReverseTheirOrderWithEveryLoadAndSave) {
  LoadBytes(
      "<Sortwise><store name=\"\" id=\"S1\"><folder name=\"f\" id=\"F\"><entry "
      "address=\"a\"/></folder></store>"
      "<store name=\"\" id=\"S2\"><folder name=\"f\" id=\"F\"><entry "
      "address=\"a\"/></folder></store></Sortwise>");
  EXPECT_EQ(Sorter->GetItem(0)->Id(), u"S2");
  const std::string saved = SaveBytes();
  EXPECT_LT(saved.find("S2"), saved.find("S1"));
  Sorter->Load(File);
  EXPECT_EQ(Sorter->GetItem(0)->Id(), u"S1");
}

TEST_F(ConfigFileTest, ARepeatedSettingReplacesTheEarlierValueInPlace) {
  LoadBytes(
      "<Sortwise><configuration><value name=\"A\">1</value><value name=\"B\">2</value>"
      "<value name=\"a\">3</value></configuration></Sortwise>");
  EXPECT_EQ(Dump(*Sorter), "config: a=3 | B=2\n");
}

TEST_F(ConfigFileTest, AnyDocumentElementLoadsAndOtherNamesAreIgnored) {
  LoadBytes(
      "<Other><Configuration><value name=\"X\">1</value></Configuration>"
      "<Store name=\"\" id=\"S0\"/><store name=\"n\" id=\"S\"><Folder name=\"\" id=\"\"/><folder name=\"\" "
      "id=\"\">"
      "<ENTRY address=\"x\"/><entry address=\"\"><Property "
      "name=\"p\">v</Property></entry></folder></store></Other>");
  EXPECT_EQ(Dump(*Sorter),
            "config:\n"
            "store \"n\" id=S\n"
            "  folder \"\" id=\n"
            "    entry \"\" []\n");
}

TEST_F(ConfigFileTest, AnEmptyDocumentElementEmptiesTheStoresAndKeepsTheSettings) {
  Sorter->Config().SetValue(kDoOnlyRead, u"True");
  TSwoStore::Create(Sorter.get(), u"S", u"");
  LoadBytes("<?xml version=\"1.0\"?><Sortwise/>");
  EXPECT_EQ(Dump(*Sorter), "config: DoOnlyRead=True\n");
}

TEST_F(ConfigFileTest, EachConfigurationElementReplacesAllSettings) {
  Sorter->Config().SetValue(kDoOnlyRead, u"True");
  LoadBytes(
      "<Sortwise><configuration><value name=\"A\">1</value></configuration>"
      "<configuration><value name=\"B\">2</value></configuration></Sortwise>");
  EXPECT_EQ(Dump(*Sorter), "config: B=2\n");
  LoadBytes("<Sortwise><configuration/></Sortwise>");
  EXPECT_EQ(Dump(*Sorter), "config:\n");
}

TEST_F(ConfigFileTest, EmptyAttributesAreEmptyTextNotAnError) {
  LoadBytes(
      "<Sortwise><store name=\"\" id=\"\"><folder name=\"\" id=\"\"><entry "
      "address=\"\"/></folder></store></Sortwise>");
  EXPECT_EQ(Dump(*Sorter), "config:\nstore \"\" id=\n  folder \"\" id=\n    entry \"\" []\n");
}

TEST_F(ConfigFileTest, AMissingAttributeStopsWithAConversionErrorNamingFileAndElement) {
  struct Case {
    const char* body;
    const char* where;
    const char* attribute;
    const char* model;  // what was read before stays
  };
  const Case cases[] = {
      {"<store name=\"\" id=\"S1\"/><store name=\"\"/>", "/Sortwise/store[2]", "id",
       "store \"\" id=\nstore \"\" id=S1\n"},
      {"<store id=\"S1\"/>", "/Sortwise/store[1]", "name", "store \"\" id=S1\n"},
      {"<store name=\"\" id=\"S\"><folder name=\"f\" id=\"F1\"/><folder id=\"F2\"/></store>",
       "/Sortwise/store[1]/folder[2]", "name",
       "store \"\" id=S\n  folder \"\" id=F2\n  folder \"f\" id=F1\n"},
      {"<store name=\"\" id=\"S\"><folder name=\"f\"/></store>", "/Sortwise/store[1]/folder[1]", "id",
       "store \"\" id=S\n  folder \"\" id=\n"},
      {"<store name=\"\" id=\"S\"><folder name=\"f\" id=\"F\"><entry "
       "address=\"z\"/><entry/></folder></store>",
       "/Sortwise/store[1]/folder[1]/entry[2]", "address",
       "store \"\" id=S\n  folder \"f\" id=F\n    entry \"\" []\n    entry \"z\" []\n"},
      {"<store name=\"\" id=\"S\"><folder name=\"f\" id=\"F\"><entry address=\"z\"><property "
       "name=\"a\">1</property>"
       "<property>2</property></entry></folder></store>",
       "/Sortwise/store[1]/folder[1]/entry[1]/property[2]", "name",
       "store \"\" id=S\n  folder \"f\" id=F\n    entry \"z\" [a=1]\n"},
  };
  for (const Case& c : cases) {
    Sorter.reset(TSortwise::Create());
    const std::string message = LoadFails<EConvertError>(std::string("<Sortwise>") + c.body + "</Sortwise>");
    EXPECT_EQ(message,
              U8(File) + ": element " + c.where + ": the attribute \"" + c.attribute + "\" is missing");
    EXPECT_EQ(Dump(*Sorter), std::string("config:\n") + c.model) << c.body;
  }
  // The settings read before a bad value stay, too.
  Sorter->Config().SetValue(u"old", u"1");
  const std::string message = LoadFails<EConvertError>(
      "<Sortwise><configuration><value name=\"A\">1</value><value>2</value></configuration></Sortwise>");
  EXPECT_EQ(message,
            U8(File) + ": element /Sortwise/configuration[1]/value[2]: the attribute \"name\" is missing");
  EXPECT_EQ(Dump(*Sorter), "config: A=1\n");
}

TEST_F(ConfigFileTest, AValueOrPropertyWithoutTextIsAConversionError) {
  const char* bodies[] = {
      "<property name=\"p\"/>",
      "<property name=\"p\"></property>",
      "<property name=\"p\"><![CDATA[]]></property>",
  };
  for (const char* body : bodies) {
    Sorter.reset(TSortwise::Create());
    const std::string message = LoadFails<EConvertError>(
        std::string("<Sortwise><store name=\"\" id=\"S\"><folder name=\"f\" id=\"F\"><entry address=\"a\">"
                    "<property name=\"kept\">1</property>") +
        body + "</entry></folder></store></Sortwise>");
    EXPECT_EQ(
        message,
        U8(File) + ": element /Sortwise/store[1]/folder[1]/entry[1]/property[2]: the element has no text")
        << body;
    EXPECT_EQ(Dump(*Sorter), "config:\nstore \"\" id=S\n  folder \"f\" id=F\n    entry \"a\" [kept=1]\n")
        << body;
  }
  const std::string message =
      LoadFails<EConvertError>("<Sortwise><configuration><value name=\"a\"/></configuration></Sortwise>");
  EXPECT_EQ(message, U8(File) + ": element /Sortwise/configuration[1]/value[1]: the element has no text");
}

TEST_F(ConfigFileTest, ElementContentWhereTextIsExpectedIsTheXmlLibrarysError) {
  const char* values[] = {
      "<value name=\"a\"><b>1</b></value>",
      "<value name=\"a\">1<b/></value>",
      "<value name=\"a\">1<!-- why --></value>",
      "<value name=\"a\"><![CDATA[1]]>2</value>",
  };
  for (const char* value : values) {
    try {
      LoadBytes(std::string("<Sortwise><configuration>") + value + "</configuration></Sortwise>");
      ADD_FAILURE() << "no error for " << value;
    } catch (const EbrvXml& e) {
      EXPECT_EQ(e.ErrorCode(), brv::platform::kXmlNotSingleText);
      EXPECT_EQ(U8(e.Message()), U8(File) +
                                     ": element /Sortwise/configuration[1]/value[1]: the element does not "
                                     "contain a single text node")
          << value;
    }
  }
}

TEST_F(ConfigFileTest, TextIsStoredUnchanged) {
  LoadBytes(
      "<Sortwise><configuration><value name=\"a\">  padded  </value><value name=\"b\"> </value>"
      "<value name=\"c\">x=y</value><value name=\"d\">line\nbreak</value></configuration></Sortwise>");
  EXPECT_EQ(Sorter->Config().GetValue(u"a"), u"  padded  ");
  EXPECT_EQ(Sorter->Config().GetValue(u"b"), u" ");
  EXPECT_EQ(Sorter->Config().GetValue(u"c"), u"x=y");
  EXPECT_EQ(Sorter->Config().GetValue(u"d"), u"line\nbreak");
  const std::string before = Dump(*Sorter);
  Sorter->Load((Sorter->Save(File), File));
  EXPECT_EQ(Dump(*Sorter), before);
}

TEST_F(ConfigFileTest, AFileThatCannotBeParsedLeavesTheModelUnchanged) {
  Sorter->Load(FixturePath(u"example.xml"));
  const std::string before = Dump(*Sorter);
  struct Case {
    std::string bytes;
    const char* where;  // expected after the file name, where the parser gives a position
  };
  const Case cases[] = {
      {"<Sortwise>\n  <store name=\"\" id=\"S\">\n</Sortwise>\n", ": line 3, column "},
      {"<Sortwise>\n  <store name=\"\" id=S/>\n</Sortwise>\n", ": line 2, column "},
      {"not XML", ": line 1, column "},
      {"", ""},
      {"<Sortwise/>\n<Sortwise/>\n", ": line 2, column "},
  };
  for (const Case& c : cases) {
    const std::string message = LoadFails<EbrvXml>(c.bytes);
    EXPECT_THAT(message, StartsWith(U8(File) + ": ")) << c.bytes;
    if (test::ParserGivesPositions()) {
      EXPECT_THAT(message, StartsWith(U8(File) + c.where)) << c.bytes;
    }
    EXPECT_EQ(Dump(*Sorter), before) << c.bytes;
  }
}

TEST_F(ConfigFileTest, AMissingFileIsAnErrorAndLeavesTheModelUnchanged) {
  Sorter->Load(FixturePath(u"example.xml"));
  try {
    Sorter->Load(Dir.File(u"missing.xml"));
    ADD_FAILURE() << "no error";
  } catch (const EbrvXml& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<brv::TbrvResult>(0x80070002));
    EXPECT_THAT(U8(e.Message()), StartsWith(U8(Dir.File(u"missing.xml")) + ": cannot read the file: "));
  }
  EXPECT_EQ(Dump(*Sorter), kExampleModel);
}

TEST_F(ConfigFileTest, AFailedSaveKeepsThePreviousFileAndTheModel) {
  Sorter->Load(FixturePath(u"example.xml"));
  const std::string previous = SaveBytes();
  Sorter->Config().SetValue(kAutoFilter, u"99");
  brv::platform::SetWriteFaultHook([](const std::u16string&) { return brv::ResultFromOsError(112); });
  try {
    Sorter->Save(File);
    ADD_FAILURE() << "no error";
  } catch (const EbrvXml& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<brv::TbrvResult>(0x80070070));
    EXPECT_THAT(U8(e.Message()), StartsWith(U8(File) + ": cannot write the file: "));
  }
  brv::platform::SetWriteFaultHook(nullptr);
  EXPECT_EQ(test::ReadBytes(File), previous);
  EXPECT_EQ(Dir.Names(), std::vector<std::u16string>{u"Outlook.xml"});
  EXPECT_EQ(Sorter->Config().GetValue(kAutoFilter), u"99");
  // The next save goes through.
  Sorter->Save(File);
  EXPECT_THAT(test::ReadBytes(File), HasSubstr("<value name=\"Auto.Filter\">99</value>"));
}

TEST_F(ConfigFileTest, TextTheFileCannotStoreNeverEntersTheModel) {
  Sorter->Load(FixturePath(u"example.xml"));
  TSwoStore* store = Sorter->GetItem(0);
  TSwoFolder* folder = store->GetItem(0);
  TSwoEntry* entry = folder->GetItem(u"*");
  const std::string before = Dump(*Sorter);
  const std::u16string nul(1, u'\0');
  struct Case {
    const char* message;
    std::function<void()> action;
  };
  const Case cases[] = {
      {"the address \"news\\u0000@techdigest.example\" holds U+0000",
       [&] { folder->Add(u"news" + nul + u"@techdigest.example"); }},
      {"the address \"a\\u001Fb\" holds U+001F", [&] { folder->Add(u"a\u001Fb"); }},
      {"the address \"\\uD800\" holds U+D800", [&] { folder->Add(u"\xD800"); }},
      {"the folder name \"In\\u0008box\" holds U+0008",
       [&] { TSwoFolder::Create(store, u"F9", u"In\u0008box"); }},
      {"the folder id \"\\uFFFF\" holds U+FFFF", [&] { TSwoFolder::Create(store, u"\uFFFF", u"Inbox"); }},
      {"the store id \"S\\uDC00\" holds U+DC00", [&] { TSwoStore::Create(Sorter.get(), u"S\xDC00", u""); }},
      {"the store name \"\\u000B\" holds U+000B", [&] { TSwoStore::Create(Sorter.get(), u"S9", u"\u000B"); }},
      {"the value \"\\u0001\" of the filter \"Categories\" of the address \"*\" holds U+0001",
       [&] { entry->SetValue(u"Categories", u"\u0001"); }},
      {"the value \"Red\\uFFFE\" of the filter \"Categories\" of the address \"*\" holds U+FFFE",
       [&] { entry->SetValue(0, u"Red\uFFFE"); }},
      {"the filter name \"Sub\\u000Cject\" of the address \"*\" holds U+000C",
       [&] { entry->SetValue(u"Sub\u000Cject", u"x"); }},
      {"the value \"3\\u000E\" of the setting \"Auto.Filter\" holds U+000E",
       [&] { Sorter->Config().SetValue(kAutoFilter, u"3\u000E"); }},
      {"the setting name \"\\u0000\" holds U+0000", [&] { Sorter->Config().SetValue(nul, u"1"); }},
  };
  for (const Case& c : cases) {
    try {
      c.action();
      ADD_FAILURE() << "no error: " << c.message;
    } catch (const ESortwise& e) {
      EXPECT_EQ(e.ErrorCode(), brv::kE_INVALIDARG);
      EXPECT_EQ(U8(e.Message()),
                std::string(c.message) + ", a character the configuration file cannot store");
    }
    EXPECT_EQ(Dump(*Sorter), before) << c.message;
  }
  // A long text is quoted cut short.
  try {
    folder->Add(std::u16string(1 << 20, u'x') + nul);
    ADD_FAILURE() << "no error";
  } catch (const ESortwise& e) {
    EXPECT_EQ(U8(e.Message()), "the address \"" + std::string(60, 'x') +
                                   "...\" holds U+0000, a character the configuration file cannot store");
  }
  // What is in the model can always be saved and loaded again.
  Sorter->Save(File);
  std::unique_ptr<TSortwise> again(TSortwise::Create());
  again->Load(File);
  EXPECT_EQ(Dump(*again), before);
}

TEST_F(ConfigFileTest, ASavedModelLoadsAgainWithEveryCharacterXmlCanCarry) {
  // Each character at the edge of what XML 1.0 allows, in every text the file holds.
  std::u16string edge =
      u"\t\n \u007F\u0080\u0085\u009F\u00A0\u2028\uD7FF\uE000\uFEFF\uFFFD\U00010000\U0010FFFF &<>\"'=";
  if (!test::UnderWine()) edge += u"\r";  // Wine's MSXML reads &#13; in text as "\n"
  TSwoStore* store = TSwoStore::Create(Sorter.get(), u"S" + edge, u"n" + edge);
  TSwoFolder* folder = TSwoFolder::Create(store, u"F" + edge, u"f" + edge);
  TSwoEntry* entry = folder->Add(u"a" + edge);
  // "=" ends a line's name, so names carry every edge character but that one.
  std::u16string nameEdge = edge;
  nameEdge.erase(nameEdge.find(u'='), 1);
  entry->SetValue(u"p" + nameEdge, u"v" + edge);
  Sorter->Config().SetValue(u"c" + nameEdge, u"v" + edge);
  const std::string model = Dump(*Sorter);
  Sorter->Save(File);
  std::unique_ptr<TSortwise> again(TSortwise::Create());
  again->Load(File);
  EXPECT_EQ(Dump(*again), model);
}

TEST_F(ConfigFileTest, AFileWithACharacterXmlDoesNotAllowIsRefusedAndChangesNothing) {
  Sorter->Load(FixturePath(u"example.xml"));
  const char* files[] = {
      // Read natively as "news" once: the value was cut at the reference.
      "<Sortwise><store name=\"\" id=\"S\"><folder name=\"f\" id=\"F\">"
      "<entry address=\"news&#0;@techdigest.example\"/></folder></store></Sortwise>",
      "<Sortwise><configuration><value name=\"DoOnlyRead\">&#x1;</value></configuration></Sortwise>",
      "<Sortwise><store name=\"\" id=\"S\"><folder name=\"M\xFCller\" id=\"F\"/></store></Sortwise>",
      "<Sortwise><store name=\"\" id=\"S\" id=\"T\"/></Sortwise>",
      "<Sortwise><store name=\"&auml;\" id=\"S\"/></Sortwise>",
  };
  for (const char* bytes : files) {
    const std::string message = LoadFails<EbrvXml>(bytes);
    EXPECT_THAT(message, StartsWith(U8(File) + ": ")) << bytes;
    EXPECT_EQ(Dump(*Sorter), kExampleModel) << bytes;
  }
  // Messages stay one short line, whatever the file holds.
  const std::string huge(1 << 20, 'x');
  for (const std::string& bytes : {"<Sortwise><store name=\"" + huge + "&#1;\" id=\"S\"/></Sortwise>",
                                   "<Sortwise><store name=\"&" + huge + ";\" id=\"S\"/></Sortwise>"}) {
    const std::string message = LoadFails<EbrvXml>(bytes);
    EXPECT_THAT(message, StartsWith(U8(File) + ": "));
    EXPECT_LT(message.size(), U8(File).size() + 200);
    EXPECT_EQ(message.find('\n'), std::string::npos);
  }
}

// "=" ends the name of a filter or setting line: a name holding one read back, after a save, as
// another name and value, and one line of the file was lost.
TEST_F(ConfigFileTest, ANameHoldingAnEqualsSignNeitherLoadsNorEntersTheModel) {
  Sorter->Load(FixturePath(u"example.xml"));
  const char* files[] = {
      "<Sortwise><configuration><value name=\"c\">o</value><value name=\"c=\">i</value>"
      "</configuration></Sortwise>",
      "<Sortwise><store name=\"\" id=\"S\"><folder name=\"f\" id=\"F\"><entry address=\"*\">"
      "<property name=\"a=b\">c</property></entry></folder></store></Sortwise>",
  };
  for (const char* bytes : files) {
    const std::string message = LoadFails<EConvertError>(bytes);
    EXPECT_THAT(message, StartsWith(U8(File) + ": element /Sortwise/")) << bytes;
    EXPECT_THAT(message, HasSubstr("holds \"=\", which no name of a filter or setting can hold")) << bytes;
  }
  Sorter->Load(FixturePath(u"example.xml"));
  TSwoEntry* entry = Sorter->GetItem(0)->GetItem(0)->GetItem(u"*");
  for (const std::function<void()>& action : std::initializer_list<std::function<void()>>{
           [&] { entry->SetValue(u"Sub=ject", u"x"); }, [&] { Sorter->Config().SetValue(u"Auto=Filter", u"3"); }}) {
    EXPECT_THROW(action(), ESortwise);
    EXPECT_EQ(Dump(*Sorter), kExampleModel);
  }
}

TEST_F(ConfigFileTest, AFileInWindows1252LoadsAsItsDeclarationSays) {
  Sorter->Load(FixturePath(u"windows-1252.xml"));
  EXPECT_EQ(Dump(*Sorter),
            "config: Notiz=\xE2\x80\x9E"
            "Gr\xC3\xBC\xC3\x9F"
            "e\xE2\x80\x9C \xE2\x80\x93 5 \xE2\x82\xAC\n"
            "store \"\" id=STORE-1\n"
            "  folder \"Rechnungen M\xC3\xBCller\" id=F-1\n"
            "    entry \"j\xC3\xB6rg@example.de\" [Subject=\xC3\x9C"
            "bersicht\xE2\x80\xA6]\n");
}

// A file of stores, folders and entries whose keys repeat in every letter case, in shuffled
// order; ids tell the objects apart.
std::string ShuffledFile(unsigned Seed) {
  std::mt19937 random(Seed);
  const char* const keys[] = {"", "a", "A", "b", "B", "*", "a*"};
  auto key = [&] { return std::string(keys[random() % 7]); };
  std::string xml = "<Sortwise>";
  for (int s = 0; s < 4; ++s) {
    xml += "<store name=\"" + key() + "\" id=\"S" + std::to_string(s) + "\">";
    for (int f = 0; f < 6; ++f) {
      xml += "<folder name=\"" + key() + "\" id=\"F" + std::to_string(s) + std::to_string(f) + "\">";
      for (int e = 0; e < 12; ++e)
        xml += "<entry address=\"" + key() + "\"><property name=\"n\">" + std::to_string(e) +
               "</property></entry>";
      xml += "</folder>";
    }
    xml += "</store>";
  }
  return xml + "</Sortwise>";
}

TEST_F(ConfigFileTest, LoadingPlacesEveryChildWhereAddingItOneByOneWould) {
  for (unsigned seed = 1; seed <= 5; ++seed) {
    const std::string bytes = ShuffledFile(seed);
    LoadBytes(bytes);
    // The same tree built one object at a time, in document order.
    std::unique_ptr<TSortwise> expected(TSortwise::Create());
    const brv::platform::TbrvXmlDocument doc = brv::platform::TbrvXmlDocument::Parse(bytes, u"shuffled.xml");
    for (const auto& s : doc.DocumentElement().Elements(u"store")) {
      TSwoStore* store = TSwoStore::Create(expected.get(), *s.Attribute(u"id"), *s.Attribute(u"name"));
      for (const auto& f : s.Elements(u"folder")) {
        TSwoFolder* folder = TSwoFolder::Create(store, *f.Attribute(u"id"), *f.Attribute(u"name"));
        for (const auto& e : f.Elements(u"entry"))
          folder->Add(*e.Attribute(u"address"))->SetValue(u"n", *e.Elements(u"property").at(0).Text());
      }
    }
    EXPECT_EQ(Dump(*Sorter), Dump(*expected)) << "seed " << seed;
  }
}

TEST_F(ConfigFileTest, SavingIntoAMissingFolderIsAnError) {
  const std::u16string file = Dir.File(u"Brevanta") + u"/Outlook.xml";
  try {
    Sorter->Save(file);
    ADD_FAILURE() << "no error";
  } catch (const EbrvXml& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<brv::TbrvResult>(0x80070003));
    EXPECT_THAT(U8(e.Message()), StartsWith(U8(file) + ": cannot write the file: "));
  }
  EXPECT_TRUE(Dir.Names().empty());
}

}  // namespace
}  // namespace swo
