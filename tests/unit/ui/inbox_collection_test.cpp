// The rule editor's inbox collection: the senders it offers, and the collect and target dialogs'
// results, against the substitute store and strict fake windows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "main_window_test_support.h"
#include "ui/inbox_addresses.h"

namespace swo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using outlook::TMemoryCall;
using outlook::TMemoryItemData;
using outlook::TMemoryItemKind;

TMemoryItemData Smtp(std::u16string Address) {
  TMemoryItemData data;
  data.Subject = u"From " + Address;
  data.Sender.Type = u"SMTP";
  data.Sender.Address = std::move(Address);
  return data;
}

TMemoryItemData Exchange(std::optional<std::u16string> User) {
  TMemoryItemData data;
  data.Subject = u"From Exchange";
  data.Sender.Type = u"EX";
  data.Sender.Address = u"/o=Corp/ou=Exchange/cn=Recipients/cn=someone";
  data.Sender.ExchangeUser = std::move(User);
  return data;
}

TMemoryItemData OfKind(TMemoryItemKind Kind, std::u16string Address) {
  TMemoryItemData data = Smtp(std::move(Address));
  data.Kind = Kind;
  return data;
}

std::vector<std::string> Texts(const std::vector<std::u16string>& Values) {
  std::vector<std::string> texts;
  for (const auto& value : Values) texts.push_back(U8(value));
  return texts;
}

std::vector<std::string> Addresses(const TSwoFolder& Folder) {
  std::vector<std::string> addresses;
  for (int32_t i = 0; i < Folder.Count(); ++i) addresses.push_back(U8(Folder.GetItem(i)->Address()));
  return addresses;
}

class InboxCollectionTest : public MainWindowTest {
 protected:
  std::vector<std::string> Collected() { return Texts(Presenter.GetInboxAddresses()); }
};

TEST_F(InboxCollectionTest, OffersEachNewSenderOnceSortedInTheFormMetFirst) {
  Sorter->Add(*Friends)->Add(u"held@example.com");
  Sorter->Add(*Invoices)->Add(u"Filtered@Example.com")->SetValue(std::u16string_view(u"Subject"), u"*bill*");
  for (const TMemoryItemData& mail :
       {Smtp(u"zoe@example.com"), Smtp(u"Ann@Example.com"), Smtp(u"HELD@EXAMPLE.COM"), Smtp(u"ann@example.com"),
        Smtp(u"filtered@example.com"), Exchange(u"Boss@Corp.Example"), Exchange(std::nullopt),
        OfKind(TMemoryItemKind::MeetingRequest, u"meeting@example.com"),
        OfKind(TMemoryItemKind::Report, u"postmaster@example.com"), Smtp(u""), Smtp(u"ANN@example.com"),
        Smtp(u"zoe@example.com")})
    Inbox->AddItem(mail);
  // Entries of any folder are left out in any letter case, with or without filters; Exchange
  // senders come by their user's address; an empty sender is a row; other items add nothing.
  EXPECT_THAT(Collected(), ElementsAre("", "Ann@Example.com", "Boss@Corp.Example", "zoe@example.com"));
}

TEST_F(InboxCollectionTest, AnEmptyInboxOrOneWhoseSendersAreAllHeldOffersNothing) {
  EXPECT_THAT(Collected(), IsEmpty());
  Sorter->Add(*Friends)->Add(u"friend@example.com");
  Inbox->AddItem(Smtp(u"Friend@example.com"));
  Inbox->AddItem(Smtp(u"friend@example.com"));
  EXPECT_THAT(Collected(), IsEmpty());
}

TEST_F(InboxCollectionTest, ReadsEveryItemThroughAFreshCollectionAndOnlyTheSenderOfEach) {
  Inbox->AddItem(Smtp(u"a@example.com"));
  Inbox->AddItem(Exchange(u"b@corp.example"));
  Inbox->AddItem(OfKind(TMemoryItemKind::Report, u"c@example.com"));
  Outlook->ResetCalls();
  EXPECT_THAT(Collected(), ElementsAre("a@example.com", "b@corp.example"));
  EXPECT_EQ(Outlook->Calls(TMemoryCall::ItemsCount), 1u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::FolderItems), 4u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::ItemsItem), 3u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::ItemQueryMailItem), 3u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::MailItemSenderEmailType), 2u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::MailItemSenderEmailAddress), 1u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::MailItemSender), 1u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::AddressEntryGetExchangeUser), 1u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::ExchangeUserPrimarySmtpAddress), 1u);
  // And nothing else: no other property of any item is read.
  EXPECT_EQ(Outlook->TotalCalls(), 17u + Outlook->Calls(TMemoryCall::NameSpaceGetDefaultFolder) +
                                       Outlook->Calls(TMemoryCall::ApplicationSession));
}

TEST_F(InboxCollectionTest, AnOutlookErrorOnOneItemSkipsOnlyThatItem) {
  Inbox->AddItem(Smtp(u"first@example.com"));
  const auto broken = Inbox->AddItem(Smtp(u"broken@example.com"));
  Inbox->AddItem(Smtp(u"last@example.com"));
  for (const TMemoryCall call : {TMemoryCall::ItemsItem, TMemoryCall::ItemQueryMailItem,
                                 TMemoryCall::MailItemSenderEmailType, TMemoryCall::MailItemSenderEmailAddress}) {
    SCOPED_TRACE(U8(outlook::TMemoryCallName(call)));
    Outlook->InjectFault(call, *broken);
    EXPECT_THAT(Collected(), ElementsAre("first@example.com", "last@example.com"));
    Outlook->ClearFaults();
  }
  // Without the inbox's collection nothing can be read: the error is passed on.
  Outlook->InjectFault(TMemoryCall::ItemsCount);
  EXPECT_THROW(Presenter.GetInboxAddresses(), brv::Exception);
}

// The collect dialog.

class CollectDialogTest : public InboxCollectionTest {
 protected:
  void SetUp() override {
    Sorter->Add(*Friends)->Add(u"friend@example.com");
    Sorter->Add(*Invoices);
    for (const char16_t* address : {u"carol@example.com", u"Bob@example.com", u"friend@example.com",
                                    u"alice@example.com", u"bob@example.com"})
      Inbox->AddItem(Smtp(address));
    Show();
    Select(Node({u"\\\\Mailbox", u"Friends"}));
  }
  // The user ticks these rows of the collect dialog and presses OK (or Cancel).
  void Collect(std::vector<int> Rows, bool Ok = true) {
    View.OnCollect = [&](TFakeCollectDialog& Dialog) {
      EXPECT_THAT(Texts(Dialog.Rows), ElementsAre("alice@example.com", "Bob@example.com", "carol@example.com"));
      for (const int row : Rows) Dialog.Ticked.at(static_cast<size_t>(row)) = true;
      return Ok;
    };
    User([&] { Presenter.tbAddFromInboxClick(); });
  }
  TSwoFolder& FriendsFolder() { return *Node({u"\\\\Mailbox", u"Friends"})->Data(); }
};

TEST_F(CollectDialogTest, TheTickedAddressesBecomeEntriesOfTheCurrentFolderAndItsList) {
  Collect({0, 2});
  EXPECT_THAT(Addresses(FriendsFolder()), ElementsAre("alice@example.com", "carol@example.com", "friend@example.com"));
  EXPECT_EQ(Presenter.Folder(), &FriendsFolder());
  EXPECT_THAT(RowTexts(), ElementsAre("alice@example.com", "carol@example.com", "friend@example.com"));
  // The new entries carry no filters.
  EXPECT_EQ(FriendsFolder().GetItem(0)->Count(), 0);
}

TEST_F(CollectDialogTest, CancelAddsNothingAndOkWithoutTicksOnlyRefillsTheList) {
  View.TakeLog();
  Collect({0, 1}, false);
  EXPECT_THAT(Addresses(FriendsFolder()), ElementsAre("friend@example.com"));
  EXPECT_THAT(View.TakeLog(), ElementsAre("ShowCollectDialog 3"));

  Collect({});
  EXPECT_THAT(Addresses(FriendsFolder()), ElementsAre("friend@example.com"));
  EXPECT_THAT(View.TakeLog(), ElementsAre("ShowCollectDialog 3", "SetEnabled tbAddFromInbox off", "SetRows 0",
                                          "SetEnabled tbAddFromInbox on", "SetRows 1"));
}

TEST_F(CollectDialogTest, AnAdditionThatFailsStopsThereKeepsTheEntriesBeforeItAndRefillsTheList) {
  Inbox->AddItem(Smtp(u"bell\u0007@example.com"));  // sorts after "Bob": the second row
  View.OnCollect = [](TFakeCollectDialog& Dialog) {
    EXPECT_EQ(Dialog.Rows.size(), 4u);
    Dialog.Ticked.assign(4, true);
    return true;
  };
  std::u16string message;
  try {
    FriendsFolder().Add(u"bell\u0007@example.com");
  } catch (const brv::Exception& e) {
    message = e.Message();
  }
  ASSERT_FALSE(message.empty());
  View.ExpectError(ErrorBoxText(message));
  User([&] { Presenter.tbAddFromInboxClick(); });
  EXPECT_THAT(Addresses(FriendsFolder()), ElementsAre("alice@example.com", "friend@example.com"));
  EXPECT_THAT(RowTexts(), ElementsAre("alice@example.com", "friend@example.com"));
}

TEST_F(CollectDialogTest, WithoutACurrentFolderOrAnInboxNoDialogOpens) {
  // No Outlook inbox to read: the error is shown instead of the dialog.
  Outlook->InjectFault(TMemoryCall::NameSpaceGetDefaultFolder);
  View.ExpectError(u"Injected fault in NameSpace.GetDefaultFolder.");
  View.TakeLog();
  User([&] { Presenter.tbAddFromInboxClick(); });
  EXPECT_THAT(View.TakeLog(), ElementsAre("ShowError Injected fault in NameSpace.GetDefaultFolder."));
  Outlook->ClearFaults();

  Select(nullptr);
  View.TakeLog();
  User([&] { Presenter.tbAddFromInboxClick(); });
  EXPECT_THAT(View.TakeLog(), IsEmpty());
}

// The target dialog.

class TargetDialogTest : public InboxCollectionTest {
 protected:
  void SetUp() override {
    Sorter->Add(*Friends)->Add(u"friend@example.com");
    for (const char16_t* address : {u"dave@example.com", u"carol@example.com", u"bob@example.com",
                                    u"alice@example.com"})
      Inbox->AddItem(Smtp(address));
    Show();
    Select(Node({u"\\\\Mailbox", u"Friends"}));
  }
  // The user plays the target dialog with Play and presses OK (or Cancel).
  void Target(const std::function<void(TFakeTargetDialog&)>& Play, bool Ok = true) {
    View.OnTarget = [&](TFakeTargetDialog& Dialog) {
      Play(Dialog);
      return Ok;
    };
    User([&] { Presenter.tbAddAdvInboxClick(); });
  }
  TSwoFolder* Registered(const Ref<TMemoryFolder>& Folder) {
    return Sorter->GetItem(0)->GetItem(std::u16string_view(Folder->Id()));
  }
};

TEST_F(TargetDialogTest, TickedRowsWithATargetBecomeEntriesOfTheirTargetsAndTheTreeShowsThem) {
  Target([&](TFakeTargetDialog& Dialog) {
    EXPECT_EQ(Dialog.Rows().size(), 4u);
    Outlook->QueuePick(*Invoices);
    Dialog.DoubleClick(0, Presenter);  // alice -> Invoices
    Outlook->QueuePick(*Friends);
    Dialog.DoubleClick(1, Presenter);  // bob -> Friends, then unticked again
    Dialog.Tick(1, false);
    Dialog.Tick(2, true);              // carol: ticked without a target
    Outlook->QueuePick(*Friends);
    Dialog.DoubleClick(3, Presenter);  // dave -> Invoices, then Friends
    Outlook->QueuePick(*Invoices);
    Dialog.DoubleClick(3, Presenter);
    const auto& row = Dialog.Rows()[3];
    EXPECT_EQ(U8(*row.Target), "Invoices");
    EXPECT_TRUE(row.Checked);
  });
  ASSERT_NE(Registered(Invoices), nullptr);
  EXPECT_THAT(Addresses(*Registered(Invoices)), ElementsAre("alice@example.com", "dave@example.com"));
  EXPECT_THAT(Addresses(*Registered(Friends)), ElementsAre("friend@example.com"));
  // The folder registered by the double-clicks has its node; the selection stayed on Friends.
  EXPECT_THAT(Tree(), ElementsAre("\\\\Mailbox +", "  Friends [Friends] *", "  Invoices [Invoices]"));
  EXPECT_EQ(Presenter.Folder(), Registered(Friends));
  EXPECT_THAT(RowTexts(), ElementsAre("friend@example.com"));
}

TEST_F(TargetDialogTest, AnEntryForTheShownFolderAppearsInItsList) {
  Target([&](TFakeTargetDialog& Dialog) {
    Outlook->QueuePick(*Friends);
    Dialog.DoubleClick(2, Presenter);
  });
  EXPECT_THAT(RowTexts(), ElementsAre("carol@example.com", "friend@example.com"));
}

TEST_F(TargetDialogTest, CancelLeavesPickedFoldersRegisteredWithoutEntriesOrNodes) {
  const auto treeBefore = Tree();
  Target(
      [&](TFakeTargetDialog& Dialog) {
        Outlook->QueuePick(*Invoices);
        Dialog.DoubleClick(0, Presenter);
      },
      false);
  ASSERT_NE(Registered(Invoices), nullptr);
  EXPECT_EQ(Registered(Invoices)->Count(), 0);
  EXPECT_EQ(Tree(), treeBefore);
}

TEST_F(TargetDialogTest, TheInboxCannotBeATargetAndTheRowKeepsItsTarget) {
  Target([&](TFakeTargetDialog& Dialog) {
    Outlook->QueuePick(*Friends);
    Dialog.DoubleClick(0, Presenter);
    Outlook->QueuePick(*Inbox);
    Dialog.ExpectError(u"Inbox cannot be added.");
    Dialog.DoubleClick(0, Presenter);
    EXPECT_EQ(U8(*Dialog.Rows()[0].Target), "Friends");
    Outlook->QueuePick(*Inbox);
    Dialog.ExpectError(u"Inbox cannot be added.");
    Dialog.DoubleClick(1, Presenter);
    EXPECT_FALSE(Dialog.Rows()[1].Target.has_value());
    EXPECT_FALSE(Dialog.Rows()[1].Checked);
  });
  EXPECT_THAT(Addresses(*Registered(Friends)), ElementsAre("alice@example.com", "friend@example.com"));
}

TEST_F(TargetDialogTest, ADoubleClickWithoutASelectedRowOrACancelledPickChangesNothing) {
  Target(
      [&](TFakeTargetDialog& Dialog) {
        Outlook->ResetCalls();
        HandleEvent(Dialog, [&] { Presenter.tbAddAdvInboxListViewDblClick(Dialog); });
        EXPECT_EQ(Outlook->Calls(TMemoryCall::NameSpacePickFolder), 0u);
        Outlook->QueuePickCancel();
        Dialog.DoubleClick(0, Presenter);
        EXPECT_EQ(Outlook->Calls(TMemoryCall::NameSpacePickFolder), 1u);
        EXPECT_FALSE(Dialog.Rows()[0].Checked);
        EXPECT_FALSE(Dialog.Rows()[0].Target.has_value());
      },
      false);
}

TEST_F(TargetDialogTest, OkWithoutAnyEntryLeavesTheTreeAndTheListAsTheyWere) {
  View.TakeLog();
  Target([&](TFakeTargetDialog& Dialog) { Dialog.Tick(0, true); });
  EXPECT_THAT(View.TakeLog(), ElementsAre("ShowTargetDialog 4"));
}

TEST_F(TargetDialogTest, AnAdditionThatFailsStopsThereAndTheListIsRefilled) {
  Inbox->AddItem(Smtp(u"bell\u0007@example.com"));  // the second row
  std::u16string message;
  try {
    Registered(Friends)->Add(u"bell\u0007@example.com");
  } catch (const brv::Exception& e) {
    message = e.Message();
  }
  ASSERT_FALSE(message.empty());
  View.ExpectError(ErrorBoxText(message));
  Target([&](TFakeTargetDialog& Dialog) {
    for (int row = 0; row < 3; ++row) {
      Outlook->QueuePick(*Friends);
      Dialog.DoubleClick(row, Presenter);
    }
  });
  EXPECT_THAT(Addresses(*Registered(Friends)), ElementsAre("alice@example.com", "friend@example.com"));
  EXPECT_THAT(RowTexts(), ElementsAre("alice@example.com", "friend@example.com"));
}

}  // namespace
}  // namespace swo::test
