// The rule editor's panel: a clean-up run, the settings dialog and closing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_settings_view.h"
#include "main_window_test_support.h"
#include "ui/settings_presenter.h"

namespace swo::test {
namespace {

using ::testing::ElementsAre;

outlook::TMemoryItemData Mail(std::u16string Subject, std::u16string Address) {
  outlook::TMemoryItemData data;
  data.Subject = std::move(Subject);
  data.Sender.Type = u"SMTP";
  data.Sender.Address = std::move(Address);
  return data;
}

std::vector<std::string> Subjects(const Ref<TMemoryFolder>& Folder) {
  std::vector<std::string> subjects;
  for (const auto& item : Folder->Contents()) subjects.push_back(U8(item->Data().Subject));
  return subjects;
}

using MainCommandsTest = MainWindowTest;

TEST_F(MainCommandsTest, RunMovesTheInboxsMailWithTheButtonDisabledMeanwhile) {
  Sorter->Add(*Friends)->Add(u"friend@example.com");
  Sorter->Add(*Invoices)->Add(u"billing@example.com");
  Inbox->AddItem(Mail(u"Hello", u"Friend@Example.com"));
  Inbox->AddItem(Mail(u"Unknown", u"someone@example.com"));
  Inbox->AddItem(Mail(u"Bill", u"billing@example.com"));
  Show();
  Select(Node({u"\\\\Mailbox", u"Friends"}));
  Outlook->ResetCalls();
  std::vector<uint64_t> callsWhenSwitched;
  View.OnCall = [&](const std::string& Line) {
    if (Line.rfind("SetEnabled Button1", 0) == 0) callsWhenSwitched.push_back(Outlook->TotalCalls());
  };
  View.TakeLog();
  User([&] { Presenter.Button1Click(); });
  // Off before Outlook is asked anything, on again afterwards; the tree and the list stay.
  EXPECT_THAT(View.TakeLog(), ElementsAre("SetEnabled Button1 off", "SetEnabled Button1 on"));
  ASSERT_EQ(callsWhenSwitched.size(), 2u);
  EXPECT_EQ(callsWhenSwitched[0], 0u);
  EXPECT_GT(callsWhenSwitched[1], 0u);
  EXPECT_THAT(Subjects(Inbox), ElementsAre("Unknown"));
  EXPECT_THAT(Subjects(Friends), ElementsAre("Hello"));
  EXPECT_THAT(Subjects(Invoices), ElementsAre("Bill"));
}

TEST(MainCommands, ARunThatFailsShowsItsErrorAndEnablesTheButtonAgain) {
  std::unique_ptr<TSortwise> sorter{TSortwise::Create()};
  // A mailbox without an inbox: the run fails before it touches any mail.
  auto noInbox = TMemoryOutlook::Create();
  noInbox->AddStore(u"Empty");
  sorter->SetApplication_(noInbox->Application());
  std::u16string message;
  try {
    sorter->Execute(nullptr);
  } catch (const brv::Exception& e) {
    message = e.Message();
  }
  ASSERT_FALSE(message.empty());

  TFakeMainView view;
  TMainPresenter presenter{*sorter, view};
  view.ExpectError(ErrorBoxText(message));
  HandleEvent(view, [&] { presenter.Button1Click(); });
  EXPECT_TRUE(presenter.Enabled(TMainControl::Button1));
  EXPECT_THAT(view.TakeLog(), ElementsAre("SetEnabled Button1 off", "SetEnabled Button1 on",
                                          "ShowError " + U8(ErrorBoxText(message))));
  view.VerifyDone();
}

TEST_F(MainCommandsTest, SettingsEditsTheSortersOwnSettingsAndCloseClosesTheWindow) {
  Sorter->Config().SetValue(kAutoFilter, u"14");
  View.OnSettings = [&](TSwoConfig& Values) {
    EXPECT_EQ(&Values, &Sorter->Config());
    TFakeSettingsView dialog;
    TSettingsPresenter settings{dialog};
    settings.SetValues(&Values);
    dialog.ExpectShows(settings);
    dialog.UserTicks(TSettingsControl::cbDoOnlyRead, true);
    HandleEvent(dialog, [&] { settings.cbDoOnlyReadClick(true); });
    dialog.ExpectClose(TModalResult::Ok);
    HandleEvent(dialog, [&] { settings.btnOKClick(); });
    dialog.VerifyDone();
  };
  User([&] { Presenter.Button3Click(); });
  EXPECT_TRUE(Sorter->Config().GetAsBoolean(kDoOnlyRead));
  EXPECT_EQ(Sorter->Config().GetValue(kAutoFilter), u"14");

  View.ExpectClose();
  User([&] { Presenter.Button2Click(); });
}

}  // namespace
}  // namespace swo::test
