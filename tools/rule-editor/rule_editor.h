// The rule editor outside Outlook: the main window on a configuration file and a mailbox file
// (the substitute store, with a scripted folder picker), saving the configuration when the
// window closes, as the add-in does. The preview program and the editor's tests use it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace swo {
class TfrmMain;
}

namespace rule_editor {

// The window the editor opens with: the main window alone, the settings dialog on its own, or
// the main window with one of its inbox dialogs open over it (the collect dialog for the first
// folder of the tree).
enum class TWindow { Main, Settings, Collect, Targets };

struct TOptions {
  std::u16string Mailbox;             // the mailbox file that plays Outlook's stores
  std::u16string Config;              // the rules; loaded when the file exists
  std::u16string Save;                // where the rules go when the window closes; empty: Config
  std::u16string SaveMailbox;         // where the mailbox goes afterwards; empty: not saved
  std::vector<std::u16string> Picks;  // the folder picker's answers in order: a path, or "" to cancel
  TWindow Window = TWindow::Main;
};

// Opens the editor modally and saves when it closes; Shown runs once the window is up (tests
// drive it from there). Raises for unreadable files and failed saves.
void RunEditor(const TOptions& Options, const std::function<void(swo::TfrmMain&)>& Shown = {});

}  // namespace rule_editor
