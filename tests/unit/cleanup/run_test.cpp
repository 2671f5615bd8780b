#include <gtest/gtest.h>

#include "cleanup_test_support.h"

namespace swo::test {
namespace {

using outlook::kNoDate;
using outlook::TMemoryCall;
using outlook::TMemoryItemKind;
using outlook::TMemoryProperty;
using outlook::TMemoryValue;

using RunTest = CleanupTest;

TEST_F(RunTest, AnEmptyInboxTouchesNothingAndReportsNothing) {
  Rule(Friends, u"bob@example.com");
  Sorter->Execute(nullptr);
  EXPECT_TRUE(Lines.empty());
  EXPECT_EQ(Outlook->Calls(TMemoryCall::ItemsItem), 0u);
}

TEST_F(RunTest, MovesEachAcceptedMailFromTheLastToTheFirst) {
  const auto archive = Outlook->AddStore(u"Archive");
  const auto old = archive->AddFolder(u"Old");
  Rule(Friends, u"anna@example.com");
  Rule(Invoices, u"billing@shop.example");
  Rule(Invoices, u"*", {{u"Subject", u"*invoice*"}});
  // dana's only entry refuses; the longer address that sorts right after it is not hers.
  Rule(Friends, u"dana@corp.example", {{u"Subject", u"never"}});
  Rule(Invoices, u"dana@corp.example.org");
  // eve is known in two stores. Store entries have no names, so the one registered later
  // stands first in the model; the entry of the one registered first is indexed last and
  // therefore tried first.
  Rule(old, u"eve@example.com");
  Rule(Friends, u"eve@example.com");
  for (const auto& [subject, sender] : std::initializer_list<std::pair<std::u16string, std::u16string>>{
           {u"1 hi", u"anna@example.com"},
           {u"2 bill", u"Billing@Shop.example"},  // addresses are found whatever their case
           {u"3 unknown", u"nobody@example.com"},
           {u"4 your invoice", u"nobody@example.com"},  // no entry for the address: "*" entries
           {u"5 hi again", u"ANNA@example.com"},
           {u"6 hi thrice", u"anna@example.com"},
           {u"7 from dana", u"dana@corp.example"},
           {u"8 from eve", u"eve@example.com"}})
    Inbox->AddItem(Mail(subject, sender));
  Sorter->Execute(nullptr);
  EXPECT_EQ(Subjects(Inbox), (std::vector<std::u16string>{u"3 unknown", u"7 from dana"}));
  EXPECT_EQ(Subjects(Friends),
            (std::vector<std::u16string>{u"8 from eve", u"6 hi thrice", u"5 hi again", u"1 hi"}));
  EXPECT_EQ(Subjects(Invoices), (std::vector<std::u16string>{u"4 your invoice", u"2 bill"}));
  EXPECT_EQ(Subjects(old), std::vector<std::u16string>{});
  EXPECT_TRUE(Lines.empty());
  // The collection is fetched anew for every position.
  EXPECT_GE(Outlook->Calls(TMemoryCall::FolderItems), 7u);
}

TEST_F(RunTest, EntriesOfTheSendersAddressComeFirstThenTheWildcards) {
  Rule(Friends, u"bob@example.com");
  Rule(Invoices, u"bob@example.com");  // added to the index later: tried first
  Inbox->AddItem(Mail(u"both accept", u"bob@example.com"));
  Sorter->Execute(nullptr);
  EXPECT_EQ(Subjects(Invoices), (std::vector<std::u16string>{u"both accept"}));

  // All entries of the address refuse: a wildcard entry without filters takes the mail.
  const auto news = Store->AddFolder(u"News");
  Rule(Friends, u"carl@example.com", {{u"Subject", u"never"}});
  Rule(news, u"*");
  Inbox->AddItem(Mail(u"refused by carl's entry", u"carl@example.com"));
  Sorter->Execute(nullptr);
  EXPECT_EQ(Subjects(news), (std::vector<std::u16string>{u"refused by carl's entry"}));
}

TEST_F(RunTest, TheSettingsDecideWhichMailsAreLookedAt) {
  struct Case {
    const char* name;
    bool ignoreUnmarked, onlyRead, onlyComplete;
    bool marked, unread;
    double completed;
    bool moved;
    // An Exchange sender without a user: the mail fails once its sender is read.
    bool senderFails = false;
    bool reported = false;
  };
  const Case cases[] = {
      {"no settings", false, false, false, false, true, kNoDate, true},
      {"unmarked skipped", true, false, false, false, false, kNoDate, false},
      {"marked kept", true, false, false, true, false, kNoDate, true},
      {"unread skipped", false, true, false, false, true, kNoDate, false},
      {"read kept", false, true, false, false, false, kNoDate, true},
      {"flagged without completion date", false, false, true, true, false, kNoDate, false},
      {"flagged with zero date", false, false, true, true, false, 0.0, false},
      {"flagged and completed", false, false, true, true, false, 46000.5, true},
      {"not flagged at all", false, false, true, false, false, kNoDate, true},
      {"both: unflagged", true, false, true, false, false, 46000.5, false},
      {"both: flagged, open", true, false, true, true, false, kNoDate, false},
      {"both: flagged, done", true, false, true, true, false, 46000.5, true},
      // A skipped mail is left alone before anything that could fail is read of it.
      {"unmarked skipped before its sender", true, false, false, false, false, kNoDate, false, true, false},
      {"unread skipped before its sender", false, true, false, false, true, kNoDate, false, true, false},
      {"open task skipped before its sender", false, false, true, true, false, kNoDate, false, true, false},
      {"looked at, its sender fails", false, false, false, false, false, kNoDate, false, true, true},
  };
  Rule(Friends, u"bob@example.com");
  const auto parking = Store->AddFolder(u"Parking");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sorter->Config().SetAsBoolean(std::u16string_view(kIgnoreUnmarked), c.ignoreUnmarked);
    Sorter->Config().SetAsBoolean(std::u16string_view(kDoOnlyRead), c.onlyRead);
    Sorter->Config().SetAsBoolean(std::u16string_view(kDoOnlyComplete), c.onlyComplete);
    TMemoryItemData data = Mail(u"m", u"bob@example.com");
    data.IsMarkedAsTask = c.marked;
    data.UnRead = c.unread;
    data.TaskCompletedDate = c.completed;
    if (c.senderFails) {
      data.Sender.Type = u"EX";
      data.Sender.ExchangeUser.reset();
    }
    const auto item = Inbox->AddItem(data);
    Sorter->Execute(nullptr);
    const bool moved = item->Folder() == Friends;
    EXPECT_EQ(moved, c.moved);
    EXPECT_EQ(Lines,
              c.reported ? std::vector<std::u16string>{u"ERROR: 1::m"} : std::vector<std::u16string>{});
    Lines.clear();
    if (!moved) item->Move(*parking);
  }
}

TEST_F(RunTest, ExchangeSendersAreKnownByTheirUsersSmtpAddress) {
  Rule(Friends, u"dana@corp.example");
  TMemoryItemData exchange = Mail(u"from dana", u"/o=Corp/cn=Recipients/cn=dana");
  exchange.Sender.Type = u"EX";
  exchange.Sender.ExchangeUser = u"Dana@corp.example";
  TMemoryItemData noUser = exchange;
  noUser.Subject = u"from a list";
  noUser.Sender.ExchangeUser.reset();
  Inbox->AddItem(exchange);
  Inbox->AddItem(noUser);
  Sorter->Execute(nullptr);
  EXPECT_EQ(Subjects(Friends), (std::vector<std::u16string>{u"from dana"}));
  EXPECT_EQ(Lines, (std::vector<std::u16string>{u"ERROR: 2::from a list"}));
}

TEST_F(RunTest, AFailingItemIsReportedAndTheRunGoesOn) {
  Rule(Friends, u"bob@example.com");
  Rule(Invoices, u"shop@example.com");
  TMemoryItemData meeting = Mail(u"Team meeting", u"bob@example.com");
  meeting.Kind = TMemoryItemKind::MeetingRequest;
  Inbox->AddItem(Mail(u"before", u"bob@example.com"));
  Inbox->AddItem(meeting);
  Inbox->AddItem(Mail(u"to a removed folder", u"shop@example.com"));
  Inbox->AddItem(Mail(u"after", u"bob@example.com"));
  Invoices->Remove();
  Sorter->Execute(nullptr);
  EXPECT_EQ(Lines, (std::vector<std::u16string>{u"ERROR: 3::to a removed folder", u"ERROR: 2::Team meeting"}));
  EXPECT_EQ(Subjects(Inbox), (std::vector<std::u16string>{u"Team meeting", u"to a removed folder"}));
  EXPECT_EQ(Subjects(Friends), (std::vector<std::u16string>{u"after", u"before"}));
}

TEST_F(RunTest, AFilterOnANullValueFailsThatMailOnly) {
  Rule(Friends, u"bob@example.com", {{u"Project", u"apollo"}});
  TMemoryItemData data = Mail(u"null project", u"bob@example.com");
  data.Custom.push_back(TMemoryProperty{u"Project", TMemoryValue()});
  Inbox->AddItem(data);
  TMemoryItemData apollo = Mail(u"apollo", u"bob@example.com");
  apollo.Custom.push_back(TMemoryProperty{u"Project", TMemoryValue::Text(u"Apollo")});
  Inbox->AddItem(apollo);
  Sorter->Execute(nullptr);
  EXPECT_EQ(Lines, (std::vector<std::u16string>{u"ERROR: 1::null project"}));
  EXPECT_EQ(Subjects(Friends), (std::vector<std::u16string>{u"apollo"}));
}

TEST_F(RunTest, WhenEvenTheSubjectCannotBeReadTheRunEndsWithThatError) {
  Rule(Friends, u"bob@example.com");
  Inbox->AddItem(Mail(u"first", u"bob@example.com"));
  TMemoryItemData meeting = Mail(u"unreadable", u"bob@example.com");
  meeting.Kind = TMemoryItemKind::Report;
  const auto report = Inbox->AddItem(meeting);
  Inbox->AddItem(Mail(u"last", u"bob@example.com"));
  Outlook->InjectFault(TMemoryCall::ItemSubject, *report, static_cast<brv::TbrvResult>(0x80040119));
  try {
    Sorter->Execute(nullptr);
    ADD_FAILURE() << "the run went on";
  } catch (const brv::EbrvObject& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<brv::TbrvResult>(0x80040119));
  }
  EXPECT_EQ(Subjects(Friends), (std::vector<std::u16string>{u"last"}));
  EXPECT_EQ(Subjects(Inbox), (std::vector<std::u16string>{u"first", u"unreadable"}));
}

TEST_F(RunTest, ErrorsBeforeTheWalkLeaveExecuteAndTouchNothing) {
  Rule(Friends, u"bob@example.com");
  Inbox->AddItem(Mail(u"stays", u"bob@example.com"));
  Outlook->InjectFault(TMemoryCall::ItemsCount);
  EXPECT_THROW(Sorter->Execute(nullptr), brv::EbrvObject);
  EXPECT_EQ(Subjects(Inbox), (std::vector<std::u16string>{u"stays"}));
  EXPECT_TRUE(Lines.empty());
}

TEST_F(RunTest, TheCallbackDecidesEachMoveAndIsAskedOnlyForAcceptedMails) {
  Rule(Friends, u"bob@example.com");
  Sorter->Config().SetAsBoolean(std::u16string_view(kDoOnlyRead), true);
  TMemoryItemData unread = Mail(u"unread", u"bob@example.com");
  unread.UnRead = true;
  Inbox->AddItem(Mail(u"keep", u"bob@example.com"));
  Inbox->AddItem(unread);
  Inbox->AddItem(Mail(u"stranger", u"eve@example.com"));
  Inbox->AddItem(Mail(u"move", u"bob@example.com"));
  std::vector<std::u16string> asked;
  Sorter->Execute([&](outlook::_MailItem& Mail) {
    asked.push_back(Mail.Subject());
    return Mail.Subject() == u"move";
  });
  EXPECT_EQ(asked, (std::vector<std::u16string>{u"move", u"keep"}));
  EXPECT_EQ(Subjects(Friends), (std::vector<std::u16string>{u"move"}));
}

}  // namespace
}  // namespace swo::test
