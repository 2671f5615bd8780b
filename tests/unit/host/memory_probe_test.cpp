#include "host/memory_probe.h"

#include <gtest/gtest.h>

#include <set>

#include "host_test_support.h"

namespace outlook::test {
namespace {

TEST(MemoryCallNames, EveryOperationHasItsOwnNameThatLeadsBackToIt) {
  std::set<std::u16string_view> names;
  for (size_t i = 0; i < kMemoryCallCount; ++i) {
    const auto call = static_cast<TMemoryCall>(i);
    const auto name = TMemoryCallName(call);
    EXPECT_NE(name.find(u'.'), std::u16string_view::npos);
    EXPECT_TRUE(names.insert(name).second) << brv::Utf16ToUtf8(name);
    EXPECT_EQ(TMemoryCallFromName(name), call);
  }
  EXPECT_EQ(TMemoryCallName(TMemoryCall::ItemsItem), u"Items.Item");
  EXPECT_EQ(TMemoryCallName(TMemoryCall::MailItemSenderEmailAddress), u"MailItem.SenderEmailAddress");
  EXPECT_EQ(TMemoryCallFromName(u"items.item"), std::nullopt);
}

TEST_F(MailboxTest, EveryCallThroughTheInterfacesIsCountedAndSetUpIsNot) {
  Outlook->ResetCalls();
  const auto inbox = Outlook->Application()->Session()->GetDefaultFolder(olFolderInbox);
  const int32_t count = inbox->Items()->Count();
  for (int32_t i = count; i >= count - 1; --i) {
    const auto mail = inbox->Items()->Item(i)->QueryMailItem();
    if (mail->SenderEmailType() != u"EX") mail->SenderEmailAddress();
    mail->Move(*Target);
  }
  // A call that fails is counted too.
  Raised([&] { inbox->Items()->Item(99); });
  // Set-up and inspection are not Outlook calls.
  Inbox->AddItem(Mail(u"F"));
  Inbox->Contents();
  Inbox->ItemAt(1)->Data();

  const std::pair<const char16_t*, uint64_t> expected[] = {
      {u"Application.Session", 1},
      {u"NameSpace.GetDefaultFolder", 1},
      {u"MAPIFolder.Items", 4},
      {u"Items.Count", 1},
      {u"Items.Item", 3},
      {u"Item.QueryMailItem", 2},
      {u"MailItem.SenderEmailType", 2},
      {u"MailItem.SenderEmailAddress", 2},
      {u"MailItem.Move", 2},
      {u"MailItem.UnRead", 0},
  };
  uint64_t total = 0;
  for (const auto& [name, calls] : expected) {
    EXPECT_EQ(Outlook->Calls(name), calls) << brv::Utf16ToUtf8(name);
    total += calls;
  }
  EXPECT_EQ(Outlook->Calls(TMemoryCall::ItemsItem), 3u);
  EXPECT_EQ(Outlook->TotalCalls(), total);
  EXPECT_EQ(Raised([&] { Outlook->Calls(u"Items.Itme"); }).ErrorCode(), brv::kE_INVALIDARG);

  Outlook->ResetCalls();
  EXPECT_EQ(Outlook->TotalCalls(), 0u);
}

TEST_F(MailboxTest, CountsOfTheSmallObjectsGoToTheirOwnOperations) {
  auto data = Mail(u"Ex");
  data.Sender = {u"EX", u"/O=ORG/CN=ANNA", u"Anna", u"anna@org.example"};
  data.Custom = {{u"Project", TMemoryValue::Text(u"Apollo")}};
  const auto mail = Target->AddItem(data)->QueryMailItem();
  Outlook->ResetCalls();
  mail->Sender()->GetExchangeUser()->PrimarySmtpAddress();
  const auto properties = mail->UserProperties();
  properties->Find(u"Project", true)->ValueText();
  properties->Find(u"Nothing", false);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::MailItemSender), 1u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::AddressEntryGetExchangeUser), 1u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::ExchangeUserPrimarySmtpAddress), 1u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::MailItemUserProperties), 1u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::UserPropertiesFind), 2u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::UserPropertyValueText), 1u);
  EXPECT_EQ(Outlook->TotalCalls(), 7u);
}

TEST_F(MailboxTest, AFaultOnOneItemHitsOnlyThatItemWhereverItIs) {
  const auto c = Inbox->ItemAt(3);
  Outlook->InjectFault(TMemoryCall::MailItemSenderEmailAddress, *c, static_cast<brv::TbrvResult>(0x80040119));
  Outlook->InjectFault(TMemoryCall::ItemsItem, *c, brv::kE_ABORT);

  const auto items = Inbox->Items();
  EXPECT_EQ(items->Item(2)->QueryMailItem()->SenderEmailAddress(), u"bob@example.com");
  const auto e = Raised([&] { items->Item(3); });
  EXPECT_EQ(e.ErrorCode(), brv::kE_ABORT);
  EXPECT_NE(e.Message().find(u"Items.Item"), std::u16string::npos);
  EXPECT_EQ(Raised([&] { c->SenderEmailAddress(); }).ErrorCode(), static_cast<brv::TbrvResult>(0x80040119));
  EXPECT_EQ(c->Subject(), u"C");

  // The fault follows the item, not its position.
  items->Item(2)->QueryMailItem()->Move(*Target);
  EXPECT_EQ(items->Item(3)->Subject(), u"D");
  EXPECT_EQ(Raised([&] { items->Item(2); }).ErrorCode(), brv::kE_ABORT);

  Outlook->ClearFaults();
  EXPECT_EQ(items->Item(2)->QueryMailItem()->SenderEmailAddress(), u"bob@example.com");
}

TEST_F(MailboxTest, AFaultCanFireAGivenNumberOfTimesOnAnyObject) {
  Outlook->InjectFault(TMemoryCall::MailItemMove, brv::kE_FAIL, 2);
  const auto first = Inbox->ItemAt(1);
  EXPECT_EQ(Raised([&] { first->Move(*Target); }).ErrorCode(), brv::kE_FAIL);
  EXPECT_EQ(Raised([&] { Inbox->ItemAt(5)->Move(*Target); }).ErrorCode(), brv::kE_FAIL);
  EXPECT_EQ(Inbox->ItemCount(), 5u);  // a failed move moves nothing
  first->Move(*Target);
  EXPECT_EQ(Target->ItemCount(), 1u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::MailItemMove), 3u);
}

TEST_F(MailboxTest, FaultsOnAFolderAndOnTheNamespace) {
  Outlook->InjectFault(TMemoryCall::ItemsCount, *Target, brv::kE_OUTOFMEMORY);
  Outlook->InjectFault(TMemoryCall::NameSpacePickFolder, brv::kE_ABORT, 1);
  Outlook->InjectFault(TMemoryCall::NameSpacePickFolder, brv::kE_FAIL, 1);  // the next one in line
  EXPECT_EQ(Inbox->Items()->Count(), 5);
  EXPECT_EQ(Raised([&] { Target->Items()->Count(); }).ErrorCode(), brv::kE_OUTOFMEMORY);
  Outlook->QueuePick(*Target);
  EXPECT_EQ(Raised([&] { Outlook->PickFolder(); }).ErrorCode(), brv::kE_ABORT);
  EXPECT_EQ(Raised([&] { Outlook->PickFolder(); }).ErrorCode(), brv::kE_FAIL);
  // The faulted calls took no answer from the script.
  EXPECT_EQ(Outlook->PickFolder(), Target);
}

}  // namespace
}  // namespace outlook::test
