// The designed layouts of the rule editor's main window and of the settings dialog, at 96 dpi,
// as the window layout engine reads them. The control enums give each item's index.
#pragma once

#include "ui/layout.h"

namespace swo {

// Items of the main window, containers before their children.
enum TMainItem {
  miPanel1, miButton2, miButton3, miButton1,
  miGroupBox1, miToolBar1, mitvFolders, miSplitter1,
  miGroupBox2, miToolBar2, miedAddress, milbAddresses,
  miCount
};

// Items of the settings dialog; the label of edAutoFilter is an item of its own.
enum TSettingsItem {
  sicbIgnoreUnmarked, sicbDoOnlyRead, sicbDoOnlyComplete, sicbAutoEnabled,
  silbAutoFilter, siedAutoFilter, siLabel1, sibtnOK, sibtnCancel,
  siCount
};

// The main window: 698 x 484, a button panel on top, the folder tree left of a splitter and the
// address pane filling the rest.
const TLayout& MainWindowLayout();

// The settings dialog: 327 x 235, fixed size.
const TLayout& SettingsWindowLayout();

}  // namespace swo
