// The window framework under Wine: controls placed by the layout at the window's dpi and moved
// when it resizes, errors of handlers shown in the application's error box with the window
// staying open, the close box and Esc ending the modal loop.
#include "ui/form_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "foundation/exception.h"
#include "platform/wide_win.h"
#include "ui/application.h"
#include "ui/window_layouts.h"

namespace swo {
namespace {

// Presses OK on the first message box that comes up within five seconds and keeps its text
// and caption.
class TMessageBoxCloser {
 public:
  TMessageBoxCloser()
      : FThread([this] {
          for (int Tries = 0; Tries < 500 && !FDone; ++Tries) {
            HWND Box = FindWindowW(L"#32770", nullptr);
            wchar_t Text[256] = {}, Caption[256] = {};
            // The box exists before its text is set: wait until it is up.
            if (Box != nullptr && IsWindowVisible(Box) && GetDlgItemTextW(Box, 0xFFFF, Text, 256) > 0) {
              GetWindowTextW(Box, Caption, 256);
              FText = brv::platform::FromWide(Text);
              FCaption = brv::platform::FromWide(Caption);
              PostMessageW(Box, WM_COMMAND, IDOK, 0);
              FDone = true;
              return;
            }
            Sleep(10);
          }
        }) {}
  ~TMessageBoxCloser() { Join(); }
  void Join() {
    if (FThread.joinable()) FThread.join();
  }
  std::u16string FText, FCaption;
  std::atomic<bool> FDone{false};

 private:
  std::thread FThread;
};

// A window with the main window's layout; every item a static control but the panel's buttons.
class TTestForm : public TForm {
 public:
  TTestForm() : TForm(MainWindowLayout(), {u"Test", WS_OVERLAPPEDWINDOW, 0, true, nullptr}) {}
  std::function<void(TTestForm&)> Shown;
  std::function<void(int Id)> Command;

 protected:
  void CreateControls() override {
    for (int Item = 0; Item < miCount; ++Item) {
      const bool Button = Item == miButton1 || Item == miButton2 || Item == miButton3;
      if (Item == miPanel1 || Item == miSplitter1) continue;
      AddControl(Item, Button ? L"BUTTON" : L"STATIC", u"", 0, 0, Item == miButton2 ? IDCANCEL : 0);
    }
    SetSplitter(miSplitter1, miGroupBox1);
  }
  void OnShow() override {
    if (Shown) Shown(*this);
  }
  void OnCommand(int Id, int, HWND) override {
    if (Id == IDCANCEL) Close(IDCANCEL);
    if (Command) Command(Id);
  }
};

TRect PlaceOf(HWND Control) {
  RECT R;
  GetWindowRect(Control, &R);
  MapWindowPoints(HWND_DESKTOP, GetParent(Control), reinterpret_cast<POINT*>(&R), 2);
  return {R.left, R.top, R.right - R.left, R.bottom - R.top};
}

TEST(FormTest, ControlsTakeTheirLayoutPlacesAndFollowTheWindowsSize) {
  TTestForm Form;
  TRect List, ListWider, Run, RunWider;
  int Dpi = 0;
  Form.Shown = [&](TTestForm& F) {
    Dpi = F.Dpi();
    List = PlaceOf(F.Control(milbAddresses));
    Run = PlaceOf(F.Control(miButton1));
    RECT Frame;
    GetWindowRect(F.Handle(), &Frame);
    MoveWindow(F.Handle(), Frame.left, Frame.top, Frame.right - Frame.left + 100, Frame.bottom - Frame.top + 50, FALSE);
    ListWider = PlaceOf(F.Control(milbAddresses));
    RunWider = PlaceOf(F.Control(miButton1));
    F.Close(IDOK);
  };
  EXPECT_EQ(Form.ShowModal(nullptr), IDOK);
  const auto Designed = Arrange(MainWindowLayout(), Scale(698, Dpi), Scale(484, Dpi), Dpi);
  EXPECT_EQ(List, Designed[milbAddresses]);
  EXPECT_EQ(Run, Designed[miButton1]);
  EXPECT_EQ(RunWider.Left, Run.Left + 100);
  EXPECT_EQ(ListWider.Width, List.Width + 100);
  EXPECT_EQ(ListWider.Height, List.Height + 50);
  EXPECT_EQ(Form.Handle(), nullptr) << "the window is gone when ShowModal returns";
}

TEST(FormTest, AHandlersErrorIsShownInTheErrorBoxAndTheWindowStaysOpen) {
  SetApplicationTitle(u"Brevanta Outlook Sortwise Add-In");
  TTestForm Form;
  int After = 0;
  Form.Shown = [](TTestForm& F) { PostMessageW(F.Handle(), WM_COMMAND, TForm::ControlId(miButton1), 0); };
  Form.Command = [&](int Id) {
    if (Id == TForm::ControlId(miButton1)) {
      PostMessageW(Form.Handle(), WM_COMMAND, TForm::ControlId(miButton3), 0);
      throw brv::EbrvObject(brv::kE_FAIL, u"Inbox cannot be added");
    }
    if (Id == TForm::ControlId(miButton3)) {
      ++After;  // the window still answers after the error
      PostMessageW(Form.Handle(), WM_CLOSE, 0, 0);
    }
  };
  TMessageBoxCloser Closer;
  EXPECT_EQ(Form.ShowModal(nullptr), IDCANCEL) << "the close box ends the modal loop with Cancel";
  Closer.Join();
  EXPECT_EQ(Closer.FText, u"Inbox cannot be added.");
  EXPECT_EQ(Closer.FCaption, u"Brevanta Outlook Sortwise Add-In");
  EXPECT_EQ(After, 1);
}

TEST(FormTest, EscapePressesTheCancelButton) {
  TTestForm Form;
  Form.Shown = [](TTestForm& F) {
    SetFocus(F.Control(miButton1));
    PostMessageW(F.Control(miButton1), WM_KEYDOWN, VK_ESCAPE, 0);
  };
  EXPECT_EQ(Form.ShowModal(nullptr), IDCANCEL);
}

// An unowned frame, as Outlook's explorers, inspectors and pickers are.
HWND NewFrame(const wchar_t* Caption) {
  return CreateWindowExW(0, L"STATIC", Caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// While the window is open, a frame that the thread opens out of the blue (a new explorer on a
// timer) is disabled until the window closes; one that the user's own action opens inside a
// handler (Outlook's folder picker) stays usable.
HWND Explorer = nullptr;

void CALLBACK OpenExplorer(HWND, UINT, UINT_PTR Timer, DWORD) {
  KillTimer(nullptr, Timer);
  Explorer = NewFrame(L"Inbox - Outlook");
}

TEST(FormTest, FramesOpenedMeanwhileAreDisabledButNotTheOnesAHandlerOpens) {
  Explorer = nullptr;
  bool PickerEnabled = false, ExplorerEnabledMeanwhile = true;
  TTestForm Form;
  Form.Shown = [](TTestForm& F) { PostMessageW(F.Handle(), WM_COMMAND, TForm::ControlId(miButton1), 0); };
  Form.Command = [&](int Id) {
    if (Id == TForm::ControlId(miButton1)) {
      // A picker with a loop of its own, inside the handler.
      const HWND Picker = NewFrame(L"Select Folder");
      MSG Message;
      while (PeekMessageW(&Message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&Message);
      PickerEnabled = IsWindowEnabled(Picker) != FALSE;
      DestroyWindow(Picker);
      SetTimer(nullptr, 0, 10, OpenExplorer);
    } else if (Id == TForm::ControlId(miButton3)) {
      ExplorerEnabledMeanwhile = IsWindowEnabled(Explorer) != FALSE;
      PostMessageW(Form.Handle(), WM_CLOSE, 0, 0);
    }
  };
  std::thread Person([&] {
    for (int Tries = 0; Tries < 500 && Explorer == nullptr; ++Tries) Sleep(10);
    // Whatever the window's thread was asked meanwhile is done before the next command.
    SendMessageW(Form.Handle(), WM_NULL, 0, 0);
    PostMessageW(Form.Handle(), WM_COMMAND, TForm::ControlId(miButton3), 0);
  });
  EXPECT_EQ(Form.ShowModal(nullptr), IDCANCEL);
  Person.join();
  EXPECT_TRUE(PickerEnabled) << "the user's own picker was disabled";
  ASSERT_NE(Explorer, nullptr);
  EXPECT_FALSE(ExplorerEnabledMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(Explorer)) << "not enabled again when the window closed";
  DestroyWindow(Explorer);
}

}  // namespace
}  // namespace swo
