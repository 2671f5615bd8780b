// TForm: a top-level window built from a designed layout, shown modally. It owns the window,
// its font (Tahoma 8 pt at the window's dpi) and the placement of its controls; descendants
// create the controls, and receive commands and notifications through OnCommand and OnNotify.
// Every handler runs inside Guard: an error it raises is shown in the application's message box
// and the window stays open. No exception leaves the window procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/event_edge.h"
#include "ui/handles_win.h"
#include "ui/layout.h"

namespace swo {

// How a window looks apart from its controls.
struct TFormStyle {
  std::u16string Caption;
  DWORD Style = WS_OVERLAPPEDWINDOW;   // border, title bar buttons
  DWORD ExStyle = 0;
  bool WhiteSurface = false;           // white, else the dialog face
  HICON Icon = nullptr;                // not owned
  // The window's outer size, for a window not sized by its layout's client area: designed at
  // 96 dpi (and scaled like the layout), or in pixels for a window sized after another. The
  // controls then take their places in whatever client area that leaves.
  SIZE DesignedOuterSize{};
  SIZE OuterSizeInPixels{};
};

class TForm {
 public:
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  // Creates the window over Owner (none: centred on the screen, else on the owner), disables
  // the owner and every other window of the thread, gives the first tab stop the focus, runs
  // the window until it closes and returns the modal result it closed with. Afterwards the
  // windows are enabled again and the focus goes back where it was.
  int ShowModal(HWND Owner);
  // Ends the modal loop with Result; the window is destroyed when ShowModal returns.
  void Close(int Result);
  // Runs when Windows ends the session (log-off, restart) while the window is open: the
  // process may end as soon as it returns, so this is the last moment to save. Must not raise.
  void SetOnSessionEnd(std::function<void()> Handler) { FOnSessionEnd = std::move(Handler); }

  // The window (null before ShowModal created it and after it returned).
  HWND Handle() const { return FHandle; }
  // The control of a layout item (null for items without a window of their own).
  HWND Control(int Item) const { return FControls[Item]; }
  // The command identifier of a layout item's control.
  static int ControlId(int Item) { return kFirstControlId + Item; }
  // The window's dots per inch.
  int Dpi() const { return FDpi; }
  // Scales a length designed at 96 dpi to the window.
  int Scaled(int Designed) const;

 protected:
  TForm(TLayout Layout, TFormStyle Style);

  // Creates the controls; called once from ShowModal with the window made and sized.
  virtual void CreateControls() = 0;
  // The window is about to be shown for the first time.
  virtual void OnShow() {}
  // A command from a control (button click, edit change, ...) or from the keyboard (IDOK for
  // Enter, IDCANCEL for Esc).
  virtual void OnCommand(int Id, int Code, HWND Control) = 0;
  // A notification of a common control; the result goes back to the control.
  virtual LRESULT OnNotify(const NMHDR& Header);
  // The controls have just been put in their layout places (at creation and on every resize).
  virtual void OnArranged() {}
  // The close box or Alt+F4; closes with IDCANCEL unless overridden.
  virtual void OnCloseRequest() { Close(IDCANCEL); }

  // Creates the window of a layout item with the window's font; Id 0 takes ControlId(Item).
  HWND AddControl(int Item, const wchar_t* ClassName, const std::u16string& Text, DWORD Style,
                  DWORD ExStyle = 0, int Id = 0);
  // Makes Item a splitter that resizes Resized (an item aligned left) by dragging.
  void SetSplitter(int Item, int Resized);
  // Runs Handler; an error it raises is shown in a message box and the window stays open.
  void Guard(const std::function<void()>& Handler) noexcept;

 private:
  static constexpr int kFirstControlId = 100;
  static LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) noexcept;
  LRESULT Handle(UINT Message, WPARAM WParam, LPARAM LParam);
  void Create(HWND Owner);
  std::pair<int, int> OuterSize() const;
  void ArrangeControls();
  bool InSplitter(POINT Point) const;

  // Shows the errors of Guard's handlers over this window.
  class TErrorBox final : public TErrorView {
   public:
    explicit TErrorBox(const TForm& Form) : FForm(Form) {}
    void ShowError(std::u16string_view Text) override;

   private:
    const TForm& FForm;
  };

  TLayout FLayout;
  TFormStyle FStyle;
  TErrorBox FErrorBox{*this};
  HWND FHandle = nullptr;
  int FDpi = 96;
  std::vector<HWND> FControls;
  std::vector<TRect> FPlaces;
  TUniqueFont FFont;
  TUniqueBrush FSurface;
  int FSplitter = -1;
  int FSplitterResized = -1;
  bool FDragging = false;
  HWND FFocus = nullptr;  // the control that had the focus when the window was last deactivated
  bool FClosing = false;
  int FResult = IDCANCEL;
  std::function<void()> FOnSessionEnd;
};

// Shows Text in the application's error box over Owner: the error icon, OK, the application
// title as caption.
void ShowErrorBox(HWND Owner, std::u16string_view Text) noexcept;

// Runs Handler; an error it raises is shown in the application's error box over Owner, as a
// window's handler's would be. True when it ended without error.
bool ShowErrorsOver(HWND Owner, const std::function<void()>& Handler) noexcept;

// The text of a window or control.
std::u16string WindowText(HWND Window);

// The application icon of the windows (the add-in sets it at start-up; not owned); null until set.
HICON ApplicationIcon();
void SetApplicationIcon(HICON Icon);

}  // namespace swo
