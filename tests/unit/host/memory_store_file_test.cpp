#include "host/memory_store_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "host_test_support.h"
#include "platform/xml.h"

namespace outlook::test {
namespace {

// Everything a mailbox file holds must be equal.
void ExpectSameFolder(const TMemoryFolder& A, const TMemoryFolder& B) {
  SCOPED_TRACE(brv::Utf16ToUtf8(A.Path()));
  EXPECT_EQ(A.Path(), B.Path());
  EXPECT_EQ(A.Id(), B.Id());
  EXPECT_EQ(A.StoreId(), B.StoreId());
  const auto itemsA = A.Contents(), itemsB = B.Contents();
  ASSERT_EQ(itemsA.size(), itemsB.size());
  for (size_t i = 0; i < itemsA.size(); ++i)
    EXPECT_TRUE(itemsA[i]->Data() == itemsB[i]->Data())
        << "item " << i + 1 << ": " << brv::Utf16ToUtf8(itemsA[i]->Data().Subject);
  ASSERT_EQ(A.Folders().size(), B.Folders().size());
  for (size_t i = 0; i < A.Folders().size(); ++i) ExpectSameFolder(*A.Folders()[i], *B.Folders()[i]);
}

void ExpectSameMailbox(const TMemoryOutlook& A, const TMemoryOutlook& B) {
  EXPECT_EQ(A.ProfileName(), B.ProfileName());
  ASSERT_EQ(A.Stores().size(), B.Stores().size());
  for (size_t i = 0; i < A.Stores().size(); ++i) ExpectSameFolder(*A.Stores()[i], *B.Stores()[i]);
  ASSERT_NE(A.DefaultInbox(), nullptr);
  ASSERT_NE(B.DefaultInbox(), nullptr);
  EXPECT_EQ(A.DefaultInbox()->Path(), B.DefaultInbox()->Path());
}

// A file of its own in the temporary folder, removed afterwards.
class TempFile {
 public:
  explicit TempFile(const char* Name)
      : FPath(std::filesystem::temp_directory_path() / (std::string("sortwise-host-") + Name)) {}
  ~TempFile() {
    std::error_code ignored;
    std::filesystem::remove(FPath, ignored);
  }
  std::u16string Name() const { return FPath.u16string(); }

 private:
  std::filesystem::path FPath;
};

class SampleMailboxTest : public ::testing::Test {
 protected:
  Ref<TMemoryOutlook> Sample = LoadMailbox(SourceFile("samples/mailbox.xml"));
};

TEST_F(SampleMailboxTest, HoldsWhatTheTestsAndTheDemoNeed) {
  const auto inbox = Sample->DefaultInbox();
  ASSERT_NE(inbox, nullptr);
  EXPECT_EQ(Sample->Stores().size(), 2u);
  EXPECT_TRUE(Sample->HasExplicitInbox());
  EXPECT_EQ(Sample->FolderByPath(inbox->Path()), inbox);
  size_t ex = 0, exWithoutUser = 0, smtp = 0, notMail = 0, flagged = 0, completed = 0, unread = 0, nulls = 0;
  for (const auto& item : inbox->Contents()) {
    const auto& data = item->Data();
    ex += data.Sender.Type == u"EX";
    exWithoutUser += data.Sender.Type == u"EX" && !data.Sender.ExchangeUser;
    smtp += data.Sender.Type == u"SMTP";
    notMail += data.Kind != TMemoryItemKind::Mail;
    flagged += data.IsMarkedAsTask;
    completed += data.IsMarkedAsTask && data.TaskCompletedDate != kNoDate && data.TaskCompletedDate != 0;
    unread += data.UnRead;
    for (const auto& p : data.Custom) nulls += p.Value.IsNull();
  }
  EXPECT_GE(inbox->ItemCount(), 24u);
  for (const size_t n : {ex, exWithoutUser, smtp, notMail, flagged, completed, unread, nulls})
    EXPECT_GT(n, 0u);
  EXPECT_GT(inbox->ItemCount() - unread, 0u);
  const auto lea = Sample->FindItem(inbox->ItemAt(12)->Data().EntryID);
  EXPECT_EQ(lea->Data().Sender.Name, u"Lea M\u00FCller");  // UTF-8 read as such
}

TEST_F(SampleMailboxTest, SavingAndLoadingAgainGivesTheSameMailbox) {
  const TempFile file("roundtrip.xml");
  SaveMailbox(*Sample, file.Name());
  const auto again = LoadMailbox(file.Name());
  ExpectSameMailbox(*Sample, *again);
  EXPECT_EQ(MailboxToBytes(*again), MailboxToBytes(*Sample));
}

TEST_F(SampleMailboxTest, AMailboxChangedThroughOutlookIsSavedAsChanged) {
  const auto items = Sample->GetDefaultFolder(olFolderInbox)->Items();
  const auto invoices = Sample->FolderByPath(u"\\\\anna.berg@brevanta.example\\Inbox\\Invoices");
  items->Item(2)->QueryMailItem()->Move(*invoices);
  const auto again = ParseMailbox(MailboxToBytes(*Sample), u"memory");
  ExpectSameMailbox(*Sample, *again);
  EXPECT_EQ(again->FolderByPath(invoices->Path())->ItemCount(), 2u);
}

TEST(MailboxFile, UnusualValuesSurviveTheRoundTrip) {
  const auto outlook = TMemoryOutlook::Create(u"Profile \"A\"");
  const auto first = outlook->AddStore(u"First & <best>");
  outlook->AddStore(u"Second", u"S2", u"R2");
  const auto inbox = outlook->FolderByPath(u"\\\\Second")->AddFolder(u"Deep")->AddFolder(u"Post\u00E9ingang");
  outlook->SetDefaultInbox(inbox);
  TMemoryItemData data;
  data.Subject = u"  tabs\tand\nlines\r\n and \"quotes\" \U0001F600  ";
  data.Sender = {u"EX", u"/O=ORG", u"", u""};  // an Exchange user with an empty address
  data.UnRead = true;
  data.TaskCompletedDate = 0;
  data.ReceivedTime = 46328 + 3661.0 / 86400;
  data.Categories = u"Red;Blue; ";
  data.BuiltIn = {{u"Importance", TMemoryValue::Integer(-2)}, {u"Size", TMemoryValue::Double(0.1)}};
  data.Custom = {{u"Null", TMemoryValue()},
                 {u"Empty", TMemoryValue::Text(u"")},
                 {u"Flag", TMemoryValue::Boolean(false)},
                 {u"When", TMemoryValue::Date(-1.5)}};
  inbox->AddItem(data);
  data.Kind = TMemoryItemKind::Report;
  data.Sender = {};
  first->AddItem(data);
  first->AddFolder(u"Empty");

  const auto again = ParseMailbox(MailboxToBytes(*outlook), u"memory");
  ExpectSameMailbox(*outlook, *again);
}

TEST(MailboxFile, AFileWithoutInboxMarkFallsBackToTheInboxByName) {
  const auto outlook =
      ParseMailbox(R"(<mailbox><store name="S"><folder name="inbox"/></store></mailbox>)", u"m.xml");
  EXPECT_FALSE(outlook->HasExplicitInbox());
  EXPECT_EQ(outlook->DefaultInbox()->Path(), u"\\\\S\\inbox");
  EXPECT_EQ(outlook->ProfileName(), u"Outlook");
}

TEST(MailboxFile, ErrorsNameTheFileTheElementAndWhatIsWrong) {
  struct Case {
    const char* Xml;
    const char16_t* Where;
    const char16_t* What;
  };
  const Case cases[] = {
      {"<outlook/>", u"element /outlook", u"<mailbox>"},
      {"<mailbox version='2'/>", u"element /mailbox", u"unknown attribute version"},
      {"<mailbox><folder name='x'/></mailbox>", u"/mailbox/folder[1]", u"unknown element <folder>"},
      {"<mailbox><store/></mailbox>", u"/mailbox/store[1]", u"attribute name is missing"},
      {"<mailbox><store name='S'><mail/><mail><to/></mail></store></mailbox>",
       u"/mailbox/store[1]/mail[2]/to[1]", u"unknown element <to>"},
      {"<mailbox><store name='S'><mail unread='yes'/></store></mailbox>", u"/mailbox/store[1]/mail[1]",
       u"attribute unread is \"yes\", not a boolean (True or False)"},
      {"<mailbox><store name='S'><mail received='2026-02-30'/></store></mailbox>",
       u"/mailbox/store[1]/mail[1]", u"attribute received is \"2026-02-30\", not a date"},
      {"<mailbox><store name='S'><folder name='A'/><folder name='a'/></store></mailbox>",
       u"/mailbox/store[1]/folder[2]", u"already has a subfolder a"},
      {"<mailbox><store name='S' id='X'/><store name='T' id='X'/></mailbox>", u"/mailbox/store[2]",
       u"identifier X is already in use"},
      {"<mailbox><store name='S'><folder name='A' inbox='True'/><folder name='B' "
       "inbox='True'/></store></mailbox>",
       u"/mailbox/store[1]/folder[2]", u"only one folder is the inbox; /mailbox/store[1]/folder[1]"},
      {"<mailbox><store name='S'><mail><property name='subject' value='x'/></mail></store></mailbox>",
       u"/mailbox/store[1]/mail[1]/property[1]", u"built-in property subject"},
      {"<mailbox><store name='S'><mail><user-property name='P' type='null' "
       "value=''/></mail></store></mailbox>",
       u"/mailbox/store[1]/mail[1]/user-property[1]", u"a null property has no value attribute"},
      {"<mailbox><store name='S'><mail><user-property name='P' type='integer' "
       "value='1.5'/></mail></store></mailbox>",
       u"/mailbox/store[1]/mail[1]/user-property[1]", u"value \"1.5\" is not a integer"},
      {"<mailbox><store name='S'><mail><user-property name='P' type='string' "
       "value='1'/></mail></store></mailbox>",
       u"/mailbox/store[1]/mail[1]/user-property[1]", u"unknown type \"string\""},
      {"<mailbox><store name='S'><mail><user-property name='P' value='1'/><user-property name='p' value='2'/>"
       "</mail></store></mailbox>",
       u"/mailbox/store[1]/mail[1]/user-property[2]", u"the property p is given twice"},
      {"<mailbox><store name='S'><mail><sender/><sender/></mail></store></mailbox>",
       u"/mailbox/store[1]/mail[1]/sender[2]", u"an item has one sender"},
      {"<mailbox><store name='S'>Inbox</store></mailbox>", u"/mailbox/store[1]",
       u"unexpected text \"Inbox\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Xml);
    const auto e = Raised<EMailboxFile>([&] { ParseMailbox(c.Xml, u"C:\\bad.xml"); });
    EXPECT_EQ(e.ErrorCode(), kMailboxInvalid);
    const std::u16string& message = e.Message();
    EXPECT_TRUE(message.starts_with(u"C:\\bad.xml: ")) << brv::Utf16ToUtf8(message);
    EXPECT_NE(message.find(c.Where), std::u16string::npos) << brv::Utf16ToUtf8(message);
    EXPECT_NE(message.find(c.What), std::u16string::npos) << brv::Utf16ToUtf8(message);
  }
}

// A store with Depth folders nested one in the other, the innermost holding a mail.
std::string NestedMailbox(size_t Depth) {
  std::string xml = "<mailbox><store name='S'>";
  for (size_t i = 0; i < Depth; ++i) xml += "<folder name='F'>";
  xml += "<mail subject='deep'/>";
  for (size_t i = 0; i < Depth; ++i) xml += "</folder>";
  return xml + "</store></mailbox>";
}

// What every message of the loader is: one line, short, starting with the file's name.
void ExpectOneShortLine(const std::u16string& Message, std::u16string_view File) {
  EXPECT_TRUE(Message.starts_with(std::u16string(File) + u": ")) << brv::Utf16ToUtf8(Message.substr(0, 200));
  EXPECT_LT(Message.size(), 300u) << brv::Utf16ToUtf8(Message.substr(0, 400));
  EXPECT_EQ(Message.find_first_of(u"\r\n"), std::u16string::npos) << brv::Utf16ToUtf8(Message.substr(0, 400));
}

TEST(MailboxFile, FoldersNestAsDeepAsAStoreAllowsAndNoDeeper) {
  const auto deepest = ParseMailbox(NestedMailbox(kMaxFolderDepth), u"deep.xml");
  std::u16string path = u"\\\\S";
  for (size_t i = 0; i < kMaxFolderDepth; ++i) path += u"\\F";
  const auto folder = deepest->FolderByPath(path);
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(folder->ItemCount(), 1u);
  EXPECT_EQ(MailboxToBytes(*ParseMailbox(MailboxToBytes(*deepest), u"again.xml")), MailboxToBytes(*deepest));

  // Far too deep a file is refused, by the loader or (MSXML) already by the parser, and never
  // exhausts the stack.
  for (const size_t depth : {kMaxFolderDepth + 1, size_t{10000}}) {
    SCOPED_TRACE(depth);
    const auto e = Raised([&] { ParseMailbox(NestedMailbox(depth), u"deep.xml"); });
    ExpectOneShortLine(e.Message(), u"deep.xml");
    if (depth == kMaxFolderDepth + 1) {
      EXPECT_EQ(e.ErrorCode(), kMailboxInvalid);
      EXPECT_TRUE(e.Message().starts_with(u"deep.xml: element /mailbox/store[1]/\u2026/folder[1]/"))
          << e.what();
      EXPECT_TRUE(e.Message().ends_with(u"/folder[1]: folders are nested more than 100 levels deep"))
          << e.what();
    }
  }
}

TEST(MailboxFile, MessagesAreOneShortLineWhateverTheFileHolds) {
  const std::string huge(1 << 20, 'x');
  const std::string longName(40000, 'x');  // libxml2 (Wine's MSXML) reads names up to 50000
  struct Case {
    std::string Xml;
    const char16_t* What;
  };
  const Case cases[] = {
      {"<mailbox><store name='S'><mail received='" + huge + "'/></store></mailbox>",
       u"attribute received is \"xxxxxxxxxx"},
      {"<mailbox><store name='S' " + longName + "='1'/></mailbox>", u"unknown attribute xxxxxxxxxx"},
      {"<mailbox><store name='S'><folder name='A'><" + longName + "/></folder></store></mailbox>",
       u"/mailbox/store[1]/folder[1]/xxxxxxxxxx"},
      {"<mailbox><store name='S'><folder name='" + huge + "'/><folder name='" + huge +
           "'/></store></mailbox>",
       u"already has a subfolder xxxxxxxxxx"},
      {"<mailbox><store name='" + huge + "'/><store name='" + huge + "'/></mailbox>",
       u"already a store named xxxxxxxxxx"},
      {"<mailbox><store name='S' id='" + huge + "'/><store name='T' id='" + huge + "'/></mailbox>",
       u"identifier xxxxxxxxxx"},
      {"<mailbox><store name='S'><mail><user-property name='P' type='integer' value='" + huge +
           "'/></mail></store></mailbox>",
       u"value \"xxxxxxxxxx"},
      {"<mailbox><store name='S'>" + huge + "</store></mailbox>", u"unexpected text \"xxxxxxxxxx"},
      {"<mailbox><store name='S'><mail received='2026-01-01&#10;10:00:00'/></store></mailbox>",
       u"\"2026-01-01\\n10:00:00\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(brv::Utf16ToUtf8(c.What));
    const auto e = Raised<EMailboxFile>([&] { ParseMailbox(c.Xml, u"C:\\bad.xml"); });
    ExpectOneShortLine(e.Message(), u"C:\\bad.xml");
    EXPECT_NE(e.Message().find(c.What), std::u16string::npos) << brv::Utf16ToUtf8(e.Message());
  }
}

TEST(MailboxFile, FilesThatCannotBeReadOrParsedNameTheFile) {
  const TempFile missing("missing.xml");
  const auto e = Raised<brv::platform::EbrvXml>([&] { LoadMailbox(missing.Name()); });
  EXPECT_NE(e.Message().find(missing.Name()), std::u16string::npos) << e.what();

  const auto p = Raised<brv::platform::EbrvXml>([] { ParseMailbox("<mailbox>\n<store", u"broken.xml"); });
  // Where the parser gives them, line and column follow the name (MSXML under Wine may not).
  EXPECT_TRUE(p.Message().starts_with(u"broken.xml: ")) << p.what();
}

}  // namespace
}  // namespace outlook::test
