// window-click: presses a button of another program's window as a person would, for the scripts
// that test windowed programs (the installer).
//   window-click [--find-only] [--timeout SECONDS] CAPTION BUTTON [TEXT]
// Waits (30 s unless told) for a visible top-level window whose caption contains CAPTION and, with
// TEXT, one of whose controls shows a text containing TEXT; in it, for a visible and enabled button
// whose text is BUTTON (its "&" left out). Then presses and releases the left mouse button over
// that button and prints "clicked BUTTON", or with --find-only only prints "found BUTTON".
// Exit code 1 when no such button appears in time, with the top-level windows there were.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct TTarget {
  std::wstring Caption, Button, Text;
};

std::wstring TextOf(HWND Window) {
  wchar_t Text[1024] = {};
  // WM_GETTEXT, not GetWindowText: the latter does not read the controls of other processes.
  SendMessageTimeoutW(Window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(Text), SMTO_ABORTIFHUNG, 1000, nullptr);
  return Text;
}

std::wstring WithoutAmpersands(std::wstring Text) {
  std::erase(Text, L'&');
  return Text;
}

bool IsButton(HWND Window) {
  wchar_t Class[64] = {};
  GetClassNameW(Window, Class, 64);
  return _wcsicmp(Class, L"Button") == 0;
}

std::vector<HWND> Descendants(HWND Window) {
  std::vector<HWND> Found;
  EnumChildWindows(
      Window,
      [](HWND Child, LPARAM Into) {
        reinterpret_cast<std::vector<HWND>*>(Into)->push_back(Child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Found));
  return Found;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> Found;
  EnumWindows(
      [](HWND Window, LPARAM Into) {
        if (IsWindowVisible(Window)) reinterpret_cast<std::vector<HWND>*>(Into)->push_back(Window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Found));
  return Found;
}

// The target's button, when its window is up and the button can be pressed.
HWND FindButton(const TTarget& Target) {
  for (HWND Window : TopLevelWindows()) {
    if (TextOf(Window).find(Target.Caption) == std::wstring::npos) continue;
    const std::vector<HWND> Controls = Descendants(Window);
    bool TextShown = Target.Text.empty();
    HWND Button = nullptr;
    for (HWND Control : Controls) {
      if (!IsWindowVisible(Control)) continue;
      const std::wstring Text = TextOf(Control);
      if (!TextShown && Text.find(Target.Text) != std::wstring::npos) TextShown = true;
      if (Button == nullptr && IsButton(Control) && IsWindowEnabled(Control) && WithoutAmpersands(Text) == Target.Button)
        Button = Control;
    }
    if (TextShown && Button != nullptr) return Button;
  }
  return nullptr;
}

// Posted, not sent: the click may start work that keeps the program busy, or end it.
void Click(HWND Button) {
  RECT Client{};
  GetClientRect(Button, &Client);
  const LPARAM At = MAKELPARAM(Client.right / 2, Client.bottom / 2);
  PostMessageW(Button, WM_LBUTTONDOWN, MK_LBUTTON, At);
  PostMessageW(Button, WM_LBUTTONUP, 0, At);
}

void ListWindows() {
  for (HWND Window : TopLevelWindows()) {
    std::wprintf(L"window \"%ls\":", TextOf(Window).c_str());
    for (HWND Control : Descendants(Window))
      if (IsButton(Control) && IsWindowVisible(Control))
        std::wprintf(L" [%ls%ls]", TextOf(Control).c_str(), IsWindowEnabled(Control) ? L"" : L" disabled");
    std::wprintf(L"\n");
  }
}

int Usage() {
  std::fwprintf(stderr, L"usage: window-click [--find-only] [--timeout SECONDS] CAPTION BUTTON [TEXT]\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bool FindOnly = false;
  int TimeoutSeconds = 30;
  std::vector<std::wstring> Words;
  for (int i = 1; i < argc; ++i) {
    const std::wstring Argument = argv[i];
    if (Argument == L"--find-only")
      FindOnly = true;
    else if (Argument == L"--timeout" && i + 1 < argc)
      TimeoutSeconds = _wtoi(argv[++i]);
    else
      Words.push_back(Argument);
  }
  if (Words.size() < 2 || Words.size() > 3 || TimeoutSeconds <= 0) return Usage();
  const TTarget Target{Words[0], Words[1], Words.size() == 3 ? Words[2] : L""};

  const ULONGLONG Deadline = GetTickCount64() + 1000ULL * TimeoutSeconds;
  HWND Button = FindButton(Target);
  while (Button == nullptr && GetTickCount64() < Deadline) {
    Sleep(100);
    Button = FindButton(Target);
  }
  if (Button == nullptr) {
    std::wprintf(L"no button \"%ls\" in a window \"%ls\"%ls%ls%ls within %d s; the windows:\n", Target.Button.c_str(),
                 Target.Caption.c_str(), Target.Text.empty() ? L"" : L" showing \"", Target.Text.c_str(),
                 Target.Text.empty() ? L"" : L"\"", TimeoutSeconds);
    ListWindows();
    return 1;
  }
  if (!FindOnly) Click(Button);
  std::wprintf(L"%ls %ls\n", FindOnly ? L"found" : L"clicked", Target.Button.c_str());
  return 0;
}
