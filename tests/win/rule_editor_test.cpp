// The rule editor driven as a person would, by window messages from a second thread, on the
// sample mailbox and rules: select a folder, type an entry line, add it, delete it and add it
// back, pick the inbox (refused in the error box), change the settings, run a clean-up, close.
// The saved rules and mailbox tell what the window did.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "host/memory_store.h"
#include "host/memory_store_file.h"
#include "platform/wide_win.h"
#include "editor_driver.h"
#include "rule_editor.h"
#include "sorting/sortwise.h"
#include "ui/form_win.h"
#include "ui/main_view.h"
#include "ui/main_window_win.h"
#include "ui/window_layouts.h"

namespace {

using namespace editor_test;

using RuleEditorTest = EditorTest;

TEST_F(RuleEditorTest, APersonEditsTheSampleRulesAndRunsACleanUp) {
  rule_editor::TOptions Options;
  Options.Mailbox = SORTWISE_SAMPLES u"/mailbox.xml";
  Options.Config = SORTWISE_SAMPLES u"/rules.xml";
  Options.Save = WindowsPath(FWork / "rules.xml");
  Options.SaveMailbox = WindowsPath(FWork / "mailbox.xml");
  Options.Picks = {u"\\\\anna.berg@brevanta.example\\Inbox"};

  std::thread Driver;
  std::u16string InboxError, LineAfterDelete;
  int RowsOfApollo = -1, RowsAfterAdd = -1, RowsAfterDelete = -1, RowsAfterReadd = -1;
  bool AddEnabledWhileTyped = false, AddEnabledAfterAdd = true, RunEnabledAfter = false;
  rule_editor::RunEditor(Options, [&](swo::TfrmMain& Window) {
    Driver = std::thread([&] {
      const TDriver D(Window);
      D.Settle();
      HTREEITEM Apollo = D.FindNode(u"Apollo");
      ASSERT_NE(Apollo, nullptr) << "the first store's branch is expanded when the window opens";
      D.Select(Apollo);
      RowsOfApollo = D.Rows();

      const std::u16string Line = u"dana@corp.example Subject:\"*launch plan*\" Categories:\"Apollo\"";
      D.Type(D.Control(swo::miedAddress), Line);
      AddEnabledWhileTyped = D.Enabled(swo::TMainControl::tbAddressAdd);
      D.Press(swo::TMainControl::tbAddressAdd);
      RowsAfterAdd = D.Rows();
      AddEnabledAfterAdd = D.Enabled(swo::TMainControl::tbAddressAdd);

      D.ClickRow(D.RowOf(Line));
      D.Press(swo::TMainControl::tbAddressDelete);
      RowsAfterDelete = D.Rows();
      LineAfterDelete = TextOf(D.Control(swo::miedAddress));
      D.Press(swo::TMainControl::tbAddressAdd);
      RowsAfterReadd = D.Rows();

      // The picker answers with the inbox: refused in the error box, the window stays.
      D.Press(swo::TMainControl::tbAdd, false);
      if (HWND Box = WaitForWindow(L"#32770", nullptr)) {
        for (int Tries = 0; Tries < 100 && InboxError.empty(); ++Tries, Sleep(10)) InboxError = TextOf(GetDlgItem(Box, 0xFFFF));
        PostMessageW(Box, WM_COMMAND, IDOK, 0);
        WaitUntilGone(Box);
      }

      PostMessageW(D.Control(swo::miButton3), BM_CLICK, 0, 0);
      if (HWND Settings = WaitForWindow(L"TSortwiseForm", L"Settings")) {
        SendMessageW(GetDlgItem(Settings, swo::TForm::ControlId(swo::sicbAutoEnabled)), BM_CLICK, 0, 0);
        D.Type(GetDlgItem(Settings, swo::TForm::ControlId(swo::siedAutoFilter)), u"14");
        PostMessageW(GetDlgItem(Settings, IDOK), BM_CLICK, 0, 0);
        WaitUntilGone(Settings);
      }

      PostMessageW(D.Control(swo::miButton1), BM_CLICK, 0, 0);
      D.Settle();  // the run happens inside the click
      RunEnabledAfter = IsWindowEnabled(D.Control(swo::miButton1)) != FALSE;
      PostMessageW(D.Control(swo::miButton2), BM_CLICK, 0, 0);
    });
  });
  Driver.join();

  EXPECT_EQ(RowsOfApollo, 3);
  EXPECT_TRUE(AddEnabledWhileTyped);
  EXPECT_EQ(RowsAfterAdd, 4);
  EXPECT_FALSE(AddEnabledAfterAdd) << "the edit is cleared after an add";
  EXPECT_EQ(RowsAfterDelete, 3);
  EXPECT_EQ(LineAfterDelete, u"dana@corp.example Subject:\"*launch plan*\" Categories:\"Apollo\"");
  EXPECT_EQ(RowsAfterReadd, 4);
  EXPECT_EQ(InboxError, u"Inbox cannot be added.");
  EXPECT_TRUE(RunEnabledAfter);

  const std::unique_ptr<swo::TSortwise> Saved(swo::TSortwise::Create());
  Saved->Load(WindowsPath(FWork / "rules.xml"));
  EXPECT_EQ(Saved->Config().GetValue(u"Auto.Enabled"), u"True");
  EXPECT_EQ(Saved->Config().GetValue(u"Auto.Filter"), u"14");
  bool Found = false;
  for (int32_t S = 0; S < Saved->Count(); ++S)
    for (int32_t F = 0; F < Saved->Items(S)->Count(); ++F)
      for (int32_t E = 0; E < Saved->Items(S)->Items(F)->Count(); ++E) {
        swo::TSwoEntry* Entry = Saved->Items(S)->Items(F)->Items(E);
        if (Entry->Address() != u"dana@corp.example") continue;
        Found = true;
        EXPECT_EQ(Entry->Count(), 2);
        EXPECT_EQ(Entry->GetValue(u"Subject"), u"*launch plan*");
        EXPECT_EQ(Entry->GetValue(u"Categories"), u"Apollo");
      }
  EXPECT_TRUE(Found) << "the entry added in the window is in the saved rules, once";

  // The clean-up started from the window moved what a run of the sample rules moves.
  const auto Mailbox = outlook::LoadMailbox(WindowsPath(FWork / "mailbox.xml"));
  EXPECT_EQ(Mailbox->Application()->Session()->GetDefaultFolder(outlook::olFolderInbox)->Items()->Count(), 19);
}

}  // namespace
