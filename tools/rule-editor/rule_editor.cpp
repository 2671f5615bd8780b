#include "rule_editor.h"

#include <windows.h>

#include <memory>

#include "host/memory_store.h"
#include "host/memory_store_file.h"
#include "sorting/sortwise.h"
#include "ui/application.h"
#include "ui/form_win.h"
#include "ui/main_window_win.h"
#include "ui/settings_window_win.h"
#include "ui/visual_styles_win.h"

namespace rule_editor {
namespace {

bool FileExists(const std::u16string& Name) {
  return GetFileAttributesW(reinterpret_cast<const wchar_t*>(Name.c_str())) != INVALID_FILE_ATTRIBUTES;
}

// The add-in's title and icon; the icon is this program's APPICON.
void SetUpApplication() {
  swo::SetApplicationTitle(u"Brevanta Outlook Sortwise Add-In");
  static const swo::TUniqueIcon Icon(static_cast<HICON>(LoadImageW(swo::ThisModule(), L"APPICON", IMAGE_ICON, 0, 0,
                                                                   LR_DEFAULTSIZE)));
  swo::SetApplicationIcon(Icon.get());
}

// The window that reports itself shown to the caller.
class TEditorWindow final : public swo::TfrmMain {
 public:
  TEditorWindow(swo::TSortwise& Sortwise, const std::function<void(swo::TfrmMain&)>& Shown)
      : TfrmMain(Sortwise), FShown(Shown) {}

 protected:
  void OnShow() override {
    TfrmMain::OnShow();
    if (FShown) FShown(*this);
  }

 private:
  const std::function<void(swo::TfrmMain&)>& FShown;
};

}  // namespace

void RunEditor(const TOptions& Options, const std::function<void(swo::TfrmMain&)>& Shown) {
  SetUpApplication();
  const outlook::Ref<outlook::TMemoryOutlook> Mailbox = outlook::LoadMailbox(Options.Mailbox);
  for (const std::u16string& Pick : Options.Picks) Mailbox->QueuePick(Pick);
  const std::unique_ptr<swo::TSortwise> Sortwise(swo::TSortwise::Create());
  if (FileExists(Options.Config)) Sortwise->Load(Options.Config);
  Sortwise->SetApplication_(Mailbox->Application());
  if (Options.SettingsOnly) {
    swo::TfrmSettings Settings;
    Settings.Presenter().SetValues(&Sortwise->Config());
    Settings.ShowModal(nullptr);
  } else {
    TEditorWindow Window(*Sortwise, Shown);
    Window.ShowModal(nullptr);
  }
  Sortwise->Save(Options.Save.empty() ? Options.Config : Options.Save);
  if (!Options.SaveMailbox.empty()) outlook::SaveMailbox(*Mailbox, Options.SaveMailbox);
}

}  // namespace rule_editor
