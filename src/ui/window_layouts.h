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

// Items of the two inbox collection dialogs: the list, then OK and Cancel.
enum TInboxDialogItem { iiList, iiOK, iiCancel, iiCount };

// The main window: 698 x 484, a button panel on top, the folder tree left of a splitter and the
// address pane filling the rest.
const TLayout& MainWindowLayout();

// The settings dialog: 327 x 235, fixed size.
const TLayout& SettingsWindowLayout();

// The inbox collection dialogs: the list 8 pixels inside the client area's edges but for the
// buttons' row at the bottom, OK 8 pixels from the right and bottom edges, Cancel 8 pixels left
// of OK; the list stretches with the window, the buttons keep to its lower right corner.
// Designed for the client area of a 320 x 240 window; the window's size is the dialog's own.
const TLayout& InboxDialogLayout();

}  // namespace swo
