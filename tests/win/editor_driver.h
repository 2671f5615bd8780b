// Driving the rule editor as a person would, by window messages from a second thread: finding
// its windows, clicking, typing, and reading back what the controls show.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/wide_win.h"
#include "rule_editor.h"
#include "ui/form_win.h"
#include "ui/main_view.h"
#include "ui/main_window_win.h"
#include "ui/window_layouts.h"

namespace editor_test {

using brv::platform::FromWide;

inline std::u16string TextOf(HWND Window) {
  wchar_t Text[512] = {};
  SendMessageW(Window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(Text));
  return FromWide(Text);
}

// Waits up to five seconds for a top-level window of Class with Caption (null: any caption).
inline HWND WaitForWindow(const wchar_t* Class, const wchar_t* Caption) {
  for (int Tries = 0; Tries < 500; ++Tries) {
    HWND Found = FindWindowW(Class, Caption);
    if (Found != nullptr && IsWindowVisible(Found)) return Found;
    Sleep(10);
  }
  return nullptr;
}

inline void WaitUntilGone(HWND Window) {
  for (int Tries = 0; Tries < 500 && IsWindow(Window); ++Tries) Sleep(10);
}

// The left button pressed (Down: WM_LBUTTONDOWN or WM_LBUTTONDBLCLK) and released at the centre
// of Rect in Window's client area; Wait false posts the messages instead of sending them.
inline void MouseAt(HWND Window, const RECT& Rect, UINT Down, bool Wait) {
  const LPARAM At = MAKELPARAM((Rect.left + Rect.right) / 2, (Rect.top + Rect.bottom) / 2);
  for (const UINT Message : {Down, static_cast<UINT>(WM_LBUTTONUP)}) {
    const WPARAM Keys = Message == WM_LBUTTONUP ? 0 : MK_LBUTTON;
    if (Wait)
      SendMessageW(Window, Message, Keys, At);
    else
      PostMessageW(Window, Message, Keys, At);
  }
}

// A left click at the centre of Rect in Window's client area.
inline void ClickAt(HWND Window, const RECT& Rect, bool Wait = true) { MouseAt(Window, Rect, WM_LBUTTONDOWN, Wait); }

// The driver's view of the open editor.
class TDriver {
 public:
  explicit TDriver(swo::TfrmMain& Window) : FWindow(Window), FForm(Window.Handle()) {}

  HWND Control(int Item) const { return FWindow.Control(Item); }
  HWND ToolBarOf(swo::TMainControl Button) const {
    const bool Left = Button == swo::TMainControl::tbAdd || Button == swo::TMainControl::tbDelete ||
                      Button == swo::TMainControl::tbRefresh || Button == swo::TMainControl::tbAddAdvInbox;
    return Control(Left ? swo::miToolBar1 : swo::miToolBar2);
  }
  int CommandOf(swo::TMainControl Button) const { return swo::TfrmMain::CommandOf(Button); }
  bool Enabled(swo::TMainControl Button) const {
    return SendMessageW(ToolBarOf(Button), TB_ISBUTTONENABLED, CommandOf(Button), 0) != 0;
  }
  // Clicks a toolbar button with the mouse; Wait false when the click opens something modal.
  void Press(swo::TMainControl Button, bool Wait = true) const {
    RECT Rect{};
    SendMessageW(ToolBarOf(Button), TB_GETRECT, CommandOf(Button), reinterpret_cast<LPARAM>(&Rect));
    ClickAt(ToolBarOf(Button), Rect, Wait);
  }
  // The tree item whose text is Text, searched depth first.
  HTREEITEM FindNode(const std::u16string& Text) const { return Find(TVI_ROOT, Text); }
  void Select(HTREEITEM Item) const { SendMessageW(Control(swo::mitvFolders), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Item)); }
  int Rows() const { return static_cast<int>(SendMessageW(Control(swo::milbAddresses), LB_GETCOUNT, 0, 0)); }
  int RowOf(const std::u16string& Text) const {
    return static_cast<int>(SendMessageW(Control(swo::milbAddresses), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(brv::platform::WideCStr(Text))));
  }
  void ClickRow(int Row) const {
    RECT Rect{};
    SendMessageW(Control(swo::milbAddresses), LB_GETITEMRECT, Row, reinterpret_cast<LPARAM>(&Rect));
    ClickAt(Control(swo::milbAddresses), Rect);
  }
  void Type(HWND Edit, const std::u16string& Text) const {
    SendMessageW(Edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(brv::platform::WideCStr(Text)));
  }
  // Waits until the window's thread has handled everything posted before.
  void Settle() const { SendMessageW(FForm, WM_NULL, 0, 0); }

 private:
  HTREEITEM Find(HTREEITEM Parent, const std::u16string& Text) const {
    HWND Tree = Control(swo::mitvFolders);
    const UINT First = Parent == TVI_ROOT ? TVGN_ROOT : TVGN_CHILD;
    for (auto Item = reinterpret_cast<HTREEITEM>(SendMessageW(Tree, TVM_GETNEXTITEM, First, reinterpret_cast<LPARAM>(Parent)));
         Item != nullptr;
         Item = reinterpret_cast<HTREEITEM>(SendMessageW(Tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(Item)))) {
      wchar_t Buffer[256] = {};
      TVITEMW Read{};
      Read.mask = TVIF_TEXT;
      Read.hItem = Item;
      Read.pszText = Buffer;
      Read.cchTextMax = 256;
      SendMessageW(Tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&Read));
      if (FromWide(Buffer) == Text) return Item;
      if (HTREEITEM Below = Find(Item, Text)) return Below;
    }
    return nullptr;
  }

  swo::TfrmMain& FWindow;
  HWND FForm;
};

// The dialog (a window of the framework) that Owner's window has opened over itself, once it
// shows; null after five seconds.
inline HWND WaitForDialogOver(HWND Owner) {
  for (int Tries = 0; Tries < 500; ++Tries) {
    for (HWND Found = FindWindowExW(nullptr, nullptr, L"TSortwiseForm", nullptr); Found != nullptr;
         Found = FindWindowExW(nullptr, Found, L"TSortwiseForm", nullptr))
      if (GetWindow(Found, GW_OWNER) == Owner && IsWindowVisible(Found)) return Found;
    Sleep(10);
  }
  return nullptr;
}

// A list view's rows as a person reads them.
class TListDriver {
 public:
  explicit TListDriver(HWND List) : FList(List) {}
  HWND Handle() const { return FList; }
  int Count() const { return static_cast<int>(SendMessageW(FList, LVM_GETITEMCOUNT, 0, 0)); }
  std::u16string Text(int Row, int Column = 0) const {
    wchar_t Buffer[512] = {};
    LVITEMW Item{};
    Item.iSubItem = Column;
    Item.pszText = Buffer;
    Item.cchTextMax = 512;
    SendMessageW(FList, LVM_GETITEMTEXTW, Row, reinterpret_cast<LPARAM>(&Item));
    return FromWide(Buffer);
  }
  int RowOf(const std::u16string& Text) const {
    for (int Row = 0; Row < Count(); ++Row)
      if (this->Text(Row) == Text) return Row;
    return -1;
  }
  bool Ticked(int Row) const {
    return (SendMessageW(FList, LVM_GETITEMSTATE, Row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) ==
           INDEXTOSTATEIMAGEMASK(2);
  }
  int ColumnWidth(int Column) const { return static_cast<int>(SendMessageW(FList, LVM_GETCOLUMNWIDTH, Column, 0)); }
  std::u16string ColumnCaption(int Column) const {
    wchar_t Buffer[64] = {};
    LVCOLUMNW Read{};
    Read.mask = LVCF_TEXT;
    Read.pszText = Buffer;
    Read.cchTextMax = 64;
    SendMessageW(FList, LVM_GETCOLUMNW, Column, reinterpret_cast<LPARAM>(&Read));
    return FromWide(Buffer);
  }
  // Clicks the row's tick box, which stands just left of the row's icon place.
  void Tick(int Row) const {
    RECT Icon{LVIR_ICON, 0, 0, 0};
    SendMessageW(FList, LVM_GETITEMRECT, Row, reinterpret_cast<LPARAM>(&Icon));
    const RECT Box{Icon.left - 14, Icon.top, Icon.left - 2, Icon.bottom};
    ClickAt(FList, Box);
  }
  // Double-clicks the row's caption; Wait false when that opens something modal.
  void DoubleClick(int Row, bool Wait = true) const {
    RECT Label{LVIR_LABEL, 0, 0, 0};
    SendMessageW(FList, LVM_GETITEMRECT, Row, reinterpret_cast<LPARAM>(&Label));
    ClickAt(FList, Label, Wait);
    MouseAt(FList, Label, WM_LBUTTONDBLCLK, Wait);
  }

 private:
  HWND FList;
};

inline std::u16string WindowsPath(const std::filesystem::path& Path) { return Path.u16string(); }

// The editor on the sample mailbox and rules, saving into Work.
inline rule_editor::TOptions SampleOptions(const std::filesystem::path& Work) {
  rule_editor::TOptions Options;
  Options.Mailbox = SORTWISE_SAMPLES u"/mailbox.xml";
  Options.Config = SORTWISE_SAMPLES u"/rules.xml";
  Options.Save = WindowsPath(Work / "rules.xml");
  return Options;
}

// A private work folder per test.
class EditorTest : public testing::Test {
 protected:
  void SetUp() override {
    FWork = std::filesystem::temp_directory_path() / ("rule-editor-test-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(FWork);
  }
  void TearDown() override { std::filesystem::remove_all(FWork); }
  std::filesystem::path FWork;
};

}  // namespace editor_test
