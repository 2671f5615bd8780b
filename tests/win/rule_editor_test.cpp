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
#include <optional>
#include <string>
#include <thread>

#include "foundation/text.h"
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
  rule_editor::TOptions Options = SampleOptions(FWork);
  Options.SaveMailbox = WindowsPath(FWork / "mailbox.xml");
  Options.Picks = {u"\\\\anna.berg@brevanta.example\\Inbox"};

  std::thread Driver;
  std::u16string InboxError, InboxErrorCaption, LineAfterDelete, Caption;
  int RowsOfApollo = -1, RowsAfterAdd = -1, RowsAfterDelete = -1, RowsAfterReadd = -1;
  bool AddEnabledWhileTyped = false, AddEnabledAfterAdd = true, RunEnabledAfter = false;
  rule_editor::RunEditor(Options, [&](swo::TfrmMain& Window) {
    Driver = std::thread([&] {
      const TDriver D(Window);
      D.Settle();
      Caption = TextOf(Window.Handle());
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
        InboxErrorCaption = TextOf(Box);
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

  // The preview shows what users see: the product's title on the window and its boxes.
  EXPECT_EQ(Caption, u"Brevanta Outlook Sortwise");
  EXPECT_EQ(InboxErrorCaption, u"Brevanta Outlook Sortwise");
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

// The control of Window's thread that has the keyboard focus.
HWND FocusOf(HWND Window) {
  GUITHREADINFO Info{};
  Info.cbSize = sizeof Info;
  GetGUIThreadInfo(GetWindowThreadProcessId(Window, nullptr), &Info);
  return Info.hwndFocus;
}

// A key pressed and released where the focus is.
void PressKey(HWND Window, WPARAM Key) {
  HWND Focus = FocusOf(Window);
  PostMessageW(Focus != nullptr ? Focus : Window, WM_KEYDOWN, Key, 1);
  PostMessageW(Focus != nullptr ? Focus : Window, WM_KEYUP, Key, 0xC0000001);
}

RECT ClientOf(HWND Control) {
  RECT Rect{};
  GetClientRect(Control, &Rect);
  return Rect;
}

// A window of the editor's thread that signals when the thread gets to a message posted to it:
// by then everything posted to that thread before (keys included) has been handled.
class TBarrier {
 public:
  TBarrier() : FReached(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    WNDCLASSEXW Class{};
    Class.cbSize = sizeof Class;
    Class.lpfnWndProc = Procedure;
    Class.hInstance = GetModuleHandleW(nullptr);
    Class.lpszClassName = L"RuleEditorTestBarrier";
    RegisterClassExW(&Class);
    FWindow = CreateWindowExW(0, L"RuleEditorTestBarrier", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  }
  ~TBarrier() {
    DestroyWindow(FWindow);
    CloseHandle(FReached);
  }
  // From another thread: waits until the window's thread has handled what was posted so far.
  void Pass() const {
    PostMessageW(FWindow, WM_APP, 0, reinterpret_cast<LPARAM>(FReached));
    WaitForSingleObject(FReached, 5000);
  }

 private:
  static LRESULT CALLBACK Procedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
    if (Message == WM_APP) SetEvent(reinterpret_cast<HANDLE>(LParam));
    return DefWindowProcW(Window, Message, WParam, LParam);
  }

  HANDLE FReached;
  HWND FWindow = nullptr;
};

TEST_F(RuleEditorTest, TheKeyboardStartsInTheTreeAndInTheDialogsFirstFieldAndEscCloses) {
  rule_editor::TOptions Options = SampleOptions(FWork);

  std::thread Driver;
  std::optional<TBarrier> Barrier;
  bool TreeFocusedOnShow = false, OKFocusedOnShow = false, OpenAfterEnter = false, OKEnabledAfterEnter = true;
  bool SettingsFocusedAfter = false, ClosedByEsc = false;
  rule_editor::RunEditor(Options, [&](swo::TfrmMain& Window) {
    Barrier.emplace();
    Driver = std::thread([&] {
      const TDriver D(Window);
      const HWND Form = Window.Handle();
      Barrier->Pass();
      TreeFocusedOnShow = FocusOf(Form) == D.Control(swo::mitvFolders);

      // The settings dialog, opened with the mouse.
      ClickAt(D.Control(swo::miButton3), ClientOf(D.Control(swo::miButton3)), false);
      const HWND Settings = WaitForWindow(L"TSortwiseForm", L"Settings");
      ASSERT_NE(Settings, nullptr);
      Barrier->Pass();
      const HWND OK = GetDlgItem(Settings, IDOK);
      OKFocusedOnShow = FocusOf(Settings) == OK;
      // Automatic clean-up on, the days emptied: Enter does not take the dialog's OK.
      const HWND Auto = GetDlgItem(Settings, swo::TForm::ControlId(swo::sicbAutoEnabled));
      if (SendMessageW(Auto, BM_GETCHECK, 0, 0) != BST_CHECKED) ClickAt(Auto, ClientOf(Auto));
      const HWND Days = GetDlgItem(Settings, swo::TForm::ControlId(swo::siedAutoFilter));
      ClickAt(Days, ClientOf(Days));
      D.Type(Days, u"");
      PressKey(Settings, VK_RETURN);
      Barrier->Pass();
      OpenAfterEnter = IsWindow(Settings) && IsWindowVisible(Settings);
      OKEnabledAfterEnter = IsWindowEnabled(OK) != FALSE;
      // Esc cancels it, and the keyboard goes on from "Settings".
      PressKey(Settings, VK_ESCAPE);
      WaitUntilGone(Settings);
      Barrier->Pass();
      SettingsFocusedAfter = FocusOf(Form) == D.Control(swo::miButton3);

      PressKey(Form, VK_ESCAPE);
      WaitUntilGone(Form);
      ClosedByEsc = !IsWindow(Form);
      if (!ClosedByEsc) PostMessageW(Form, WM_CLOSE, 0, 0);
    });
  });
  Driver.join();

  EXPECT_TRUE(TreeFocusedOnShow);
  EXPECT_TRUE(OKFocusedOnShow);
  EXPECT_TRUE(OpenAfterEnter) << "Enter with the days emptied leaves the dialog open";
  EXPECT_FALSE(OKEnabledAfterEnter);
  EXPECT_TRUE(SettingsFocusedAfter);
  EXPECT_TRUE(ClosedByEsc);
  // Cancelled: the settings are as they were.
  const std::unique_ptr<swo::TSortwise> Before(swo::TSortwise::Create()), After(swo::TSortwise::Create());
  Before->Load(Options.Config);
  After->Load(Options.Save);
  EXPECT_EQ(After->Config().GetValue(u"Auto.Enabled"), u"False");
  for (const char16_t* Key : {u"IgnoreUnmarked", u"DoOnlyRead", u"DoOnlyComplete", u"Auto.Enabled", u"Auto.Filter"})
    EXPECT_EQ(After->Config().GetValue(Key), Before->Config().GetValue(Key)) << brv::Utf16ToUtf8(Key);
}

}  // namespace
