// The rules the user made are never lost to a file that cannot be read or written: the add-in
// says which file is unreadable and never saves over it, saves again at shut-down what the last
// close could not, and saves when Windows ends the session with the editor open.
#include <windows.h>

#include <cwchar>

#include "addin/sortwise_addin.h"
#include "platform/debug_output.h"
#include "sorting/sortwise.h"
#include "ui/event_edge.h"
#include "ui/form_win.h"

namespace swo {
namespace {

// The local time as a recovery copy's name carries it: "2026-12-11 10-42-05".
std::u16string NowForFileName() {
  SYSTEMTIME Now;
  GetLocalTime(&Now);
  wchar_t Text[32];
  swprintf(Text, 32, L"%04u-%02u-%02u %02u-%02u-%02u", Now.wYear, Now.wMonth, Now.wDay, Now.wHour, Now.wMinute,
           Now.wSecond);
  return reinterpret_cast<const char16_t*>(Text);
}

// A box's text on one line, for the debugger output.
std::u16string OneLine(std::u16string Text) {
  for (char16_t& C : Text)
    if (C == u'\n') C = u' ';
  return Text;
}

}  // namespace

void TbrvSortwiseAddIn::LoadRules(const std::u16string& Profile) {
  FRules.emplace(Profile);
  try {
    FSortwise = FRules->Load();
  } catch (...) {
    FSortwise.reset(TSortwise::Create());
    brv::platform::DebugOutput(u"Sortwise: the rules could not be read, and the add-in leaves the file as it is: " +
                               ErrorMessageOf(std::current_exception()));
    return;
  }
  if (FRules->FromEarlierName())
    brv::platform::DebugOutput(u"Sortwise: the rules were read from " + FRules->Source() +
                               u", where an earlier version kept them; they are saved as " + FRules->Filename() +
                               u", and the earlier file is left as it is");
}

void TbrvSortwiseAddIn::ShowUnreadableRules(HWND Owner) {
  ShowErrorBox(Owner, u"Sortwise could not read its rules when Outlook started:\n\n" + FRules->LoadFailure() +
                          u"\n\nSortwise leaves this file as it is and saves nothing over it. Mend the file, or move "
                          u"it away to start without rules, and restart Outlook.");
}

void TbrvSortwiseAddIn::SaveAtSessionEnd(const TSortwise& Rules) noexcept {
  try {
    const TSwoRulesKeeper::TSaveOutcome Outcome = FRules->SaveOrKeepCopy(Rules, NowForFileName());
    if (Outcome.SaveFailure.empty()) return;
    brv::platform::DebugOutput(u"Sortwise: the rules could not be saved as the session ended: " + Outcome.SaveFailure);
    brv::platform::DebugOutput(Outcome.Copy.empty()
                                   ? u"Sortwise: no recovery copy of the rules could be written: " + Outcome.CopyFailure
                                   : u"Sortwise: the rules are kept in " + Outcome.Copy);
  } catch (...) {
    // Out of memory as the session ends: nothing more can be done.
  }
}

void TbrvSortwiseAddIn::SaveUnsavedRules() noexcept {
  if (!FRules || !FRules->SaveFailed()) return;
  try {
    const TSwoRulesKeeper::TSaveOutcome Outcome = FRules->SaveOrKeepCopy(*FSortwise, NowForFileName());
    if (Outcome.SaveFailure.empty()) return;
    std::u16string Text = u"Sortwise could not save your rules to " + FRules->Filename() + u":\n" +
                          Outcome.SaveFailure + u"\n\n";
    if (!Outcome.Copy.empty())
      Text += u"They are kept in " + Outcome.Copy + u". To use them, close Outlook and copy that file over " +
              FRules->Filename() + u".";
    else
      Text += u"No recovery copy could be written either (" + Outcome.CopyFailure +
              u"): the changes made since the last save are lost.";
    brv::platform::DebugOutput(OneLine(Text));
    ShowErrorBox(GetActiveWindow(), Text);
  } catch (...) {
    // Out of memory for the texts: nothing more can be said.
  }
}

}  // namespace swo
