// Strict fakes of the rule editor's two inbox collection dialogs, played by the test as the user:
// the rows they were opened with, the user's ticks, selections and double-clicks, and OK or
// Cancel. The target dialog fails the test on a row outside its list and on every error box the
// test did not announce.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/event_edge.h"
#include "ui/main_presenter.h"
#include "ui/main_view.h"

namespace swo::test {

std::string U8(std::u16string_view Text);

struct TFakeCollectDialog {
  std::vector<std::u16string> Rows;
  std::vector<bool> Ticked;  // one per row, all false at the start
};

class TFakeTargetDialog final : public TTargetList, public TErrorView {
 public:
  struct TRow {
    std::u16string Caption;
    std::optional<std::u16string> Target;  // the "Target" column; none until a folder is set
    TSwoFolder* Data = nullptr;
    bool Checked = false;
  };

  explicit TFakeTargetDialog(const std::vector<std::u16string>& Addresses) {
    for (const auto& address : Addresses) FRows.push_back({address, std::nullopt, nullptr, false});
  }

  const std::vector<TRow>& Rows() const { return FRows; }
  // The next error box over the dialog must show Text.
  void ExpectError(std::u16string Text) { FErrors.push_back(std::move(Text)); }
  void VerifyDone() {
    for (const auto& text : FErrors) ADD_FAILURE() << "no error box \"" << U8(text) << "\" over the dialog";
    FErrors.clear();
  }

  // The user's actions.
  void Select(int32_t Row) { FSelected = Row; }
  void Tick(int32_t Row, bool Checked) { FRows.at(static_cast<size_t>(Row)).Checked = Checked; }
  void DoubleClick(int32_t Row, TMainPresenter& Presenter) {
    Select(Row);
    HandleEvent(*this, [&] { Presenter.tbAddAdvInboxListViewDblClick(*this); });
  }

  int32_t Selected() const override { return FSelected; }
  void SetTarget(int32_t Row, TSwoFolder& Folder, std::u16string_view Name) override {
    if (Row < 0 || Row >= static_cast<int32_t>(FRows.size())) {
      ADD_FAILURE() << "SetTarget of row " << Row << " outside the list";
      return;
    }
    TRow& row = FRows[static_cast<size_t>(Row)];
    row.Data = &Folder;
    row.Target = std::u16string(Name);
    row.Checked = true;
  }
  void ShowError(std::u16string_view Text) override {
    if (FErrors.empty() || FErrors.front() != Text) {
      ADD_FAILURE() << "unexpected error box \"" << U8(Text) << "\" over the dialog";
      return;
    }
    FErrors.pop_front();
  }

 private:
  std::vector<TRow> FRows;
  int32_t FSelected = -1;
  std::deque<std::u16string> FErrors;
};

}  // namespace swo::test
