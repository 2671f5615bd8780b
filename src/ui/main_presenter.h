// The rule editor (main window) without its pixels: the folder tree, the current folder and its
// address list, the address edit, every enabled state, and the event handlers that change them.
// It works directly on the sorter's model; what is changed while the window is open is what the
// add-in saves afterwards.
//
// The view (main_view.h) reports the user's actions by calling the handlers below through
// HandleEvent (event_edge.h), which turns a raised error into the error message box; the handlers
// change the presenter's state and tell the view each change. Nodes passed in must be nodes of
// Tree().
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/folder_tree.h"
#include "ui/main_view.h"

namespace swo {

class TSortwise;
class TSwoFolder;
class TSwoEntry;
class TStrings;

class TMainPresenter {
 public:
  // The window's state at creation: no tree, no current folder, empty list and edit; tbDelete,
  // tbAddFromInbox, tbAddressAdd and tbAddressDelete disabled, everything else enabled.
  TMainPresenter(TSortwise& Sortwise, TMainView& View);
  TMainPresenter(const TMainPresenter&) = delete;
  TMainPresenter& operator=(const TMainPresenter&) = delete;

  // The sorter whose rules the window edits (not owned).
  TSortwise& Sortwise() const { return FSortwise; }
  // The current target folder, whose entries the list shows; null for none.
  TSwoFolder* Folder() const { return FFolder; }
  // The folder tree with its selection and expanded nodes.
  const TFolderTree& Tree() const { return FTree; }
  // The rows of the address list, in the order of the current folder's entries.
  const std::vector<TAddressRow>& Rows() const { return FRows; }
  // The selected row of the list, or -1.
  int32_t ItemIndex() const { return FItemIndex; }
  // The address edit's text.
  const std::u16string& EditText() const { return FEditText; }
  // Whether Control is enabled. Each state is recomputed only by the handler that owns it.
  bool Enabled(TMainControl Control) const { return FEnabled[static_cast<size_t>(Control)]; }

  // Window shown: fills the tree, then expands its first root fully and scrolls to it.
  void FormShow();
  // The user selected Node (null: none): tbDelete follows, the node's folder becomes current.
  void tvFoldersChange(const TFolderNode* Node);
  // The user expanded Node.
  void tvFoldersExpanded(const TFolderNode& Node);
  // The user collapsed Node.
  void tvFoldersCollapsed(const TFolderNode& Node);
  // Registers a folder picked in Outlook and selects its node; a cancelled pick does nothing.
  void tbAddClick();
  // Deletes the selected node with its subtree and frees their target folders.
  void tbDeleteClick();
  // Brings the tree up to date, keeping the selected node's folder selected.
  void tbRefreshClick();
  // The edit now holds Text: tbAddressAdd and tbAddFromInbox follow.
  void edAddressChange(std::u16string_view Text);
  // Adds an address entry from the edit's line to the current folder and clears the edit;
  // "*" without property pairs raises "Wildcard address requires filter properties".
  void tbAddressAddClick();
  // The user selected row ItemIndex (-1: none): tbAddressDelete follows.
  void lbAddressesClick(int32_t ItemIndex);
  // Frees the selected row's entry and puts its line into the edit, to be changed and added back.
  void tbAddressDeleteClick();
  // "Run...": one clean-up run with no callback; the button is disabled while it lasts.
  void Button1Click();
  // "Close": closes the window.
  void Button2Click();
  // "Settings": the settings dialog on the sorter's settings.
  void Button3Click();

  // The senders of the inbox's mail that no address entry holds yet (inbox_addresses.h).
  std::vector<std::u16string> GetInboxAddresses() const;
  // The collect dialog over the inbox's new senders: the ticked ones become entries of the
  // current folder, whose list then shows them. Does nothing without a current folder.
  void tbAddFromInboxClick();
  // The target dialog over the inbox's new senders: each ticked row with a target becomes an
  // entry of its target; the tree is brought up to date and the selected node's list refilled.
  void tbAddAdvInboxClick();
  // A double-click in the target dialog's list (Sender): the selected row gets a folder picked in
  // Outlook, registered at once when it is new. A cancelled pick does nothing.
  void tbAddAdvInboxListViewDblClick(TTargetList& Sender);

  // Brings the tree up to date with the sorter and selects the node of AFolder (null: the
  // selected node's folder; no such node: the first root).
  void RefreshFolders(TSwoFolder* AFolder);
  // Makes AFolder (or none) the current folder and refills the list; the same folder does nothing.
  void SetFolder(TSwoFolder* AFolder);
  // Deletes ANode with its subtree, freeing the target folders they carry; the selection moves
  // off the subtree first (to the next sibling, else the parent, else the previous sibling).
  void DeleteNode(const TFolderNode& ANode);

  // The entry line: the address, then for each property ' ', name, ':', '"', value, '"'.
  static std::u16string FormatEntry(const TSwoEntry& AEntry);
  // Splits an entry line: AText keeps the address (the text before the first blank); the
  // name/value pairs after it are added to AProperties.
  static void ParseEntry(std::u16string& AText, TStrings& AProperties);
  // What adding the edit's text Text makes: the address and the name/value pairs, in the order
  // the new entry gets them. Raises "Wildcard address requires filter properties" for "*"
  // without pairs.
  static void ReadEntryLine(std::u16string_view Text, std::u16string& Address, TStrings& Pairs);

 private:
  class TTreeUpdate;

  void SetEnabled(TMainControl Control, bool Enabled);
  TFolderNode* AddFolderNode(TSwoFolder& AFolder);
  TFolderNode* FindOrAddPathNode(std::u16string_view APath);
  TFolderNode& AddNode(TFolderNode* Parent, std::u16string_view Text);
  void DeleteSubtree(TFolderNode& Node);
  void Select(TFolderNode* Node);
  void SelectionChanged();
  void Expand(TFolderNode& Node);
  void FullExpand(TFolderNode& Node);
  void MakeVisible(TFolderNode& Node);
  void EditChanged();
  void RowSelectionChanged();
  void SetEditText(std::u16string_view Text);
  void InsertRow(int32_t Index, TAddressRow Row);
  void DeleteRow(int32_t Index);
  void RefillFromSelectedNode();

  TSortwise& FSortwise;
  TMainView& FView;
  TSwoFolder* FFolder = nullptr;
  TFolderTree FTree;
  std::vector<TAddressRow> FRows;
  int32_t FItemIndex = -1;
  std::u16string FEditText;
  std::array<bool, kMainControlCount> FEnabled;
};

}  // namespace swo
