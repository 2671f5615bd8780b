// rule-editor: the rule editor's windows without Outlook, on a mailbox file.
//   rule-editor --mailbox FILE --config FILE [--save FILE] [--save-mailbox FILE] [--pick PATH]...
//               [--window settings|collect|targets]
// --pick answers the next folder picker with PATH ("" cancels it); --window settings opens the
// settings dialog on the rules' settings instead of the main window; collect and targets open
// the main window with that inbox dialog over it. Errors go to a message box.
#include <windows.h>

#include <string>
#include <vector>

#include "foundation/exception.h"
#include "rule_editor.h"
#include "ui/form_win.h"

namespace {

constexpr char16_t kUsage[] =
    u"usage: rule-editor --mailbox FILE --config FILE [--save FILE] [--save-mailbox FILE] [--pick PATH]...\n"
    u"                   [--window settings|collect|targets]";

rule_editor::TOptions Parse(const std::vector<std::u16string>& Args) {
  rule_editor::TOptions Options;
  for (size_t I = 0; I < Args.size(); ++I) {
    const std::u16string& Name = Args[I];
    if (I + 1 >= Args.size()) throw brv::Exception(u"missing value after " + Name + u"\n" + kUsage);
    const std::u16string& Value = Args[++I];
    if (Name == u"--mailbox") Options.Mailbox = Value;
    else if (Name == u"--config") Options.Config = Value;
    else if (Name == u"--save") Options.Save = Value;
    else if (Name == u"--save-mailbox") Options.SaveMailbox = Value;
    else if (Name == u"--pick") Options.Picks.push_back(Value);
    else if (Name == u"--window" && Value == u"settings") Options.Window = rule_editor::TWindow::Settings;
    else if (Name == u"--window" && Value == u"collect") Options.Window = rule_editor::TWindow::Collect;
    else if (Name == u"--window" && Value == u"targets") Options.Window = rule_editor::TWindow::Targets;
    else throw brv::Exception(u"unknown option " + Name + u"\n" + kUsage);
  }
  if (Options.Mailbox.empty() || Options.Config.empty()) throw brv::Exception(kUsage);
  return Options;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> Args;
  for (int I = 1; I < argc; ++I) Args.emplace_back(reinterpret_cast<const char16_t*>(argv[I]));
  try {
    rule_editor::RunEditor(Parse(Args));
    return 0;
  } catch (const brv::Exception& E) {
    swo::ShowErrorBox(nullptr, E.Message());
  } catch (const std::exception& E) {
    swo::ShowErrorBox(nullptr, u"Unexpected error");
  }
  return 1;
}
