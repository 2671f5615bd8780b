// The rule editor's two inbox collection dialogs, built at run time over the main window:
// TfrmCollect, a check list of addresses, and TfrmTargets, a list of addresses with a target
// folder each. Both have OK (Enter) and Cancel (Esc) in their lower right corner and resize.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/form_win.h"
#include "ui/main_view.h"
#include "ui/window_layouts.h"

namespace swo {

class TMainPresenter;

// What both dialogs share: the list of addresses, OK and Cancel.
class TInboxDialog : public TForm {
 protected:
  explicit TInboxDialog(TFormStyle Style);

  // Creates the list, a list view with tick boxes and whole-row selection (Style adds to its
  // style), one unticked row per address in their order; then OK and Cancel.
  void CreateListAndButtons(DWORD Style, const std::vector<std::u16string>& Addresses);
  HWND List() const { return Control(iiList); }
  bool IsTicked(int32_t Row) const;
  int32_t RowCount() const;
};

class TfrmCollect final : public TInboxDialog {
 public:
  // 320 x 240 at 96 dpi; one unticked row per address, in their order (not copied: Addresses
  // must outlive the dialog).
  explicit TfrmCollect(const std::vector<std::u16string>& Addresses);
  // The ticked rows, ascending, as they were when OK closed the dialog.
  const std::vector<int32_t>& Ticked() const { return FTicked; }

 protected:
  void CreateControls() override;
  void OnCommand(int Id, int Code, HWND Control) override;
  void OnArranged() override;

 private:
  const std::vector<std::u16string>& FAddresses;
  std::vector<int32_t> FTicked;
};

class TfrmTargets final : public TInboxDialog, public TTargetList {
 public:
  // Sized Width x Height pixels (the main window's size); one row per address with the columns
  // "Address" and "Target". A double-click in the list calls Presenter's handler with the list.
  TfrmTargets(TMainPresenter& Presenter, const std::vector<std::u16string>& Addresses, int Width, int Height);
  // Every row as it was when OK closed the dialog.
  const std::vector<TTargetRow>& Rows() const { return FRows; }

  // TTargetList
  int32_t Selected() const override;
  void SetTarget(int32_t Row, TSwoFolder& Folder, std::u16string_view Name) override;

 protected:
  void CreateControls() override;
  void OnCommand(int Id, int Code, HWND Control) override;
  LRESULT OnNotify(const NMHDR& Header) override;

 private:
  TMainPresenter& FPresenter;
  const std::vector<std::u16string>& FAddresses;
  std::vector<TTargetRow> FRows;
};

}  // namespace swo
