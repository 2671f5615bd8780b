#include "host/memory_store.h"

#include <gtest/gtest.h>

#include "host_test_support.h"

namespace outlook::test {
namespace {

using Strings = std::vector<std::u16string>;

TEST_F(MailboxTest, MovingAMailShiftsTheLaterPositionsDownByOne) {
  const auto items = Inbox->Items();
  ASSERT_EQ(items->Count(), 5);
  items->Item(2)->QueryMailItem()->Move(*Target);

  // The collection taken before the move sees the folder as it is now.
  EXPECT_EQ(items->Count(), 4);
  EXPECT_EQ(items->Item(2)->Subject(), u"C");
  EXPECT_EQ(items->Item(4)->Subject(), u"E");
  EXPECT_EQ(Raised([&] { items->Item(5); }).ErrorCode(), kDISP_E_BADINDEX);
  EXPECT_EQ(Subjects(*Inbox), (Strings{u"A", u"C", u"D", u"E"}));
  EXPECT_EQ(Subjects(*Target), (Strings{u"B"}));
  EXPECT_EQ(Target->Contents().front()->Folder(), Target);
}

TEST_F(MailboxTest, WalkingFromTheLastItemVisitsEveryItemWhileMovingSome) {
  // The clean-up run's walk: moving item i leaves items 1..i-1 where they were.
  Strings visited;
  for (int32_t i = Inbox->Items()->Count(); i >= 1; --i) {
    const auto mail = Inbox->Items()->Item(i)->QueryMailItem();
    visited.push_back(mail->Subject());
    if (i % 2 == 0 || i == 5) mail->Move(*Target);
  }
  EXPECT_EQ(visited, (Strings{u"E", u"D", u"C", u"B", u"A"}));
  EXPECT_EQ(Subjects(*Inbox), (Strings{u"A", u"C"}));
  EXPECT_EQ(Subjects(*Target), (Strings{u"E", u"D", u"B"}));
}

TEST_F(MailboxTest, ItemsGivesAFreshCollectionEachTimeAndRejectsPositionsOutside) {
  EXPECT_NE(Inbox->Items(), Inbox->Items());
  for (const int32_t position : {0, -1, 6}) {
    SCOPED_TRACE(position);
    EXPECT_EQ(Raised([&] { Inbox->Items()->Item(position); }).ErrorCode(), kDISP_E_BADINDEX);
  }
  EXPECT_EQ(Target->Items()->Count(), 0);
}

TEST_F(MailboxTest, MoveIntoTheSameFolderChangesNothingAndIntoARemovedFolderRaises) {
  const auto mail = Inbox->Items()->Item(1)->QueryMailItem();
  mail->Move(*Inbox);
  EXPECT_EQ(Subjects(*Inbox), (Strings{u"A", u"B", u"C", u"D", u"E"}));

  const auto gone = Store->AddFolder(u"Gone");
  gone->Remove();
  EXPECT_EQ(Raised([&] { mail->Move(*gone); }).ErrorCode(), kMAPI_E_NOT_FOUND);
  EXPECT_EQ(Inbox->ItemCount(), 5u);
  EXPECT_EQ(Inbox->ItemAt(1)->Data().Subject, u"A");
}

// Code that keeps an item's EntryID across a move must find out here, not in a real Outlook.
TEST_F(MailboxTest, AMovedMailIsFoundByTheEntryIdThatMoveAnswersAndNotByItsOldOne) {
  const auto archive = Outlook->AddStore(u"Archive", u"STORE-2");
  const auto session = Outlook->Session();
  const auto mail = Inbox->ItemAt(2);
  const std::u16string before = mail->EntryID();
  EXPECT_EQ(session->GetItemFromID(before, Inbox->StoreId())->Subject(), u"B");
  EXPECT_EQ(mail->Parent(), Inbox);

  const auto moved = mail->QueryMailItem()->Move(*Target);
  ASSERT_NE(moved, nullptr);
  const std::u16string after = moved->EntryID();
  EXPECT_NE(after, before);
  EXPECT_EQ(Raised([&] { session->GetItemFromID(before, u""); }).ErrorCode(), kMAPI_E_NOT_FOUND);
  const auto found = session->GetItemFromID(after, Target->StoreId());
  EXPECT_EQ(found->Subject(), u"B");
  EXPECT_EQ(found->Parent()->EntryID(), Target->Id());
  // Any store when none is named; never an item of another store when one is.
  EXPECT_EQ(session->GetItemFromID(after, u"")->Subject(), u"B");
  EXPECT_EQ(Raised([&] { session->GetItemFromID(after, archive->StoreId()); }).ErrorCode(), kMAPI_E_NOT_FOUND);
  // A move into the folder the mail is in keeps it, identifier and all.
  EXPECT_EQ(found->QueryMailItem()->Move(*Target)->EntryID(), after);
  // Gone with its folder.
  Target->Remove();
  EXPECT_EQ(Raised([&] { session->GetItemFromID(after, u""); }).ErrorCode(), kMAPI_E_NOT_FOUND);
}

// A folder of some other Outlook: the store must not call it, only refuse it.
class ForeignFolder final : public MAPIFolder {
 public:
  std::u16string StoreID() override { return Unexpected(); }
  std::u16string EntryID() override { return Unexpected(); }
  std::u16string Name() override { return Unexpected(); }
  std::u16string FolderPath() override { return Unexpected(); }
  Ref<_Items> Items() override {
    Unexpected();
    return nullptr;
  }

 private:
  static std::u16string Unexpected() {
    ADD_FAILURE() << "the substitute store called a foreign folder";
    return {};
  }
};

TEST_F(MailboxTest, MoveRefusesAFolderOfAnotherImplementation) {
  ForeignFolder foreign;
  EXPECT_EQ(Raised([&] { Inbox->ItemAt(1)->Move(foreign); }).ErrorCode(), brv::kE_INVALIDARG);
  EXPECT_EQ(Inbox->ItemCount(), 5u);
}

TEST_F(MailboxTest, FoldersHaveNamesPathsAndIdentifiers) {
  const auto archive = Outlook->AddStore(u"Archive", u"STORE-2");
  const auto sub = archive->AddFolder(u"Old")->AddFolder(u"2025", u"FOLDER-2025");
  EXPECT_EQ(Target->FolderPath(), u"\\\\Mailbox\\Inbox\\Target");
  EXPECT_EQ(archive->FolderPath(), u"\\\\Archive");
  EXPECT_EQ(sub->Name(), u"2025");
  EXPECT_EQ(sub->EntryID(), u"FOLDER-2025");
  EXPECT_EQ(sub->StoreID(), u"STORE-2");
  EXPECT_EQ(Target->StoreID(), Store->StoreID());
  EXPECT_NE(Target->EntryID(), Inbox->EntryID());
  EXPECT_NE(Store->StoreID(), archive->StoreID());

  EXPECT_EQ(Outlook->FolderByPath(u"\\\\ARCHIVE\\old\\2025"), sub);
  EXPECT_EQ(Outlook->FolderByPath(u"\\\\Mailbox"), Store);
  for (const char16_t* path :
       {u"\\\\Archive\\Old\\2026", u"Archive\\Old", u"\\\\Nowhere", u"", u"\\\\Mailbox\\"})
    EXPECT_EQ(Outlook->FolderByPath(path), nullptr) << brv::Utf16ToUtf8(path);
}

TEST_F(MailboxTest, SetUpRefusesNamesAndIdentifiersThatWouldBeAmbiguous) {
  const std::function<void()> refused[] = {
      [&] { Inbox->AddFolder(u"target"); },             // a sibling's name, other case
      [&] { Inbox->AddFolder(u"A\\B"); },               // a path separator
      [&] { Inbox->AddFolder(u""); },                   //
      [&] { Inbox->AddFolder(u"New", Target->Id()); },  // an EntryID in use
      [&] { Outlook->AddStore(u"MAILBOX"); },           // another store's name
      [&] { Outlook->AddStore(u"Other", Store->StoreId()); },
      [&] {
        auto data = Mail(u"X");
        data.EntryID = Inbox->ItemAt(1)->Data().EntryID;
        Inbox->AddItem(data);
      },
  };
  for (size_t i = 0; i < std::size(refused); ++i)
    EXPECT_EQ(Raised(refused[i]).ErrorCode(), brv::kE_INVALIDARG) << "case " << i;
  EXPECT_EQ(Inbox->Folders().size(), 1u);
  EXPECT_EQ(Outlook->Stores().size(), 1u);
  EXPECT_EQ(Inbox->ItemCount(), 5u);
}

TEST_F(MailboxTest, ARemovedFolderOrStoreLeavesItsNameFree) {
  const auto archive = Outlook->AddStore(u"Archive");
  Target->Remove();
  Outlook->RemoveStore(archive);
  EXPECT_EQ(Inbox->Folder(u"Target"), nullptr);

  const auto again = Inbox->AddFolder(u"TARGET");
  const auto store = Outlook->AddStore(u"archive");
  EXPECT_EQ(Inbox->Folder(u"target"), again);
  EXPECT_EQ(Outlook->FolderByPath(u"\\\\ARCHIVE"), store);
  EXPECT_EQ(Outlook->FolderByPath(u"\\\\Mailbox\\Inbox\\Target"), again);
  // The names still in use stay taken.
  EXPECT_EQ(Raised([&] { Inbox->AddFolder(u"target"); }).ErrorCode(), brv::kE_INVALIDARG);
  EXPECT_EQ(Raised([&] { Outlook->AddStore(u"Archive"); }).ErrorCode(), brv::kE_INVALIDARG);
}

TEST_F(MailboxTest, FoldersNestNoDeeperThanTheLimit) {
  Ref<TMemoryFolder> folder = Store;
  for (size_t depth = 1; depth <= kMaxFolderDepth; ++depth) folder = folder->AddFolder(u"F");
  EXPECT_EQ(folder->Depth(), kMaxFolderDepth);
  const auto e = Raised([&] { folder->AddFolder(u"Deeper"); });
  EXPECT_EQ(e.ErrorCode(), brv::kE_INVALIDARG);
  EXPECT_TRUE(folder->Folders().empty());
  // The message names the folder by the end of its path, not by all of it.
  EXPECT_NE(e.Message().find(u"\\F\\F is 100 levels below its store"), std::u16string::npos)
      << brv::Utf16ToUtf8(e.Message());
  EXPECT_LT(e.Message().size(), 150u);
}

TEST_F(MailboxTest, ApplicationSessionAndDefaultInbox) {
  const auto session = Outlook->Application()->Session();
  EXPECT_EQ(session->CurrentProfileName(), u"Test profile");
  EXPECT_EQ(session->GetDefaultFolder(olFolderInbox), Inbox);  // by its name "Inbox"
  EXPECT_EQ(Raised([&] { session->GetDefaultFolder(3); }).ErrorCode(), brv::kE_INVALIDARG);

  Outlook->SetDefaultInbox(Target);
  EXPECT_EQ(session->GetDefaultFolder(olFolderInbox), Target);
  Target->Remove();
  EXPECT_EQ(Raised([&] { session->GetDefaultFolder(olFolderInbox); }).ErrorCode(), kMAPI_E_NOT_FOUND);

  const auto empty = TMemoryOutlook::Create();
  EXPECT_EQ(Raised([&] { empty->GetDefaultFolder(olFolderInbox); }).ErrorCode(), kMAPI_E_NOT_FOUND);
}

TEST_F(MailboxTest, PickFolderAnswersFromItsScriptInOrder) {
  const auto archive = Outlook->AddStore(u"Archive")->AddFolder(u"Old");
  Outlook->QueuePick(*Target);
  Outlook->QueuePickCancel();
  Outlook->QueuePick(u"\\\\archive\\OLD");
  Outlook->QueuePick(u"");
  Outlook->QueuePick(u"\\\\Archive\\Missing");
  EXPECT_EQ(Outlook->PendingPicks(), 5u);

  EXPECT_EQ(Outlook->PickFolder(), Target);
  EXPECT_EQ(Outlook->PickFolder(), nullptr);
  EXPECT_EQ(Outlook->PickFolder(), archive);
  EXPECT_EQ(Outlook->PickFolder(), nullptr);
  EXPECT_EQ(Raised([&] { Outlook->PickFolder(); }).ErrorCode(), kMAPI_E_NOT_FOUND);
  EXPECT_EQ(Outlook->PendingPicks(), 0u);
  // A dialog nobody scripted is a mistake of the test, not a cancel.
  EXPECT_EQ(Raised([&] { Outlook->PickFolder(); }).ErrorCode(), brv::kE_UNEXPECTED);
}

TEST_F(MailboxTest, GetFolderFromIDFindsOnlyFoldersThatStillExist) {
  const auto sub = Target->AddFolder(u"Sub");
  const auto archive = Outlook->AddStore(u"Archive");
  const auto old = archive->AddFolder(u"Old");
  const auto session = Outlook->Session();

  EXPECT_EQ(session->GetFolderFromID(Target->Id(), Store->StoreId()), Target);
  EXPECT_EQ(session->GetFolderFromID(Store->Id(), Store->StoreId()), Store);
  EXPECT_EQ(session->GetFolderFromID(old->Id(), archive->StoreId()), old);
  EXPECT_EQ(session->GetFolderFromID(Target->Id(), u""), Target);  // the default store

  struct Case {
    const char* Why;
    std::u16string EntryID, StoreID;
  };
  Target->Remove();
  const Case unknown[] = {
      {"unknown folder", u"00FF", Store->StoreId()},
      {"unknown store", Inbox->Id(), u"00FF"},
      {"folder of another store", old->Id(), Store->StoreId()},
      {"identifiers compare exactly", brv::UpperCase(Inbox->Id()) + u" ", Store->StoreId()},
      {"removed folder", Target->Id(), Store->StoreId()},
      {"subfolder of a removed folder", sub->Id(), Store->StoreId()},
  };
  for (const Case& c : unknown) {
    const auto e = Raised([&] { session->GetFolderFromID(c.EntryID, c.StoreID); });
    EXPECT_EQ(e.ErrorCode(), kMAPI_E_NOT_FOUND) << c.Why;
    EXPECT_NE(e.Message().find(c.EntryID), std::u16string::npos) << c.Why;
  }

  // A folder object kept from before refuses to work.
  EXPECT_TRUE(sub->Removed());
  EXPECT_EQ(Raised([&] { Target->Items(); }).ErrorCode(), kMAPI_E_NOT_FOUND);
  EXPECT_EQ(Raised([&] { sub->EntryID(); }).ErrorCode(), kMAPI_E_NOT_FOUND);
  EXPECT_EQ(Inbox->Folders().size(), 0u);

  Outlook->RemoveStore(archive);
  EXPECT_EQ(Raised([&] { session->GetFolderFromID(old->Id(), archive->StoreId()); }).ErrorCode(),
            kMAPI_E_NOT_FOUND);
  EXPECT_EQ(Outlook->FolderByPath(u"\\\\Archive"), nullptr);
  // A new folder never takes a removed one's identifier.
  EXPECT_EQ(Raised([&] { Inbox->AddFolder(u"Again", Target->Id()); }).ErrorCode(), brv::kE_INVALIDARG);
}

TEST_F(MailboxTest, ItemsThatAreNotMailShowTheirSubjectButRefuseToBeMail) {
  for (const auto kind : {TMemoryItemKind::MeetingRequest, TMemoryItemKind::Report}) {
    auto data = Mail(u"Team meeting");
    data.Kind = kind;
    Inbox->AddItem(data);
    const auto item = Inbox->Items()->Item(6);
    EXPECT_EQ(item->Subject(), u"Team meeting");
    EXPECT_EQ(Raised([&] { item->QueryMailItem(); }).ErrorCode(), brv::kE_NOINTERFACE);
    // Even reached without the query, it is not a mail.
    auto* asMail = dynamic_cast<_MailItem*>(item.get());
    ASSERT_NE(asMail, nullptr);
    EXPECT_EQ(Raised([&] { asMail->SenderEmailAddress(); }).ErrorCode(), brv::kE_NOINTERFACE);
    EXPECT_EQ(Raised([&] { asMail->Move(*Target); }).ErrorCode(), brv::kE_NOINTERFACE);
    EXPECT_EQ(Inbox->ItemCount(), 6u);
    Inbox->ItemAt(6)->Data().Kind = TMemoryItemKind::Mail;
    Inbox->ItemAt(6)->QueryMailItem()->Move(*Target);
  }
  EXPECT_EQ(Inbox->Items()->Item(1)->QueryMailItem()->Subject(), u"A");
}

TEST_F(MailboxTest, SendersAreSmtpOrExchangeWithOrWithoutAnExchangeUser) {
  struct Case {
    const char* Why;
    TMemorySender Sender;
    bool HasEntry;
    std::optional<std::u16string> Smtp;
  };
  const Case cases[] = {
      {"SMTP", {u"SMTP", u"bob@example.com", u"Bob", std::nullopt}, true, std::nullopt},
      {"Exchange user",
       {u"EX", u"/O=ORG/CN=RECIPIENTS/CN=ANNA", u"Anna", u"anna@org.example"},
       true,
       u"anna@org.example"},
      {"Exchange, no user",
       {u"EX", u"/O=ORG/CN=RECIPIENTS/CN=ALL", u"All", std::nullopt},
       true,
       std::nullopt},
      {"no sender", {}, false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Why);
    TMemoryItemData data;
    data.Sender = c.Sender;
    const auto mail = Target->AddItem(data)->QueryMailItem();
    EXPECT_EQ(mail->SenderEmailType(), c.Sender.Type);
    EXPECT_EQ(mail->SenderEmailAddress(), c.Sender.Address);
    const auto entry = mail->Sender();
    ASSERT_EQ(entry != nullptr, c.HasEntry);
    if (!entry) continue;
    const auto user = entry->GetExchangeUser();
    ASSERT_EQ(user != nullptr, c.Smtp.has_value());
    if (user) {
      EXPECT_EQ(user->PrimarySmtpAddress(), *c.Smtp);
    }
  }
}

TEST_F(MailboxTest, MailStateIsWhatTheDataSays) {
  auto data = Mail(u"Flagged");
  data.UnRead = true;
  data.IsMarkedAsTask = true;
  data.TaskCompletedDate = 0;
  data.ReceivedTime = 46328.5;
  const auto mail = Target->AddItem(data)->QueryMailItem();
  EXPECT_TRUE(mail->UnRead());
  EXPECT_TRUE(mail->IsMarkedAsTask());
  EXPECT_EQ(mail->TaskCompletedDate(), 0.0);
  EXPECT_EQ(mail->ReceivedTime(), 46328.5);
  EXPECT_EQ(Target->AddItem(Mail(u"Plain"))->TaskCompletedDate(), kNoDate);
}

// Properties of a mail as UserProperties.Find sees them: custom ones with either flag,
// built-in ones (fixed fields and others) only with Custom false.
class PropertiesTest : public MailboxTest {
 protected:
  PropertiesTest() {
    auto data = Mail(u"Invoice 42", u"billing@northwind.example");
    data.Categories = u"Red; Blue";
    data.ReceivedTime = *ParseOleDate(u"2026-11-02 08:12:40");
    data.UnRead = true;
    data.BuiltIn = {{u"Importance", TMemoryValue::Integer(2)}, {u"To", TMemoryValue::Text(u"Anna")}};
    data.Custom = {{u"Project", TMemoryValue::Text(u"Apollo")},
                   {u"Amount", TMemoryValue::Double(12.5)},
                   {u"Reviewed", TMemoryValue()}};
    MailItem = Target->AddItem(data)->QueryMailItem();
  }
  Ref<_MailItem> MailItem;
};

TEST_F(PropertiesTest, FindTellsCustomFromBuiltInProperties) {
  struct Case {
    std::u16string Name;
    bool Custom;
    std::optional<std::u16string> Text;  // nullopt: not found
  };
  const Case cases[] = {
      {u"Project", true, u"Apollo"},
      {u"PROJECT", false, u"Apollo"},
      {u"Amount", true, u"12.5"},
      {u"Subject", true, std::nullopt},
      {u"Subject", false, u"Invoice 42"},
      {u"Importance", true, std::nullopt},
      {u"Importance", false, u"2"},
      {u"to", false, u"Anna"},
      {u"Categories", false, u"Red; Blue"},
      {u"SenderEmailAddress", false, u"billing@northwind.example"},
      {u"UnRead", false, u"True"},
      {u"IsMarkedAsTask", false, u"False"},
      {u"ReceivedTime", false, u"2026-11-02 08:12:40"},
      {u"TaskCompletedDate", false, u"4501-01-01"},
      {u"MessageClass", false, u"IPM.Note"},
      {u"Missing", true, std::nullopt},
      {u"Missing", false, std::nullopt},
  };
  const auto properties = MailItem->UserProperties();
  for (const Case& c : cases) {
    SCOPED_TRACE(brv::Utf16ToUtf8(c.Name) + (c.Custom ? " custom" : " any"));
    const auto property = properties->Find(c.Name, c.Custom);
    ASSERT_EQ(property != nullptr, c.Text.has_value());
    if (property) {
      EXPECT_EQ(property->ValueText(), *c.Text);
    }
  }
}

TEST_F(PropertiesTest, ANullValueExistsButHasNoText) {
  for (const bool custom : {true, false}) {
    const auto property = MailItem->UserProperties()->Find(u"Reviewed", custom);
    ASSERT_NE(property, nullptr);
    const auto e = Raised([&] { property->ValueText(); });
    EXPECT_EQ(e.ErrorCode(), kDISP_E_TYPEMISMATCH);
    EXPECT_NE(e.Message().find(u"\"Reviewed\""), std::u16string::npos);
  }
}

}  // namespace
}  // namespace outlook::test
