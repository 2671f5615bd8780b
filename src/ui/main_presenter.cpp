// The rule editor's state, enabled states and event handlers, but for the folder tree
// (main_tree.cpp) and the entry line (entry_line.cpp).
#include "ui/main_presenter.h"

#include <algorithm>
#include <memory>

#include "foundation/exception.h"
#include "foundation/text.h"
#include "sorting/sortwise.h"

namespace swo {

TMainPresenter::TMainPresenter(TSortwise& Sortwise, TMainView& View) : FSortwise(Sortwise), FView(View) {
  FEnabled.fill(true);
  for (const TMainControl c : {TMainControl::tbDelete, TMainControl::tbAddFromInbox,
                               TMainControl::tbAddressAdd, TMainControl::tbAddressDelete})
    FEnabled[static_cast<size_t>(c)] = false;
}

void TMainPresenter::SetEnabled(TMainControl Control, bool Enabled) {
  bool& state = FEnabled[static_cast<size_t>(Control)];
  if (state == Enabled) return;
  state = Enabled;
  FView.SetEnabled(Control, Enabled);
}

void TMainPresenter::SetFolder(TSwoFolder* AFolder) {
  if (AFolder == FFolder) return;
  // The rows are made before anything changes, so that a failure leaves the old folder shown.
  std::vector<TAddressRow> rows;
  if (AFolder != nullptr) {
    rows.reserve(static_cast<size_t>(AFolder->Count()));
    for (int32_t i = 0; i < AFolder->Count(); ++i) {
      TSwoEntry* entry = AFolder->GetItem(i);
      rows.push_back({FormatEntry(*entry), entry});
    }
  }
  FFolder = AFolder;
  FRows = std::move(rows);
  FItemIndex = -1;
  EditChanged();
  RowSelectionChanged();
  FView.SetRows(FRows);
}

void TMainPresenter::edAddressChange(std::u16string_view Text) {
  FEditText = Text;
  EditChanged();
}

void TMainPresenter::EditChanged() {
  SetEnabled(TMainControl::tbAddressAdd, FFolder != nullptr && !FEditText.empty());
  SetEnabled(TMainControl::tbAddFromInbox, FFolder != nullptr);
}

void TMainPresenter::SetEditText(std::u16string_view Text) {
  FEditText = Text;
  FView.SetEditText(Text);
  EditChanged();
}

void TMainPresenter::lbAddressesClick(int32_t ItemIndex) {
  FItemIndex = ItemIndex >= 0 && ItemIndex < static_cast<int32_t>(FRows.size()) ? ItemIndex : -1;
  RowSelectionChanged();
}

void TMainPresenter::RowSelectionChanged() { SetEnabled(TMainControl::tbAddressDelete, FItemIndex != -1); }

void TMainPresenter::InsertRow(int32_t Index, TAddressRow Row) {
  const std::u16string text = Row.Text;
  FRows.insert(FRows.begin() + Index, std::move(Row));
  if (FItemIndex >= Index) ++FItemIndex;
  FView.InsertRow(Index, text);
}

void TMainPresenter::DeleteRow(int32_t Index) {
  FRows.erase(FRows.begin() + Index);
  if (FItemIndex == Index)
    FItemIndex = -1;
  else if (FItemIndex > Index)
    --FItemIndex;
  FView.DeleteRow(Index);
}

void TMainPresenter::tbAddressAddClick() {
  if (!Enabled(TMainControl::tbAddressAdd)) return;
  std::u16string address;
  TStrings pairs;
  ReadEntryLine(FEditText, address, pairs);
  // Until its row stands, the entry is taken back on failure: the list keeps showing the folder.
  std::unique_ptr<TSwoEntry> entry(FFolder->Add(address));
  for (int32_t i = 0; i < pairs.Count(); ++i)
    entry->SetValue(std::u16string_view(pairs.GetName(i)), pairs.GetValueFromIndex(i));
  // The folder inserts in front of equal addresses, so the entry's index is its own position.
  const int32_t index = std::clamp(entry->Index(), 0, static_cast<int32_t>(FRows.size()));
  InsertRow(index, {FormatEntry(*entry), entry.get()});
  entry.release();
  SetEditText(u"");
}

void TMainPresenter::tbAddressDeleteClick() {
  if (FItemIndex == -1 || FRows[static_cast<size_t>(FItemIndex)].Entry == nullptr) return;
  const TAddressRow row = FRows[static_cast<size_t>(FItemIndex)];
  SetEditText(row.Text);
  delete row.Entry;
  DeleteRow(FItemIndex);
  RowSelectionChanged();
}

void TMainPresenter::tbAddClick() {
  if (TSwoFolder* folder = FSortwise.Add()) RefreshFolders(folder);
}

void TMainPresenter::tbDeleteClick() {
  if (TFolderNode* node = FTree.Selected()) DeleteNode(*node);
}

void TMainPresenter::tbRefreshClick() { RefreshFolders(nullptr); }

void TMainPresenter::Button1Click() {
  // Disabled, the button also keeps a click that arrives during the run from starting another.
  if (!Enabled(TMainControl::Button1)) return;
  SetEnabled(TMainControl::Button1, false);
  struct TEnableAgain {
    TMainPresenter& Self;
    ~TEnableAgain() { Self.SetEnabled(TMainControl::Button1, true); }
  } enableAgain{*this};
  FSortwise.Execute(nullptr);
}

void TMainPresenter::Button2Click() { FView.Close(); }

void TMainPresenter::Button3Click() { FView.ShowSettings(FSortwise.Config()); }

}  // namespace swo
