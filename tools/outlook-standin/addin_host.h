// The Office host's side of loading add-ins, as Outlook does it: the add-in list in the
// registry, activation by ProgID, the connection events, the ribbon markup and its callbacks.
// Everything seen is printed, one line per fact.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>
#include <vector>

namespace standin {

struct THostOptions {
  // Ask for the markup right after OnConnection instead of after OnStartupComplete.
  bool MarkupAtConnection = false;
  // Button ids to press, in order, once the ribbon is loaded.
  std::vector<std::u16string> Presses;
};

// Loads, drives and unloads every add-in whose LoadBehavior is 3, handing each Application
// (null: a member-less application object). Returns 0 when every step succeeded, 1 otherwise.
int RunAddIns(const THostOptions& Options, IDispatch* Application = nullptr);

}  // namespace standin
