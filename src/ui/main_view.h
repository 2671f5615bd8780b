// What the rule editor's window must show or do, as its presenter (main_presenter.h) asks for it.
// The Win32 window implements it; tests implement it with a strict fake.
//
// Rules for an implementation:
// - Calls from the presenter never come back as events: selecting a node, setting the edit's
//   text or filling the list must not report tvFoldersChange, edAddressChange or
//   lbAddressesClick. Only what the user does is reported (through HandleEvent, event_edge.h).
// - The controls start as the presenter's getters say (TMainPresenter::Enabled; an empty tree,
//   list and edit); every later change arrives through these calls.
// - Apart from ShowSettings and the two inbox dialogs, no call raises.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/event_edge.h"
#include "ui/folder_tree.h"

namespace swo {

class TSwoConfig;
class TSwoEntry;
class TSwoFolder;

// The controls whose enabled state the presenter decides.
enum class TMainControl {
  tbAdd,            // left toolbar: register a folder through Outlook's folder picker
  tbDelete,         // left toolbar: delete the selected node with its folders
  tbRefresh,        // left toolbar: bring the tree up to date
  tbAddAdvInbox,    // left toolbar: collect inbox senders into folders picked per address
  tbAddFromInbox,   // right toolbar: collect inbox senders into the current folder
  tbAddressAdd,     // right toolbar: add the edit's entry line to the current folder
  tbAddressDelete,  // right toolbar: delete the selected entry
  Button1,          // "Run..."
  Button2,          // "Close"
  Button3,          // "Settings"
};
inline constexpr int kMainControlCount = 10;

// One row of the address list: an entry line and the address entry it stands for.
struct TAddressRow {
  std::u16string Text;
  TSwoEntry* Entry = nullptr;
};

// A row of the target dialog as it stood when the dialog closed with OK: the address, the folder
// picked for it (null: none yet) and whether the user left it ticked.
struct TTargetRow {
  std::u16string Address;
  TSwoFolder* Folder = nullptr;
  bool Checked = false;
};

// The target dialog's list, as its double-click handler sees it.
class TTargetList {
 public:
  virtual ~TTargetList() = default;
  // The selected row, or -1.
  virtual int32_t Selected() const = 0;
  // Gives Row the folder as its data and Name as the text of its "Target" column, and ticks it.
  virtual void SetTarget(int32_t Row, TSwoFolder& Folder, std::u16string_view Name) = 0;
};

class TMainView : public TErrorView {
 public:
  // Enables or disables Control.
  virtual void SetEnabled(TMainControl Control, bool Enabled) = 0;

  // Suspends repainting of the tree until the matching EndTreeUpdate; calls come in pairs.
  virtual void BeginTreeUpdate() = 0;
  // Resumes repainting of the tree.
  virtual void EndTreeUpdate() = 0;
  // Shows the new Node as the last child of Node.Parent() (a new last root when that is null).
  virtual void AddNode(const TFolderNode& Node) = 0;
  // Removes Node, whose children have been removed before; a parent left without children is
  // no longer expanded. Node is not selected.
  virtual void DeleteNode(const TFolderNode& Node) = 0;
  // Puts every level of the tree into the order the presenter's tree has now.
  virtual void SortTree() = 0;
  // Selects Node (null: no node is selected).
  virtual void SelectNode(const TFolderNode* Node) = 0;
  // Shows the children of Node, which has some.
  virtual void ExpandNode(const TFolderNode& Node) = 0;
  // Scrolls the tree so that Node, whose ancestors are expanded, can be seen.
  virtual void ScrollIntoView(const TFolderNode& Node) = 0;

  // Replaces every row of the address list by the texts of Rows; no row is selected.
  virtual void SetRows(const std::vector<TAddressRow>& Rows) = 0;
  // Inserts a row with Text at Index (0..row count); the selected row stays selected.
  virtual void InsertRow(int32_t Index, std::u16string_view Text) = 0;
  // Deletes the row at Index; deleting the selected row leaves none selected.
  virtual void DeleteRow(int32_t Index) = 0;

  // Sets the text of the address edit.
  virtual void SetEditText(std::u16string_view Text) = 0;

  // Runs the settings dialog (settings_presenter.h) on Values, modally, owned by this window.
  virtual void ShowSettings(TSwoConfig& Values) = 0;
  // Runs the collect dialog modally over this window: a check list of Addresses in their order,
  // all unticked. True when it closed with OK; Ticked then holds the indexes of the ticked rows,
  // ascending.
  virtual bool ShowCollectDialog(const std::vector<std::u16string>& Addresses, std::vector<int32_t>& Ticked) = 0;
  // Runs the target dialog modally over this window: one row per address, unticked, without a
  // target. A double-click in its list reports tbAddAdvInboxListViewDblClick with the list, and
  // that handler's errors are shown over the dialog, which stays open. True when it closed with
  // OK; Rows then holds every row as it stood, in the list's order.
  virtual bool ShowTargetDialog(const std::vector<std::u16string>& Addresses, std::vector<TTargetRow>& Rows) = 0;
  // Closes the window, which ends its modal loop.
  virtual void Close() = 0;
};

}  // namespace swo
