// The rule editor's inbox collection dialogs driven as a person would, on the sample mailbox and
// rules: open each from its toolbar button, tick rows, pick targets through the scripted folder
// picker (the inbox first, refused in the error box over the dialog), confirm, and read the
// editor's list and the saved rules afterwards.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "editor_driver.h"
#include "host/memory_store_file.h"
#include "rule_editor.h"
#include "sorting/sortwise.h"
#include "ui/inbox_addresses.h"

namespace {

using namespace editor_test;

constexpr const char16_t* kInbox = u"\\\\anna.berg@brevanta.example\\Inbox";
constexpr const char16_t* kZephyr = u"\\\\anna.berg@brevanta.example\\Inbox\\Projects\\Zephyr";
constexpr const char16_t* kTravel = u"\\\\Archive 2025\\Travel";

// What the inbox collection offers for the sample mailbox and rules.
std::vector<std::u16string> SampleOffer() {
  const auto Mailbox = outlook::LoadMailbox(SORTWISE_SAMPLES u"/mailbox.xml");
  const std::unique_ptr<swo::TSortwise> Sortwise(swo::TSortwise::Create());
  Sortwise->Load(SORTWISE_SAMPLES u"/rules.xml");
  Sortwise->SetApplication_(Mailbox->Application());
  return swo::GetInboxAddresses(*Sortwise);
}

std::vector<std::u16string> RowsOf(const TListDriver& List) {
  std::vector<std::u16string> Rows;
  for (int Row = 0; Row < List.Count(); ++Row) Rows.push_back(List.Text(Row));
  return Rows;
}

swo::TSwoFolder* SavedFolder(const swo::TSortwise& Saved, const std::u16string& Name) {
  for (int32_t S = 0; S < Saved.Count(); ++S)
    for (int32_t F = 0; F < Saved.Items(S)->Count(); ++F)
      if (Saved.Items(S)->Items(F)->Name() == Name) return Saved.Items(S)->Items(F);
  return nullptr;
}

RECT ClientPlace(HWND Control) {
  RECT Place;
  GetWindowRect(Control, &Place);
  MapWindowPoints(HWND_DESKTOP, GetParent(Control), reinterpret_cast<POINT*>(&Place), 2);
  return Place;
}

using InboxDialogsTest = EditorTest;

TEST_F(InboxDialogsTest, TheCollectDialogAddsTheTickedSendersToTheSelectedFolder) {
  const std::vector<std::u16string> Offer = SampleOffer();
  ASSERT_GE(Offer.size(), 3u);
  rule_editor::TOptions Options = SampleOptions(FWork);

  std::thread Driver;
  std::vector<std::u16string> Shown;
  SIZE Outer{};
  RECT Client{}, OK{}, Cancel{}, List{};
  bool TickedAfterClicks[3] = {};
  std::u16string Caption = u"?", OKText, CancelText;
  int RowsBefore = -1;
  std::vector<std::u16string> RowsAfter;
  rule_editor::RunEditor(Options, [&](swo::TfrmMain& Window) {
    Driver = std::thread([&] {
      const TDriver D(Window);
      D.Settle();
      D.Select(D.FindNode(u"Apollo"));
      RowsBefore = D.Rows();
      D.Press(swo::TMainControl::tbAddFromInbox, false);
      HWND Dialog = WaitForDialogOver(Window.Handle());
      ASSERT_NE(Dialog, nullptr);
      RECT Frame;
      GetWindowRect(Dialog, &Frame);
      Outer = {Frame.right - Frame.left, Frame.bottom - Frame.top};
      GetClientRect(Dialog, &Client);
      Caption = TextOf(Dialog);
      const TListDriver Rows(GetDlgItem(Dialog, swo::TForm::ControlId(swo::iiList)));
      OK = ClientPlace(GetDlgItem(Dialog, IDOK));
      Cancel = ClientPlace(GetDlgItem(Dialog, IDCANCEL));
      List = ClientPlace(Rows.Handle());
      OKText = TextOf(GetDlgItem(Dialog, IDOK));
      CancelText = TextOf(GetDlgItem(Dialog, IDCANCEL));
      Shown = RowsOf(Rows);
      // Tick the first three, then untick the second again.
      for (int Row : {0, 1, 2, 1}) Rows.Tick(Row);
      for (int Row = 0; Row < 3; ++Row) TickedAfterClicks[Row] = Rows.Ticked(Row);
      PostMessageW(GetDlgItem(Dialog, IDOK), BM_CLICK, 0, 0);
      WaitUntilGone(Dialog);
      D.Settle();
      for (int Row = 0; Row < D.Rows(); ++Row) {
        wchar_t Text[512] = {};
        SendMessageW(D.Control(swo::milbAddresses), LB_GETTEXT, Row, reinterpret_cast<LPARAM>(Text));
        RowsAfter.push_back(FromWide(Text));
      }
      PostMessageW(D.Control(swo::miButton2), BM_CLICK, 0, 0);
    });
  });
  Driver.join();

  EXPECT_EQ(Shown, Offer);
  EXPECT_EQ(Caption, u"");
  EXPECT_EQ(Outer.cx, 320);
  EXPECT_EQ(Outer.cy, 240);
  EXPECT_EQ(OKText, u"OK");
  EXPECT_EQ(CancelText, u"Cancel");
  EXPECT_EQ(OK.right, Client.right - 8);
  EXPECT_EQ(OK.bottom, Client.bottom - 8);
  EXPECT_EQ(Cancel.right, OK.left - 8);
  EXPECT_EQ(Cancel.bottom, OK.bottom);
  EXPECT_EQ(List.left, 8);
  EXPECT_EQ(List.top, 8);
  EXPECT_EQ(List.right, Client.right - 8);
  EXPECT_EQ(List.bottom, OK.top - 8);
  EXPECT_TRUE(TickedAfterClicks[0]);
  EXPECT_FALSE(TickedAfterClicks[1]);
  EXPECT_TRUE(TickedAfterClicks[2]);
  EXPECT_EQ(static_cast<int>(RowsAfter.size()), RowsBefore + 2);

  const std::unique_ptr<swo::TSortwise> Saved(swo::TSortwise::Create());
  Saved->Load(WindowsPath(FWork / "rules.xml"));
  swo::TSwoFolder* Apollo = SavedFolder(*Saved, u"Apollo");
  ASSERT_NE(Apollo, nullptr);
  EXPECT_NE(Apollo->GetItem(std::u16string_view(Offer[0])), nullptr);
  EXPECT_EQ(Apollo->GetItem(std::u16string_view(Offer[1])), nullptr);
  EXPECT_NE(Apollo->GetItem(std::u16string_view(Offer[2])), nullptr);
}

TEST_F(InboxDialogsTest, TheTargetDialogAddsEachTickedRowToTheFolderPickedForIt) {
  const std::vector<std::u16string> Offer = SampleOffer();
  ASSERT_GE(Offer.size(), 3u);
  rule_editor::TOptions Options = SampleOptions(FWork);
  // Row 1: the inbox (refused), then Zephyr, a folder not registered yet; row 2: Travel.
  Options.Picks = {kInbox, kZephyr, kTravel};

  std::thread Driver;
  std::vector<std::u16string> Shown;
  SIZE MainSize{}, DialogSize{};
  std::u16string Columns[2], InboxError, Targets[3];
  int ColumnWidths[2] = {}, ListClientWidth = 0;
  bool DialogStayed = false, Ticked[3] = {};
  HTREEITEM ZephyrBefore = nullptr, ZephyrAfter = nullptr;
  rule_editor::RunEditor(Options, [&](swo::TfrmMain& Window) {
    Driver = std::thread([&] {
      const TDriver D(Window);
      D.Settle();
      ZephyrBefore = D.FindNode(u"Zephyr");
      RECT Frame;
      GetWindowRect(Window.Handle(), &Frame);
      MainSize = {Frame.right - Frame.left, Frame.bottom - Frame.top};
      D.Press(swo::TMainControl::tbAddAdvInbox, false);
      HWND Dialog = WaitForDialogOver(Window.Handle());
      ASSERT_NE(Dialog, nullptr);
      GetWindowRect(Dialog, &Frame);
      DialogSize = {Frame.right - Frame.left, Frame.bottom - Frame.top};
      const TListDriver Rows(GetDlgItem(Dialog, swo::TForm::ControlId(swo::iiList)));
      Shown = RowsOf(Rows);
      for (int Column = 0; Column < 2; ++Column) {
        Columns[Column] = Rows.ColumnCaption(Column);
        ColumnWidths[Column] = Rows.ColumnWidth(Column);
      }
      RECT ListClient;
      GetClientRect(Rows.Handle(), &ListClient);
      ListClientWidth = ListClient.right;

      Rows.DoubleClick(1, false);
      if (HWND Box = WaitForWindow(L"#32770", nullptr)) {
        for (int Tries = 0; Tries < 100 && InboxError.empty(); ++Tries, Sleep(10)) InboxError = TextOf(GetDlgItem(Box, 0xFFFF));
        PostMessageW(Box, WM_COMMAND, IDOK, 0);
        WaitUntilGone(Box);
      }
      DialogStayed = IsWindowVisible(Dialog) != FALSE;
      Rows.DoubleClick(1);
      Rows.DoubleClick(2);
      Rows.Tick(0);  // ticked without a target: ignored
      for (int Row = 0; Row < 3; ++Row) {
        Targets[Row] = Rows.Text(Row, 1);
        Ticked[Row] = Rows.Ticked(Row);
      }
      PostMessageW(GetDlgItem(Dialog, IDOK), BM_CLICK, 0, 0);
      WaitUntilGone(Dialog);
      D.Settle();
      ZephyrAfter = D.FindNode(u"Zephyr");
      PostMessageW(D.Control(swo::miButton2), BM_CLICK, 0, 0);
    });
  });
  Driver.join();

  EXPECT_EQ(Shown, Offer);
  EXPECT_EQ(DialogSize.cx, MainSize.cx);
  EXPECT_EQ(DialogSize.cy, MainSize.cy);
  EXPECT_EQ(Columns[0], u"Address");
  EXPECT_EQ(Columns[1], u"Target");
  EXPECT_EQ(ColumnWidths[0], ListClientWidth / 2);
  EXPECT_EQ(ColumnWidths[1], ListClientWidth / 2);
  EXPECT_EQ(InboxError, u"Inbox cannot be added.");
  EXPECT_TRUE(DialogStayed);
  EXPECT_EQ(Targets[0], u"");
  EXPECT_EQ(Targets[1], u"Zephyr");
  EXPECT_EQ(Targets[2], u"Travel");
  EXPECT_TRUE(Ticked[0] && Ticked[1] && Ticked[2]);
  EXPECT_EQ(ZephyrBefore, nullptr);
  EXPECT_NE(ZephyrAfter, nullptr) << "the folder registered in the dialog has its node after OK";

  const std::unique_ptr<swo::TSortwise> Saved(swo::TSortwise::Create());
  Saved->Load(WindowsPath(FWork / "rules.xml"));
  swo::TSwoFolder* Zephyr = SavedFolder(*Saved, u"Zephyr");
  swo::TSwoFolder* Travel = SavedFolder(*Saved, u"Travel");
  ASSERT_NE(Zephyr, nullptr);
  ASSERT_NE(Travel, nullptr);
  EXPECT_EQ(Zephyr->Count(), 1);
  EXPECT_NE(Zephyr->GetItem(std::u16string_view(Offer[1])), nullptr);
  EXPECT_NE(Travel->GetItem(std::u16string_view(Offer[2])), nullptr);
  for (int32_t S = 0; S < Saved->Count(); ++S)
    for (int32_t F = 0; F < Saved->Items(S)->Count(); ++F)
      EXPECT_EQ(Saved->Items(S)->Items(F)->GetItem(std::u16string_view(Offer[0])), nullptr)
          << "the row without a target added nothing";
}

}  // namespace
