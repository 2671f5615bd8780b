#include "rule_editor.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <utility>

#include "host/memory_store.h"
#include "host/memory_store_file.h"
#include "sorting/sortwise.h"
#include "ui/application.h"
#include "ui/form_win.h"
#include "ui/main_window_win.h"
#include "ui/settings_window_win.h"
#include "ui/visual_styles_win.h"
#include "ui/window_layouts.h"

namespace rule_editor {
namespace {

bool FileExists(const std::u16string& Name) {
  return GetFileAttributesW(reinterpret_cast<const wchar_t*>(Name.c_str())) != INVALID_FILE_ATTRIBUTES;
}

// The add-in's title and icon; the icon is this program's APPICON.
void SetUpApplication() {
  swo::SetApplicationTitle(u"Brevanta Outlook Sortwise");
  static const swo::TUniqueIcon Icon(static_cast<HICON>(LoadImageW(swo::ThisModule(), L"APPICON", IMAGE_ICON, 0, 0,
                                                                   LR_DEFAULTSIZE)));
  swo::SetApplicationIcon(Icon.get());
}

// The window that reports itself shown to the caller.
class TEditorWindow final : public swo::TfrmMain {
 public:
  TEditorWindow(swo::TSortwise& Sortwise, std::function<void(swo::TfrmMain&)> Shown)
      : TfrmMain(Sortwise), FShown(std::move(Shown)) {}

 protected:
  void OnShow() override {
    TfrmMain::OnShow();
    if (FShown) FShown(*this);
  }

 private:
  std::function<void(swo::TfrmMain&)> FShown;
};

// The first node of the tree that stands for a target folder, as the tree shows them.
HTREEITEM FirstFolderItem(HWND Tree) {
  for (auto Item = reinterpret_cast<HTREEITEM>(SendMessageW(Tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); Item != nullptr;
       Item = reinterpret_cast<HTREEITEM>(SendMessageW(Tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(Item)))) {
    TVITEMW Read{};
    Read.mask = TVIF_PARAM;
    Read.hItem = Item;
    SendMessageW(Tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&Read));
    if (reinterpret_cast<const swo::TFolderNode*>(Read.lParam)->Data() != nullptr) return Item;
  }
  return nullptr;
}

// Selects the first folder as the user would and clicks Button once the window runs.
void OpenOver(swo::TfrmMain& Main, swo::TMainControl Button) {
  HWND Tree = Main.Control(swo::mitvFolders);
  if (HTREEITEM First = FirstFolderItem(Tree)) SendMessageW(Tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(First));
  PostMessageW(Main.Handle(), WM_COMMAND, swo::TfrmMain::CommandOf(Button), 0);
}

}  // namespace

void RunEditor(const TOptions& Options, const std::function<void(swo::TfrmMain&)>& Shown) {
  SetUpApplication();
  const outlook::Ref<outlook::TMemoryOutlook> Mailbox = outlook::LoadMailbox(Options.Mailbox);
  for (const std::u16string& Pick : Options.Picks) Mailbox->QueuePick(Pick);
  const std::unique_ptr<swo::TSortwise> Sortwise(swo::TSortwise::Create());
  if (FileExists(Options.Config)) Sortwise->Load(Options.Config);
  Sortwise->SetApplication_(Mailbox->Application());
  if (Options.Window == TWindow::Settings) {
    swo::TfrmSettings Settings;
    Settings.Presenter().SetValues(&Sortwise->Config());
    Settings.ShowModal(nullptr);
  } else {
    TEditorWindow Window(*Sortwise, [&](swo::TfrmMain& Main) {
      if (Options.Window == TWindow::Collect) OpenOver(Main, swo::TMainControl::tbAddFromInbox);
      if (Options.Window == TWindow::Targets) OpenOver(Main, swo::TMainControl::tbAddAdvInbox);
      if (Shown) Shown(Main);
    });
    Window.ShowModal(nullptr);
  }
  Sortwise->Save(Options.Save.empty() ? Options.Config : Options.Save);
  if (!Options.SaveMailbox.empty()) outlook::SaveMailbox(*Mailbox, Options.SaveMailbox);
}

}  // namespace rule_editor
