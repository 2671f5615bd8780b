#include "ui/inbox_dialogs_win.h"

#include <commctrl.h>

#include "platform/wide_win.h"
#include "ui/application.h"
#include "ui/main_presenter.h"
#include "ui/window_layouts.h"

namespace swo {
namespace {

// A new window's look: sizeable, with system menu, minimise and maximise boxes, no caption.
TFormStyle NewWindowStyle() { return {u"", WS_OVERLAPPEDWINDOW, 0, false, ApplicationIcon()}; }

void InsertColumn(HWND List, int Index, const wchar_t* Caption, int Width) {
  LVCOLUMNW Column{};
  Column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  Column.pszText = const_cast<wchar_t*>(Caption);
  Column.cx = Width;
  Column.iSubItem = Index;
  SendMessageW(List, LVM_INSERTCOLUMNW, Index, reinterpret_cast<LPARAM>(&Column));
}

int ClientWidth(HWND Window) {
  RECT Client;
  GetClientRect(Window, &Client);
  return Client.right;
}

}  // namespace

TInboxDialog::TInboxDialog(TFormStyle Style) : TForm(InboxDialogLayout(), std::move(Style)) {}

void TInboxDialog::CreateListAndButtons(DWORD Style, const std::vector<std::u16string>& Addresses) {
  // Creation order is the tab order: the list, OK, Cancel.
  HWND Made = AddControl(iiList, WC_LISTVIEWW, u"", LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_TABSTOP | Style,
                         WS_EX_CLIENTEDGE);
  SendMessageW(Made, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  // A list view without columns shows no rows; the dialogs give it theirs.
  InsertColumn(Made, 0, L"", 0);
  SendMessageW(Made, WM_SETREDRAW, FALSE, 0);
  SendMessageW(Made, LVM_SETITEMCOUNT, Addresses.size(), 0);
  LVITEMW Item{};
  Item.mask = LVIF_TEXT;
  for (size_t I = 0; I < Addresses.size(); ++I) {
    Item.iItem = static_cast<int>(I);
    Item.pszText = const_cast<wchar_t*>(brv::platform::WideCStr(Addresses[I]));
    SendMessageW(Made, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&Item));
  }
  SendMessageW(Made, WM_SETREDRAW, TRUE, 0);
  AddControl(iiOK, L"BUTTON", u"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, IDOK);
  AddControl(iiCancel, L"BUTTON", u"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0, IDCANCEL);
}

bool TInboxDialog::IsTicked(int32_t Row) const {
  const auto State = static_cast<UINT>(SendMessageW(List(), LVM_GETITEMSTATE, Row, LVIS_STATEIMAGEMASK));
  return (State & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);  // image 2 is the ticked box
}

int32_t TInboxDialog::RowCount() const { return static_cast<int32_t>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }

TfrmCollect::TfrmCollect(const std::vector<std::u16string>& Addresses) : TInboxDialog([] {
  TFormStyle Style = NewWindowStyle();
  Style.DesignedOuterSize = {320, 240};
  return Style;
}()), FAddresses(Addresses) {}

void TfrmCollect::CreateControls() { CreateListAndButtons(LVS_NOCOLUMNHEADER, FAddresses); }

void TfrmCollect::OnArranged() {
  // A check list: its one column always spans the list.
  SendMessageW(List(), LVM_SETCOLUMNWIDTH, 0, ClientWidth(List()));
}

void TfrmCollect::OnCommand(int Id, int, HWND) {
  if (Id == IDOK) {
    FTicked.clear();
    for (int32_t Row = 0; Row < RowCount(); ++Row)
      if (IsTicked(Row)) FTicked.push_back(Row);
    Close(IDOK);
  } else if (Id == IDCANCEL) {
    Close(IDCANCEL);
  }
}

TfrmTargets::TfrmTargets(TMainPresenter& Presenter, const std::vector<std::u16string>& Addresses, int Width,
                         int Height)
    : TInboxDialog([&] {
        TFormStyle Style = NewWindowStyle();
        Style.OuterSizeInPixels = {Width, Height};
        return Style;
      }()),
      FPresenter(Presenter),
      FAddresses(Addresses) {}

void TfrmTargets::CreateControls() {
  CreateListAndButtons(0, FAddresses);
  // Two columns of half the list's width each (an odd pixel is dropped).
  const int Half = ClientWidth(List()) / 2;
  LVCOLUMNW Column{};
  Column.mask = LVCF_TEXT | LVCF_WIDTH;
  Column.pszText = const_cast<wchar_t*>(L"Address");
  Column.cx = Half;
  SendMessageW(List(), LVM_SETCOLUMNW, 0, reinterpret_cast<LPARAM>(&Column));
  InsertColumn(List(), 1, L"Target", Half);
}

int32_t TfrmTargets::Selected() const {
  return static_cast<int32_t>(SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TfrmTargets::SetTarget(int32_t Row, TSwoFolder& Folder, std::u16string_view Name) {
  const std::u16string Text(Name);
  LVITEMW Item{};
  Item.iItem = Row;
  Item.mask = LVIF_PARAM;
  Item.lParam = reinterpret_cast<LPARAM>(&Folder);
  SendMessageW(List(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&Item));
  Item.mask = LVIF_TEXT;
  Item.iSubItem = 1;
  Item.pszText = const_cast<wchar_t*>(brv::platform::WideCStr(Text));
  SendMessageW(List(), LVM_SETITEMTEXTW, Row, reinterpret_cast<LPARAM>(&Item));
  Item.mask = LVIF_STATE;
  Item.stateMask = LVIS_STATEIMAGEMASK;
  Item.state = INDEXTOSTATEIMAGEMASK(2);
  SendMessageW(List(), LVM_SETITEMSTATE, Row, reinterpret_cast<LPARAM>(&Item));
}

void TfrmTargets::OnCommand(int Id, int, HWND) {
  if (Id == IDOK) {
    FRows.clear();
    for (int32_t Row = 0; Row < RowCount(); ++Row) {
      LVITEMW Item{};
      Item.iItem = Row;
      Item.mask = LVIF_PARAM;
      SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&Item));
      FRows.push_back({FAddresses.at(static_cast<size_t>(Row)), reinterpret_cast<TSwoFolder*>(Item.lParam), IsTicked(Row)});
    }
    Close(IDOK);
  } else if (Id == IDCANCEL) {
    Close(IDCANCEL);
  }
}

LRESULT TfrmTargets::OnNotify(const NMHDR& Header) {
  if (Header.hwndFrom == List() && Header.code == NM_DBLCLK) FPresenter.tbAddAdvInboxListViewDblClick(*this);
  return 0;
}

}  // namespace swo
