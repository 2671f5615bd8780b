// The rule editor's two inbox collection dialogs: their results become address entries.
#include "sorting/sortwise.h"
#include "ui/inbox_addresses.h"
#include "ui/main_presenter.h"

namespace swo {

std::vector<std::u16string> TMainPresenter::GetInboxAddresses() const { return swo::GetInboxAddresses(FSortwise); }

void TMainPresenter::tbAddFromInboxClick() {
  if (FFolder == nullptr) return;
  const std::vector<std::u16string> addresses = GetInboxAddresses();
  std::vector<int32_t> ticked;
  if (!FView.ShowCollectDialog(addresses, ticked)) return;
  // With no current folder meanwhile, setting the folder again refills the list, also when an
  // addition fails part way: the entries added before it stay and are shown.
  TSwoFolder* folder = FFolder;
  SetFolder(nullptr);
  try {
    for (const int32_t row : ticked) folder->Add(addresses.at(static_cast<size_t>(row)));
  } catch (...) {
    SetFolder(folder);
    throw;
  }
  SetFolder(folder);
}

void TMainPresenter::tbAddAdvInboxClick() {
  const std::vector<std::u16string> addresses = GetInboxAddresses();
  std::vector<TTargetRow> rows;
  if (!FView.ShowTargetDialog(addresses, rows)) return;
  bool added = false;
  try {
    for (const TTargetRow& row : rows) {
      if (!row.Checked || row.Folder == nullptr) continue;
      row.Folder->Add(row.Address);
      added = true;
      // The refresh also gives the folders registered by double-clicks their nodes.
      SetFolder(nullptr);
      RefreshFolders(nullptr);
    }
  } catch (...) {
    if (added) RefillFromSelectedNode();
    throw;
  }
  if (added) RefillFromSelectedNode();
}

void TMainPresenter::RefillFromSelectedNode() {
  const TFolderNode* selected = FTree.Selected();
  SetFolder(selected != nullptr ? selected->Data() : nullptr);
}

void TMainPresenter::tbAddAdvInboxListViewDblClick(TTargetList& Sender) {
  const int32_t row = Sender.Selected();
  if (row == -1) return;
  TSwoFolder* folder = FSortwise.Add();
  if (folder == nullptr) return;
  Sender.SetTarget(row, *folder, folder->Name());
}

}  // namespace swo
