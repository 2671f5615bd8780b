// A strict fake of the rule editor's window. It keeps what a real window would show (enabled
// states, the tree's items, the list's rows and selection, the edit) by the rules of main_view.h,
// and fails the test on any call it cannot follow: a node it does not know, a row outside the
// list, an unbalanced tree update, a scroll to a node whose ancestors are collapsed, and every
// error box, settings dialog or close that the test did not announce.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fake_inbox_dialogs.h"
#include "ui/main_presenter.h"
#include "ui/main_view.h"

namespace swo::test {

class TFakeMainView : public TMainView {
 public:
  TFakeMainView();

  // The next ShowError must show Text.
  void ExpectError(std::u16string Text) { FErrors.push_back(std::move(Text)); }
  // The next Close is expected.
  void ExpectClose() { ++FCloses; }
  // Runs for ShowSettings, which is unexpected without it.
  std::function<void(TSwoConfig&)> OnSettings;
  // The user in the collect and the target dialog: returns true for OK. Each dialog is
  // unexpected without its function.
  std::function<bool(TFakeCollectDialog&)> OnCollect;
  std::function<bool(TFakeTargetDialog&)> OnTarget;
  // Sees every call as its log line, when it is made.
  std::function<void(const std::string& Line)> OnCall;
  // Fails for announcements that did not come and a tree update still open.
  void VerifyDone();

  // The user's own changes, which a real window makes before it reports them.
  void UserSelects(const TFolderNode* Node);
  void UserExpands(const TFolderNode& Node, bool Expanded);
  void UserClicksRow(int32_t Row) { FItemIndex = Row; }
  void UserTypes(std::u16string Text) { FEditText = std::move(Text); }

  // What the window shows.
  bool Enabled(TMainControl Control) const { return FEnabled[static_cast<size_t>(Control)]; }
  const std::vector<std::u16string>& Rows() const { return FRows; }
  const std::u16string& EditText() const { return FEditText; }
  // One line per call since the last TakeLog ("AddNode Friends", "SetEnabled tbDelete on", ...).
  std::vector<std::string> TakeLog() { return std::exchange(FLog, {}); }

  // Fails where the window does not show the presenter's state.
  void ExpectShows(const TMainPresenter& Presenter) const;

  void ShowError(std::u16string_view Text) override;
  void SetEnabled(TMainControl Control, bool Enabled) override;
  void BeginTreeUpdate() override;
  void EndTreeUpdate() override;
  void AddNode(const TFolderNode& Node) override;
  void DeleteNode(const TFolderNode& Node) override;
  void SortTree() override;
  void SelectNode(const TFolderNode* Node) override;
  void ExpandNode(const TFolderNode& Node) override;
  void ScrollIntoView(const TFolderNode& Node) override;
  void SetRows(const std::vector<TAddressRow>& Rows) override;
  void InsertRow(int32_t Index, std::u16string_view Text) override;
  void DeleteRow(int32_t Index) override;
  void SetEditText(std::u16string_view Text) override;
  void ShowSettings(TSwoConfig& Values) override;
  bool ShowCollectDialog(const std::vector<std::u16string>& Addresses, std::vector<int32_t>& Ticked) override;
  bool ShowTargetDialog(const std::vector<std::u16string>& Addresses, std::vector<TTargetRow>& Rows) override;
  void Close() override;

 private:
  struct TItem {
    const TFolderNode* Parent = nullptr;
    std::u16string Text;
    bool Expanded = false;
    std::vector<const TFolderNode*> Children;
  };

  void Call(std::string Line);
  bool Known(const TFolderNode* Node, const char* Operation);
  std::vector<const TFolderNode*>& ChildrenOf(const TFolderNode* Parent);
  void ExpectSameLevel(const std::vector<const TFolderNode*>& Shown, const TFolderNode* Parent,
                       const TMainPresenter& Presenter) const;

  std::array<bool, kMainControlCount> FEnabled;
  std::map<const TFolderNode*, TItem> FItems;
  std::vector<const TFolderNode*> FRoots;
  const TFolderNode* FSelected = nullptr;
  int FUpdateDepth = 0;
  std::vector<std::u16string> FRows;
  int32_t FItemIndex = -1;
  std::u16string FEditText;
  std::deque<std::u16string> FErrors;
  int FCloses = 0;
  std::vector<std::string> FLog;
};

// The tree as lines: two blanks per level, the text, " [Name]" of the folder a node carries,
// " +" when expanded, " *" when selected.
std::vector<std::string> Dump(const TFolderTree& Tree);

// The node reached from the roots by these texts (exactly as shown), or null.
const TFolderNode* FindNode(const TFolderTree& Tree, const std::vector<std::u16string_view>& Texts);

// UTF-8 for messages and logs.
std::string U8(std::u16string_view Text);

}  // namespace swo::test
