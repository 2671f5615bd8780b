// The Office host's side of loading add-ins, as Outlook does it: the add-in list in the
// registry, activation by ProgID, the connection events, the ribbon markup and its callbacks.
// Everything seen is printed, one line per fact.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>
#include <vector>

#include "editor_driver_win.h"

namespace standin {

// One thing the host does once the ribbon is loaded; they run in command-line order.
struct THostAction {
  enum class TKind {
    Press,       // presses the button whose id is Text
    PressLabel,  // presses the first button that shows the label Text
    Wait         // serves the thread's messages for Milliseconds, refreshing the ribbon on request;
                 // a close request ends it early
  };
  TKind Kind = TKind::Press;
  std::u16string Text;
  unsigned long Milliseconds = 0;
};

struct THostOptions {
  // Ask for the markup right after OnConnection instead of after OnStartupComplete.
  bool MarkupAtConnection = false;
  std::vector<THostAction> Actions;
  // What a person does in the rule editor that each press opens; no actions: nothing.
  TEditorScript Editor;
  // Without add-ins the host fails at once; otherwise it carries out the actions all the same,
  // as an Outlook without add-ins that serves its mailbox: a wait serves, a press finds no button.
  bool RequireAddIns = true;
};

// Loads, drives and unloads every add-in whose LoadBehavior is 3, handing each Application
// (null: a member-less application object). A close request (main_window_win.h) ends the wait
// in progress and drops the actions still to come. Returns 0 when every step succeeded, 1
// otherwise.
int RunAddIns(const THostOptions& Options, IDispatch* Application = nullptr);

}  // namespace standin
