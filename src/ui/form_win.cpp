#include "ui/form_win.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "foundation/exception.h"
#include "platform/wide_win.h"
#include "ui/application.h"
#include "ui/late_windows_win.h"
#include "ui/visual_styles_win.h"

namespace swo {
namespace {

constexpr wchar_t kClassName[] = L"TSortwiseForm";

// The window's dpi: the monitor's where the system tells it per window, else the screen's.
int WindowDpi(HWND Window) {
  using TGetDpiForWindow = UINT(WINAPI*)(HWND);
  static const auto GetDpiForWindow = reinterpret_cast<TGetDpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (GetDpiForWindow != nullptr && Window != nullptr) {
    if (UINT Dpi = GetDpiForWindow(Window)) return static_cast<int>(Dpi);
  }
  HDC Screen = GetDC(nullptr);
  const int Dpi = GetDeviceCaps(Screen, LOGPIXELSY);
  ReleaseDC(nullptr, Screen);
  return Dpi > 0 ? Dpi : 96;
}

void RegisterFormClass() {
  static const bool Registered = [] {
    WNDCLASSEXW Class{};
    Class.cbSize = sizeof(Class);
    Class.style = CS_DBLCLKS;
    Class.lpfnWndProc = DefWindowProcW;  // replaced per window once its object is attached
    Class.hInstance = ThisModule();
    Class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    Class.lpszClassName = kClassName;
    return RegisterClassExW(&Class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!Registered) brv::EbrvObject::Check(brv::TbrvOsError{GetLastError()});
}

struct TEnabledWindows {
  HWND Except;
  std::vector<HWND> Windows;
};

BOOL CALLBACK AddEnabledWindow(HWND Window, LPARAM Param) noexcept {
  auto& Found = *reinterpret_cast<TEnabledWindows*>(Param);
  try {
    if (Window != Found.Except && IsWindowVisible(Window) && IsWindowEnabled(Window)) Found.Windows.push_back(Window);
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

// The visible, enabled top-level windows of this thread but Except.
std::vector<HWND> OtherEnabledWindows(HWND Except) {
  TEnabledWindows Found{Except, {}};
  EnumThreadWindows(GetCurrentThreadId(), AddEnabledWindow, reinterpret_cast<LPARAM>(&Found));
  return Found.Windows;
}

// The control that Tab reaches first: tab order is the order of the children.
HWND FirstTabStop(HWND Window) {
  for (HWND Child = GetWindow(Window, GW_CHILD); Child != nullptr; Child = GetWindow(Child, GW_HWNDNEXT))
    if ((GetWindowLongW(Child, GWL_STYLE) & WS_TABSTOP) != 0 && IsWindowVisible(Child) && IsWindowEnabled(Child))
      return Child;
  return nullptr;
}

HICON& Icon() {
  static HICON Value = nullptr;
  return Value;
}

}  // namespace

TForm::TForm(TLayout Layout, TFormStyle Style)
    : FLayout(std::move(Layout)), FStyle(std::move(Style)), FControls(FLayout.Items.size()) {}

TForm::~TForm() {
  if (FHandle != nullptr) DestroyWindow(FHandle);
}

int TForm::Scaled(int Designed) const { return Scale(Designed, FDpi); }

int TForm::ShowModal(HWND Owner) {
  TVisualStylesScope Styles;
  const HWND PreviousFocus = GetFocus();
  Create(Owner);
  // Modal for the whole thread: an application may have several main windows (Outlook's
  // explorers), and a click in any of them must wait until this window has closed.
  std::vector<HWND> Disabled = OtherEnabledWindows(FHandle);
  if (Owner != nullptr && IsWindowEnabled(Owner) && std::find(Disabled.begin(), Disabled.end(), Owner) == Disabled.end())
    Disabled.push_back(Owner);
  for (HWND Window : Disabled) EnableWindow(Window, FALSE);
  std::optional<TLateWindowsDisabled> Late(std::in_place, FHandle);
  FClosing = false;
  Guard([this] { OnShow(); });
  ShowWindow(FHandle, SW_SHOW);
  if (HWND First = FirstTabStop(FHandle)) SetFocus(First);
  MSG Message;
  bool Quit = false;
  while (!FClosing) {
    const BOOL Got = GetMessageW(&Message, nullptr, 0, 0);
    if (Got == 0 || Got == -1) {
      Quit = Got == 0;
      break;
    }
    if (!IsDialogMessageW(FHandle, &Message)) {
      TranslateMessage(&Message);
      DispatchMessageW(&Message);
    }
  }
  // The owner comes back before this window goes, so that the activation returns to it, and
  // the focus to the control that had it.
  Late.reset();
  for (auto Window = Disabled.rbegin(); Window != Disabled.rend(); ++Window)
    if (IsWindow(*Window)) EnableWindow(*Window, TRUE);
  DestroyWindow(FHandle);
  FHandle = nullptr;
  if (PreviousFocus != nullptr && IsWindow(PreviousFocus) && IsWindowEnabled(PreviousFocus)) SetFocus(PreviousFocus);
  if (Quit) PostQuitMessage(static_cast<int>(Message.wParam));
  return FResult;
}

void TForm::Close(int Result) {
  FResult = Result;
  FClosing = true;
}

void TForm::Create(HWND Owner) {
  RegisterFormClass();
  FDpi = WindowDpi(Owner);
  const auto [Width, Height] = OuterSize();
  RECT Over;
  if (Owner == nullptr || !GetWindowRect(Owner, &Over)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &Over, 0);
  const int Left = Over.left + (Over.right - Over.left - Width) / 2;
  const int Top = std::max<int>(Over.top, Over.top + (Over.bottom - Over.top - Height) / 2);
  FHandle = CreateWindowExW(FStyle.ExStyle, kClassName, brv::platform::WideCStr(FStyle.Caption), FStyle.Style, Left, Top,
                            Width, Height, Owner, nullptr, ThisModule(), nullptr);
  if (FHandle == nullptr) brv::EbrvObject::Check(brv::TbrvOsError{GetLastError()});
  SetWindowLongPtrW(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
  if (FStyle.Icon != nullptr) {
    SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FStyle.Icon));
    SendMessageW(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FStyle.Icon));
  }
  // The dpi of the window as placed can differ from the owner's (another monitor).
  FDpi = WindowDpi(FHandle);
  FFont.reset(CreateFontW(-MulDiv(8, FDpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Tahoma"));
  FSurface.reset(CreateSolidBrush(GetSysColor(FStyle.WhiteSurface ? COLOR_WINDOW : COLOR_BTNFACE)));
  RECT Client;
  GetClientRect(FHandle, &Client);
  FPlaces = Arrange(FLayout, Client.right, Client.bottom, FDpi);
  CreateControls();
  ArrangeControls();
}

std::pair<int, int> TForm::OuterSize() const {
  if (FStyle.OuterSizeInPixels.cx > 0) return {FStyle.OuterSizeInPixels.cx, FStyle.OuterSizeInPixels.cy};
  if (FStyle.DesignedOuterSize.cx > 0) return {Scaled(FStyle.DesignedOuterSize.cx), Scaled(FStyle.DesignedOuterSize.cy)};
  RECT Frame{0, 0, Scaled(FLayout.ClientWidth), Scaled(FLayout.ClientHeight)};
  AdjustWindowRectEx(&Frame, FStyle.Style, FALSE, FStyle.ExStyle);
  return {Frame.right - Frame.left, Frame.bottom - Frame.top};
}

HWND TForm::AddControl(int Item, const wchar_t* ClassName, const std::u16string& Text, DWORD Style,
                       DWORD ExStyle, int Id) {
  const TRect& Place = FPlaces[Item];
  HWND Control = CreateWindowExW(ExStyle, ClassName, brv::platform::WideCStr(Text), Style | WS_CHILD | WS_VISIBLE, Place.Left,
                                 Place.Top, Place.Width, Place.Height, FHandle,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id != 0 ? Id : ControlId(Item))),
                                 ThisModule(), nullptr);
  if (Control == nullptr) brv::EbrvObject::Check(brv::TbrvOsError{GetLastError()});
  SendMessageW(Control, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.get()), FALSE);
  FControls[Item] = Control;
  return Control;
}

void TForm::SetSplitter(int Item, int Resized) {
  FSplitter = Item;
  FSplitterResized = Resized;
}

void TForm::ArrangeControls() {
  RECT Client;
  GetClientRect(FHandle, &Client);
  FPlaces = Arrange(FLayout, Client.right, Client.bottom, FDpi);
  HDWP Moves = BeginDeferWindowPos(static_cast<int>(FControls.size()));
  for (size_t I = 0; I < FControls.size() && Moves != nullptr; ++I) {
    if (FControls[I] == nullptr) continue;
    const TRect& P = FPlaces[I];
    Moves = DeferWindowPos(Moves, FControls[I], nullptr, P.Left, P.Top, P.Width, P.Height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (Moves != nullptr) EndDeferWindowPos(Moves);
  OnArranged();
  InvalidateRect(FHandle, nullptr, TRUE);
}

bool TForm::InSplitter(POINT Point) const {
  if (FSplitter < 0) return false;
  const TRect& S = FPlaces[FSplitter];
  return Point.x >= S.Left && Point.x < S.Right() && Point.y >= S.Top && Point.y < S.Bottom();
}

LRESULT TForm::OnNotify(const NMHDR&) { return 0; }

void TForm::Guard(const std::function<void()>& Handler) noexcept {
  const TLateWindowsDisabled::TUserAction Action;
  HandleEvent(FErrorBox, Handler);
}

void TForm::TErrorBox::ShowError(std::u16string_view Text) { ShowErrorBox(FForm.Handle(), Text); }

LRESULT CALLBACK TForm::WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) noexcept {
  auto* Form = reinterpret_cast<TForm*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
  if (Form == nullptr) return DefWindowProcW(Window, Message, WParam, LParam);
  try {
    return Form->Handle(Message, WParam, LParam);
  } catch (...) {
    // Handlers run inside Guard; this only catches the window's own plumbing failing.
    return DefWindowProcW(Window, Message, WParam, LParam);
  }
}

LRESULT TForm::Handle(UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_COMMAND: {
      const int Id = LOWORD(WParam), Code = HIWORD(WParam);
      HWND From = reinterpret_cast<HWND>(LParam);
      Guard([&] { OnCommand(Id, Code, From); });
      return 0;
    }
    case WM_NOTIFY: {
      LRESULT Result = 0;
      const NMHDR& Header = *reinterpret_cast<const NMHDR*>(LParam);
      Guard([&] { Result = OnNotify(Header); });
      return Result;
    }
    case WM_CLOSE:
      Guard([this] { OnCloseRequest(); });
      return 0;
    case TLateWindowsDisabled::kDisableMessage:
      TLateWindowsDisabled::Disable(reinterpret_cast<HWND>(WParam));
      return 0;
    case WM_QUERYENDSESSION:
      // Nothing here needs the user's answer: the session may end, and is saved when it does.
      return TRUE;
    case WM_ENDSESSION:
      if (WParam != FALSE && FOnSessionEnd) FOnSessionEnd();
      return 0;
    case WM_ACTIVATE:
      // The focus stays with its control while another window is active, as in a dialog.
      if (LOWORD(WParam) == WA_INACTIVE) {
        HWND Focus = GetFocus();
        if (Focus != nullptr && IsChild(FHandle, Focus)) FFocus = Focus;
      } else if (FFocus != nullptr && IsWindow(FFocus) && IsChild(FHandle, FFocus) && IsWindowEnabled(FFocus)) {
        SetFocus(FFocus);
        return 0;
      }
      break;
    case WM_SIZE:
      if (WParam != SIZE_MINIMIZED) ArrangeControls();
      return 0;
    case WM_ERASEBKGND: {
      RECT Client;
      GetClientRect(FHandle, &Client);
      FillRect(reinterpret_cast<HDC>(WParam), &Client, FSurface.get());
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Labels, check boxes and group boxes take the window's surface.
      HDC Dc = reinterpret_cast<HDC>(WParam);
      SetBkColor(Dc, GetSysColor(FStyle.WhiteSurface ? COLOR_WINDOW : COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(FSurface.get());
    }
    case WM_SETCURSOR:
      if (LOWORD(LParam) == HTCLIENT) {
        POINT At;
        GetCursorPos(&At);
        ScreenToClient(FHandle, &At);
        if (InSplitter(At) || FDragging) {
          SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
          return TRUE;
        }
      }
      break;
    case WM_LBUTTONDOWN: {
      const POINT At{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      if (InSplitter(At)) {
        FDragging = true;
        SetCapture(FHandle);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (FDragging) {
        // The resized item keeps at least 30 designed pixels on each side of the splitter.
        RECT Client;
        GetClientRect(FHandle, &Client);
        const TRect& Resized = FPlaces[FSplitterResized];
        const int Wanted = GET_X_LPARAM(LParam) - Resized.Left;
        const int Widest = Client.right - Resized.Left - Scaled(60);
        const int Width = std::clamp(Wanted, Scaled(30), std::max(Scaled(30), Widest));
        FLayout.Items[FSplitterResized].Designed.Width = MulDiv(Width, 96, FDpi);
        ArrangeControls();
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (FDragging) {
        FDragging = false;
        if (Message == WM_LBUTTONUP) ReleaseCapture();
      }
      return 0;
  }
  return DefWindowProcW(FHandle, Message, WParam, LParam);
}

void ShowErrorBox(HWND Owner, std::u16string_view Text) noexcept {
  try {
    const std::u16string Shown(Text);
    MessageBoxW(Owner, brv::platform::WideCStr(Shown), brv::platform::WideCStr(ApplicationTitle()),
                MB_OK | MB_ICONERROR);
  } catch (...) {
    MessageBoxW(Owner, L"Out of memory.", nullptr, MB_OK | MB_ICONERROR);
  }
}

bool ShowErrorsOver(HWND Owner, const std::function<void()>& Handler) noexcept {
  class TBoxOver final : public TErrorView {
   public:
    explicit TBoxOver(HWND Window) : FWindow(Window) {}
    void ShowError(std::u16string_view Text) override { ShowErrorBox(FWindow, Text); }

   private:
    HWND FWindow;
  } Box(Owner);
  return HandleEvent(Box, Handler);
}

std::u16string WindowText(HWND Window) {
  std::u16string Text(static_cast<size_t>(GetWindowTextLengthW(Window)) + 1, u'\0');
  Text.resize(static_cast<size_t>(
      GetWindowTextW(Window, reinterpret_cast<wchar_t*>(Text.data()), static_cast<int>(Text.size()))));
  return Text;
}

HICON ApplicationIcon() { return Icon(); }

void SetApplicationIcon(HICON NewIcon) { Icon() = NewIcon; }

}  // namespace swo
