// TfrmMain: the rule editor's window. The presenter (main_presenter.h) holds the tree, the list,
// the edit and every enabled state; this class draws the controls and reports what the user does.
#pragma once

#include <unordered_map>

#include "ui/form_win.h"
#include "ui/main_presenter.h"
#include "ui/main_view.h"
#include "ui/window_layouts.h"

namespace swo {

class TSortwise;

class TfrmMain : public TForm, public TMainView {
 public:
  // The window on ASortwise (not owned), captioned with the application title.
  explicit TfrmMain(TSortwise& ASortwise);

  TMainPresenter& Presenter() { return FPresenter; }
  // The command a toolbar button sends to the window when clicked.
  static int CommandOf(TMainControl Button);

  // TMainView
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
  void ShowError(std::u16string_view Text) override;

 protected:
  void CreateControls() override;
  void OnShow() override;
  void OnCommand(int Id, int Code, HWND Control) override;
  LRESULT OnNotify(const NMHDR& Header) override;
  void OnCloseRequest() override;

 private:
  struct TToolButton {
    int Control;  // a TMainControl, or -1 for a separator
    int Image;
  };
  HWND Tree() const { return Control(mitvFolders); }
  void CreateToolBar(int Item, std::initializer_list<TToolButton> Buttons);
  HTREEITEM ItemOf(const TFolderNode* Node) const;

  TMainPresenter FPresenter;
  TUniqueImageList FToolImages;
  TUniqueImageList FDisabledToolImages;
  TUniqueImageList FTreeImages;
  std::unordered_map<const TFolderNode*, HTREEITEM> FItems;
  int FUpdating = 0;  // above 0 while the presenter's changes reach the controls
};

}  // namespace swo
