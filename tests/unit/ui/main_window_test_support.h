// The rule editor on a substitute mailbox: the presenter, its strict fake window, and the user's
// actions, each followed by a check that the window shows the presenter's state.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "fake_main_view.h"
#include "host/memory_store.h"
#include "sorting/sortwise.h"

#include "../host/small_mailbox.h"
#include "ui/event_edge.h"
#include "ui/main_presenter.h"

namespace swo::test {

using outlook::Ref;
using outlook::TMemoryFolder;
using outlook::TMemoryOutlook;

// "\\Mailbox" with "Inbox" (the default inbox), "Friends" and "Invoices"; the sorter bound to it.
class MainWindowTest : public ::testing::Test, protected TSmallMailbox {
 protected:
  MainWindowTest() { Sorter->SetApplication_(Outlook->Application()); }
  void TearDown() override { View.VerifyDone(); }

  // The user does Action through the window's handler edge; the window then shows the state.
  template <class F>
  void User(F&& Action) {
    HandleEvent(View, std::forward<F>(Action));
    View.ExpectShows(Presenter);
  }
  void Show() {
    User([&] { Presenter.FormShow(); });
  }
  void Select(const TFolderNode* Node) {
    View.UserSelects(Node);
    User([&] { Presenter.tvFoldersChange(Node); });
  }
  void Type(std::u16string Text) {
    View.UserTypes(Text);
    User([&] { Presenter.edAddressChange(Text); });
  }
  void ClickRow(int32_t Row) {
    View.UserClicksRow(Row);
    User([&] { Presenter.lbAddressesClick(Row); });
  }
  // The node at these texts, failing the test when there is none.
  const TFolderNode* Node(std::initializer_list<std::u16string_view> Texts) {
    const TFolderNode* node = FindNode(Presenter.Tree(), Texts);
    EXPECT_NE(node, nullptr) << "no such node";
    return node;
  }
  std::vector<std::string> Tree() const { return Dump(Presenter.Tree()); }
  std::vector<std::string> RowTexts() const {
    std::vector<std::string> rows;
    for (const TAddressRow& row : Presenter.Rows()) rows.push_back(U8(row.Text));
    return rows;
  }

  TFakeMainView View;
  TMainPresenter Presenter{*Sorter, View};
};

}  // namespace swo::test
