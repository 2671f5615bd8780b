#include "ui/main_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "platform/wide_win.h"
#include "sorting/sortwise.h"
#include "ui/application.h"
#include "ui/inbox_dialogs_win.h"
#include "ui/resource_ids.h"
#include "ui/settings_window_win.h"
#include "ui/visual_styles_win.h"

namespace swo {
namespace {

// Toolbar buttons send their TMainControl above this.
constexpr int kToolCommands = 300;

int ToolCommand(TMainControl Control) { return kToolCommands + static_cast<int>(Control); }

const TFolderNode* NodeOf(LPARAM Param) { return reinterpret_cast<const TFolderNode*>(Param); }

int CALLBACK ByPresentersOrder(LPARAM A, LPARAM B, LPARAM) noexcept { return NodeOf(A)->Index() - NodeOf(B)->Index(); }

// An image list of Size x Size images from the icons Ids of this module.
HIMAGELIST LoadImages(std::initializer_list<int> Ids, int Size) {
  HIMAGELIST List = ImageList_Create(Size, Size, ILC_COLOR32 | ILC_MASK, static_cast<int>(Ids.size()), 0);
  for (int Id : Ids) {
    TUniqueIcon Icon(static_cast<HICON>(LoadImageW(ThisModule(), MAKEINTRESOURCEW(Id), IMAGE_ICON, Size, Size, 0)));
    ImageList_AddIcon(List, Icon.get());
  }
  return List;
}

// The disabled look of the toolbar images: grey and faded. The toolbar would make one itself only
// from a mask, and images with soft (alpha) edges have none worth drawing.
HIMAGELIST DisabledImages(HIMAGELIST Source, int Size) {
  const int Count = ImageList_GetImageCount(Source);
  HIMAGELIST List = ImageList_Create(Size, Size, ILC_COLOR32, Count, 0);
  BITMAPINFO Format{};
  Format.bmiHeader = {sizeof(BITMAPINFOHEADER), Size, -Size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<RGBQUAD> Pixels(static_cast<size_t>(Size) * Size);
  for (int I = 0; I < Count; ++I) {
    TUniqueIcon Icon(ImageList_GetIcon(Source, I, ILD_NORMAL));
    ICONINFO Parts{};
    if (!Icon || !GetIconInfo(Icon.get(), &Parts)) continue;
    TUniqueGdiBitmap Colour(Parts.hbmColor), Mask(Parts.hbmMask);
    HDC Screen = GetDC(nullptr);
    const bool Read = GetDIBits(Screen, Colour.get(), 0, Size, Pixels.data(), &Format, DIB_RGB_COLORS) == Size;
    ReleaseDC(nullptr, Screen);
    if (!Read) continue;
    for (RGBQUAD& P : Pixels) {
      const int Grey = (P.rgbRed * 30 + P.rgbGreen * 59 + P.rgbBlue * 11) / 100;
      const BYTE Light = static_cast<BYTE>(128 + Grey / 2);
      const BYTE Alpha = static_cast<BYTE>(P.rgbReserved * 2 / 5);
      P = {Light, Light, Light, Alpha};
    }
    void* Bits = nullptr;
    TUniqueGdiBitmap Faded(CreateDIBSection(nullptr, &Format, DIB_RGB_COLORS, &Bits, nullptr, 0));
    if (!Faded) continue;
    std::copy(Pixels.begin(), Pixels.end(), static_cast<RGBQUAD*>(Bits));
    ImageList_Add(List, Faded.get(), nullptr);
  }
  return List;
}

}  // namespace

int TfrmMain::CommandOf(TMainControl Button) { return ToolCommand(Button); }

TfrmMain::TfrmMain(TSortwise& ASortwise)
    : TForm(MainWindowLayout(), {ApplicationTitle(), WS_OVERLAPPEDWINDOW, 0, true, ApplicationIcon()}),
      FPresenter(ASortwise, *this) {}

void TfrmMain::CreateControls() {
  const int ImageSize = Scaled(16);
  FToolImages.reset(LoadImages({IDI_TB_FOLDER_ADD, IDI_TB_DELETE, IDI_TB_SAVE, IDI_TB_REFRESH, IDI_TB_FOLDER_CHECK,
                                IDI_TB_PAGE_CHECK},
                               ImageSize));
  FDisabledToolImages.reset(DisabledImages(FToolImages.get(), ImageSize));
  FTreeImages.reset(LoadImages({IDI_TREE_FOLDER}, ImageSize));

  // Creation order is the tab order: the tree, the list, the edit, then Run, Close, Settings.
  AddControl(mitvFolders, WC_TREEVIEWW, u"",
             TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_FULLROWSELECT | WS_TABSTOP, WS_EX_CLIENTEDGE);
  SendMessageW(Tree(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(FTreeImages.get()));
  SendMessageW(Tree(), TVM_SETINDENT, Scaled(19), 0);
  AddControl(milbAddresses, L"LISTBOX", u"", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
             WS_EX_CLIENTEDGE);
  SendMessageW(Control(milbAddresses), LB_SETITEMHEIGHT, 0, Scaled(13));
  AddControl(miedAddress, L"EDIT", u"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
  SendMessageW(Control(miedAddress), EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(L"Address filter..."));
  AddControl(miButton1, L"BUTTON", u"Run...", BS_COMMANDLINK | WS_TABSTOP);
  // Esc presses "Close".
  AddControl(miButton2, L"BUTTON", u"Close", BS_COMMANDLINK | WS_TABSTOP, 0, IDCANCEL);
  AddControl(miButton3, L"BUTTON", u"Settings", BS_COMMANDLINK | WS_TABSTOP);
  CreateToolBar(miToolBar1, {{static_cast<int>(TMainControl::tbAdd), 0},
                             {static_cast<int>(TMainControl::tbDelete), 1},
                             {-1, 0},
                             {static_cast<int>(TMainControl::tbRefresh), 3},
                             {-1, 0},
                             {static_cast<int>(TMainControl::tbAddAdvInbox), 4}});
  CreateToolBar(miToolBar2, {{static_cast<int>(TMainControl::tbAddFromInbox), 5},
                             {static_cast<int>(TMainControl::tbAddressAdd), 2},
                             {static_cast<int>(TMainControl::tbAddressDelete), 1}});
  // The group boxes go under everything they frame.
  for (int Box : {miGroupBox1, miGroupBox2}) {
    AddControl(Box, L"BUTTON", u"", BS_GROUPBOX);
    SetWindowPos(Control(Box), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  SetSplitter(miSplitter1, miGroupBox1);
  for (int I = 0; I < kMainControlCount; ++I) {
    const auto Control = static_cast<TMainControl>(I);
    SetEnabled(Control, FPresenter.Enabled(Control));
  }
}

void TfrmMain::CreateToolBar(int Item, std::initializer_list<TToolButton> Buttons) {
  HWND Bar = AddControl(Item, TOOLBARCLASSNAMEW, u"",
                        TBSTYLE_FLAT | TBSTYLE_TRANSPARENT | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER);
  SendMessageW(Bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(Bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FToolImages.get()));
  SendMessageW(Bar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(FDisabledToolImages.get()));
  for (const TToolButton& Button : Buttons) {
    TBBUTTON Made{};
    if (Button.Control < 0) {
      Made.iBitmap = Scaled(8);
      Made.fsStyle = BTNS_SEP;
    } else {
      Made.iBitmap = Button.Image;
      Made.idCommand = kToolCommands + Button.Control;
      Made.fsState = TBSTATE_ENABLED;
      Made.fsStyle = BTNS_BUTTON;
    }
    SendMessageW(Bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&Made));
  }
}

void TfrmMain::OnShow() { FPresenter.FormShow(); }

void TfrmMain::OnCommand(int Id, int Code, HWND From) {
  if (Id >= kToolCommands && Id < kToolCommands + kMainControlCount) {
    switch (static_cast<TMainControl>(Id - kToolCommands)) {
      case TMainControl::tbAdd: return FPresenter.tbAddClick();
      case TMainControl::tbDelete: return FPresenter.tbDeleteClick();
      case TMainControl::tbRefresh: return FPresenter.tbRefreshClick();
      case TMainControl::tbAddressAdd: return FPresenter.tbAddressAddClick();
      case TMainControl::tbAddressDelete: return FPresenter.tbAddressDeleteClick();
      case TMainControl::tbAddAdvInbox: return FPresenter.tbAddAdvInboxClick();
      case TMainControl::tbAddFromInbox: return FPresenter.tbAddFromInboxClick();
      default: return;
    }
  }
  if (Id == IDCANCEL) return FPresenter.Button2Click();
  if (Id == ControlId(miButton1) && Code == BN_CLICKED) return FPresenter.Button1Click();
  if (Id == ControlId(miButton3) && Code == BN_CLICKED) return FPresenter.Button3Click();
  if (Id == ControlId(miedAddress) && Code == EN_CHANGE && FUpdating == 0)
    return FPresenter.edAddressChange(WindowText(From));
  if (Id == ControlId(milbAddresses) && Code == LBN_SELCHANGE)
    return FPresenter.lbAddressesClick(static_cast<int32_t>(SendMessageW(From, LB_GETCURSEL, 0, 0)));
}

LRESULT TfrmMain::OnNotify(const NMHDR& Header) {
  if (Header.hwndFrom != Tree() || FUpdating > 0) return 0;
  const auto& Change = reinterpret_cast<const NMTREEVIEWW&>(Header);
  if (Header.code == TVN_SELCHANGEDW) FPresenter.tvFoldersChange(NodeOf(Change.itemNew.lParam));
  if (Header.code == TVN_ITEMEXPANDEDW) {
    const TFolderNode& Node = *NodeOf(Change.itemNew.lParam);
    if (Change.action & TVE_EXPAND) FPresenter.tvFoldersExpanded(Node);
    if (Change.action & TVE_COLLAPSE) FPresenter.tvFoldersCollapsed(Node);
  }
  return 0;
}

void TfrmMain::OnCloseRequest() { FPresenter.Button2Click(); }

HTREEITEM TfrmMain::ItemOf(const TFolderNode* Node) const {
  if (Node == nullptr) return nullptr;
  const auto Found = FItems.find(Node);
  return Found != FItems.end() ? Found->second : nullptr;
}

void TfrmMain::SetEnabled(TMainControl Control, bool Enabled) {
  if (Handle() == nullptr) return;
  switch (Control) {
    case TMainControl::Button1: EnableWindow(TForm::Control(miButton1), Enabled); return;
    case TMainControl::Button2: EnableWindow(TForm::Control(miButton2), Enabled); return;
    case TMainControl::Button3: EnableWindow(TForm::Control(miButton3), Enabled); return;
    default: break;
  }
  const bool Left = Control == TMainControl::tbAdd || Control == TMainControl::tbDelete ||
                    Control == TMainControl::tbRefresh || Control == TMainControl::tbAddAdvInbox;
  SendMessageW(TForm::Control(Left ? miToolBar1 : miToolBar2), TB_ENABLEBUTTON, ToolCommand(Control), MAKELPARAM(Enabled, 0));
}

void TfrmMain::BeginTreeUpdate() { SendMessageW(Tree(), WM_SETREDRAW, FALSE, 0); }

void TfrmMain::EndTreeUpdate() {
  SendMessageW(Tree(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Tree(), nullptr, TRUE);
}

void TfrmMain::AddNode(const TFolderNode& Node) {
  TVINSERTSTRUCTW Insert{};
  const HTREEITEM Parent = ItemOf(Node.Parent());
  Insert.hParent = Parent != nullptr ? Parent : TVI_ROOT;
  Insert.hInsertAfter = TVI_LAST;
  Insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  Insert.item.pszText = const_cast<wchar_t*>(brv::platform::WideCStr(Node.Text()));
  Insert.item.iImage = Insert.item.iSelectedImage = Node.ImageIndex();
  Insert.item.lParam = reinterpret_cast<LPARAM>(&Node);
  ++FUpdating;
  FItems[&Node] = reinterpret_cast<HTREEITEM>(SendMessageW(Tree(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&Insert)));
  --FUpdating;
}

void TfrmMain::DeleteNode(const TFolderNode& Node) {
  const HTREEITEM Item = ItemOf(&Node);
  FItems.erase(&Node);
  ++FUpdating;
  SendMessageW(Tree(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Item));
  --FUpdating;
}

void TfrmMain::SortTree() {
  // Every level takes the order of the presenter's tree, whose nodes know their positions.
  auto SortChildren = [this](HTREEITEM Parent) {
    TVSORTCB Sort{Parent, &ByPresentersOrder, 0};
    SendMessageW(Tree(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&Sort));
  };
  SortChildren(TVI_ROOT);
  FPresenter.Tree().ForEach([&](TFolderNode& Node) {
    if (Node.Count() > 0) SortChildren(ItemOf(&Node));
  });
}

void TfrmMain::SelectNode(const TFolderNode* Node) {
  ++FUpdating;
  SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(ItemOf(Node)));
  --FUpdating;
}

void TfrmMain::ExpandNode(const TFolderNode& Node) {
  ++FUpdating;
  SendMessageW(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(ItemOf(&Node)));
  --FUpdating;
}

void TfrmMain::ScrollIntoView(const TFolderNode& Node) {
  ++FUpdating;
  SendMessageW(Tree(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(ItemOf(&Node)));
  --FUpdating;
}

void TfrmMain::SetRows(const std::vector<TAddressRow>& Rows) {
  HWND List = TForm::Control(milbAddresses);
  SendMessageW(List, WM_SETREDRAW, FALSE, 0);
  SendMessageW(List, LB_RESETCONTENT, 0, 0);
  for (const TAddressRow& Row : Rows)
    SendMessageW(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(brv::platform::WideCStr(Row.Text)));
  SendMessageW(List, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(List, nullptr, TRUE);
}

void TfrmMain::InsertRow(int32_t Index, std::u16string_view Text) {
  const std::u16string Line(Text);
  SendMessageW(TForm::Control(milbAddresses), LB_INSERTSTRING, static_cast<WPARAM>(Index),
               reinterpret_cast<LPARAM>(brv::platform::WideCStr(Line)));
}

void TfrmMain::DeleteRow(int32_t Index) {
  SendMessageW(TForm::Control(milbAddresses), LB_DELETESTRING, static_cast<WPARAM>(Index), 0);
}

void TfrmMain::SetEditText(std::u16string_view Text) {
  const std::u16string Line(Text);
  ++FUpdating;
  SetWindowTextW(TForm::Control(miedAddress), brv::platform::WideCStr(Line));
  --FUpdating;
}

void TfrmMain::ShowSettings(TSwoConfig& Values) {
  TfrmSettings Settings;
  Settings.Presenter().SetValues(&Values);
  Settings.ShowModal(Handle());
  // The keyboard goes on from the button that opened the dialog.
  SetFocus(TForm::Control(miButton3));
}

bool TfrmMain::ShowCollectDialog(const std::vector<std::u16string>& Addresses, std::vector<int32_t>& Ticked) {
  TfrmCollect Dialog(Addresses);
  if (Dialog.ShowModal(Handle()) != IDOK) return false;
  Ticked = Dialog.Ticked();
  return true;
}

bool TfrmMain::ShowTargetDialog(const std::vector<std::u16string>& Addresses, std::vector<TTargetRow>& Rows) {
  RECT Outer;
  GetWindowRect(Handle(), &Outer);
  TfrmTargets Dialog(FPresenter, Addresses, Outer.right - Outer.left, Outer.bottom - Outer.top);
  if (Dialog.ShowModal(Handle()) != IDOK) return false;
  Rows = Dialog.Rows();
  return true;
}

void TfrmMain::Close() { TForm::Close(IDOK); }

void TfrmMain::ShowError(std::u16string_view Text) { ShowErrorBox(Handle(), Text); }

}  // namespace swo
