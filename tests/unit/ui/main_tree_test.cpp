// The rule editor's folder tree: filling it from the sorter, selection, expansion, deletion.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "main_window_test_support.h"
#include "renamed_outlook.h"

namespace swo::test {
namespace {

using ::testing::ElementsAre;

using MainTreeTest = MainWindowTest;

TEST_F(MainTreeTest, AnEmptySorterGivesAnEmptyTreeAndEveryButtonThatNeedsSomethingStaysDisabled) {
  Show();
  EXPECT_TRUE(Tree().empty());
  EXPECT_EQ(Presenter.Tree().Selected(), nullptr);
  EXPECT_THAT(View.TakeLog(), ElementsAre("BeginTreeUpdate", "SortTree", "EndTreeUpdate"));
  for (const TMainControl c : {TMainControl::tbDelete, TMainControl::tbAddFromInbox,
                               TMainControl::tbAddressAdd, TMainControl::tbAddressDelete})
    EXPECT_FALSE(Presenter.Enabled(c));

  // Without a node, a folder or a row, their clicks change nothing, even when they arrive.
  Type(u"abc");
  EXPECT_FALSE(Presenter.Enabled(TMainControl::tbAddressAdd));
  View.TakeLog();
  User([&] { Presenter.tbDeleteClick(); });
  User([&] { Presenter.tbAddressAddClick(); });
  User([&] { Presenter.tbAddressDeleteClick(); });
  EXPECT_TRUE(View.TakeLog().empty());
  EXPECT_EQ(Sorter->Count(), 0);
}

TEST_F(MainTreeTest, AFolderAndItsSubfolderShareOneBranchAndDeletingItsNodeFreesBoth) {
  const auto projects = Store->AddFolder(u"Projects");
  const auto alpha = projects->AddFolder(u"Alpha");
  Sorter->Add(*projects);
  Sorter->Add(*alpha)->Add(u"alpha@example.com");
  Sorter->Add(*Friends);

  Show();
  // The store's root carries no folder: it is selected, but the address buttons keep their state.
  EXPECT_THAT(Tree(), ElementsAre("\\\\Mailbox + *", "  Friends [Friends]", "  Projects [Projects] +",
                                  "    Alpha [Alpha]"));
  EXPECT_TRUE(Presenter.Enabled(TMainControl::tbDelete));
  EXPECT_EQ(Presenter.Folder(), nullptr);
  EXPECT_FALSE(Presenter.Enabled(TMainControl::tbAddFromInbox));

  Select(Node({u"\\\\Mailbox", u"Projects", u"Alpha"}));
  EXPECT_EQ(Presenter.Folder(), Sorter->GetItem(0)->GetItem(alpha->Id()));
  EXPECT_THAT(RowTexts(), ElementsAre("alpha@example.com"));
  Select(Node({u"\\\\Mailbox", u"Projects"}));
  View.TakeLog();
  User([&] { Presenter.tbDeleteClick(); });
  // The selection leaves the branch first (for the parent: there is no next sibling); then the
  // nodes go, children before parents.
  EXPECT_THAT(View.TakeLog(), ElementsAre("SelectNode \\\\Mailbox", "SetEnabled tbAddFromInbox off",
                                          "SetRows 0", "DeleteNode Alpha", "DeleteNode Projects"));
  EXPECT_THAT(Tree(), ElementsAre("\\\\Mailbox + *", "  Friends [Friends]"));
  ASSERT_EQ(Sorter->Count(), 1);
  ASSERT_EQ(Sorter->GetItem(0)->Count(), 1);
  EXPECT_EQ(Sorter->GetItem(0)->GetItem(0)->Name(), u"Friends");
}

TEST_F(MainTreeTest, DeletingAStoresRootFreesAllItsFoldersButKeepsTheStoreEntry) {
  Sorter->Add(*Friends)->Add(u"a@example.com");
  Sorter->Add(*Invoices);
  const auto archive = Outlook->AddStore(u"Archive")->AddFolder(u"2024");
  Sorter->Add(*archive);
  Show();
  Select(Node({u"\\\\Mailbox", u"Friends"}));
  ASSERT_THAT(RowTexts(), ElementsAre("a@example.com"));

  User([&] { Presenter.DeleteNode(*Node({u"\\\\Mailbox"})); });
  // No next root and no parent: the previous root is selected, and the list empties.
  EXPECT_THAT(Tree(), ElementsAre("\\\\Archive + *", "  2024 [2024]"));
  EXPECT_EQ(Presenter.Folder(), nullptr);
  EXPECT_TRUE(Presenter.Rows().empty());
  const TSwoStore* mailbox = Sorter->GetItem(Store->StoreId());
  ASSERT_NE(mailbox, nullptr);
  EXPECT_EQ(mailbox->Count(), 0);
  EXPECT_EQ(Sorter->GetItem(archive->StoreId())->Count(), 1);
}

TEST_F(MainTreeTest, TheSelectionLeavesADeletedSubtreeForTheNextSiblingElseTheParentElseThePreviousSibling) {
  const auto a = Store->AddFolder(u"A"), b = Store->AddFolder(u"B"), c = Store->AddFolder(u"C");
  const auto c1 = c->AddFolder(u"C1");
  struct Case {
    std::vector<std::u16string_view> selected, deleted;
    std::string after;
  };
  const Case cases[] = {
      {{u"A"}, {u"A"}, "B"},                   // the next sibling
      {{u"C", u"C1"}, {u"C", u"C1"}, "C"},     // no next sibling: the parent
      {{u"C", u"C1"}, {u"C"}, "\\\\Mailbox"},  // the top of the deleted subtree decides
      {{u"B"}, {u"C"}, "B"},                   // a selection outside the subtree stays
  };
  for (const Case& k : cases) {
    SCOPED_TRACE("deleting " + U8(k.deleted.back()) + " with " + U8(k.selected.back()) + " selected");
    std::unique_ptr<TSortwise> sorter{TSortwise::Create()};
    sorter->SetApplication_(Outlook->Application());
    for (const auto& folder : {a, b, c, c1}) sorter->Add(*folder);
    TFakeMainView view;
    TMainPresenter presenter{*sorter, view};
    presenter.FormShow();
    const auto find = [&](std::vector<std::u16string_view> Path) {
      Path.insert(Path.begin(), u"\\\\Mailbox");
      return FindNode(presenter.Tree(), Path);
    };
    const TFolderNode* selected = find(k.selected);
    view.UserSelects(selected);
    presenter.tvFoldersChange(selected);
    presenter.DeleteNode(*find(k.deleted));
    ASSERT_NE(presenter.Tree().Selected(), nullptr);
    EXPECT_EQ(U8(presenter.Tree().Selected()->Text()), k.after);
    EXPECT_EQ(presenter.Folder(), presenter.Tree().Selected()->Data());
    view.ExpectShows(presenter);
  }
}

TEST_F(MainTreeTest, DeletingTheCurrentFoldersNodeEmptiesTheListAlsoWhenAnotherNodeIsSelected) {
  Sorter->Add(*Friends)->Add(u"a@example.com");
  Sorter->Add(*Invoices);
  Show();
  // The inbox collection sets the current folder itself, whatever node is selected.
  User([&] { Presenter.SetFolder(Node({u"\\\\Mailbox", u"Friends"})->Data()); });
  ASSERT_THAT(RowTexts(), ElementsAre("a@example.com"));
  User([&] { Presenter.DeleteNode(*Node({u"\\\\Mailbox", u"Friends"})); });
  EXPECT_EQ(Presenter.Folder(), nullptr);
  EXPECT_TRUE(Presenter.Rows().empty());
  EXPECT_FALSE(Presenter.Enabled(TMainControl::tbAddFromInbox));
  EXPECT_THAT(Tree(), ElementsAre("\\\\Mailbox + *", "  Invoices [Invoices]"));
}

TEST_F(MainTreeTest, AFolderOutlookNoLongerHasStaysRegisteredButHasNoNode) {
  Sorter->Add(*Friends)->Add(u"a@example.com");
  Sorter->Add(*Invoices);
  Friends->Remove();
  Show();
  EXPECT_THAT(Tree(), ElementsAre("\\\\Mailbox + *", "  Invoices [Invoices]"));
  ASSERT_EQ(Sorter->GetItem(0)->Count(), 2);
  EXPECT_EQ(Sorter->GetItem(0)->GetItem(0)->Name(), u"Friends");
  EXPECT_EQ(Sorter->GetItem(0)->GetItem(0)->Count(), 1);
}

TEST_F(MainTreeTest, AStoresTopFolderIsCarriedByTheStoresRootNode) {
  Sorter->Add(*Store);
  Sorter->Add(*Friends);
  Show();
  EXPECT_THAT(Tree(), ElementsAre("\\\\Mailbox [Mailbox] + *", "  Friends [Friends]"));
  EXPECT_EQ(Presenter.Folder(), Node({u"\\\\Mailbox"})->Data());
  EXPECT_TRUE(Presenter.Enabled(TMainControl::tbAddFromInbox));
}

TEST_F(MainTreeTest, RefreshWhileANodeWithoutAFolderIsSelectedSelectsTheFirstRoot) {
  const auto zeta = Outlook->AddStore(u"Zeta");
  Sorter->Add(*zeta->AddFolder(u"Deep")->AddFolder(u"Down"));
  Sorter->Add(*Friends);
  Show();
  Select(Node({u"\\\\Zeta", u"Deep"}));
  EXPECT_EQ(Presenter.Folder(), nullptr);
  User([&] { Presenter.tbRefreshClick(); });
  EXPECT_EQ(Presenter.Tree().Selected(), Node({u"\\\\Mailbox"}));
}

TEST_F(MainTreeTest, RefreshKeepsTheSelectedFolderAndRaisesNoSelectionChange) {
  Sorter->Add(*Friends)->Add(u"a@example.com");
  Show();
  Select(Node({u"\\\\Mailbox", u"Friends"}));
  Sorter->Add(*Invoices);
  View.TakeLog();
  User([&] { Presenter.tbRefreshClick(); });
  EXPECT_THAT(View.TakeLog(), ElementsAre("BeginTreeUpdate", "AddNode Invoices", "SortTree", "EndTreeUpdate",
                                          "ScrollIntoView Friends"));
  EXPECT_THAT(Tree(), ElementsAre("\\\\Mailbox +", "  Friends [Friends] *", "  Invoices [Invoices]"));
}

TEST_F(MainTreeTest, ShowingExpandsTheFirstRootFullyAndScrollsToItWhileOtherRootsStayCollapsed) {
  const auto zeta = Outlook->AddStore(u"zeta");
  Sorter->Add(*zeta->AddFolder(u"Z1"));
  const auto deep = Friends->AddFolder(u"Deep");
  Sorter->Add(*deep->AddFolder(u"Down"));
  Show();
  EXPECT_THAT(Tree(), ElementsAre("\\\\Mailbox + *", "  Friends +", "    Deep +", "      Down [Down]",
                                  "\\\\zeta", "  Z1 [Z1]"));
}

TEST_F(MainTreeTest, EveryLevelIsSortedByTheLocaleComparisonWithRegardToCase) {
  // The substitute store, like the tree, tells siblings apart by the case of a-z only; of two
  // names that differ in the case of other letters the lower-case one sorts first.
  for (const auto* name : {u"beta", u"Gamma", u"x\u00C9", u"alpha", u"x\u00E9", u"Delta"})
    Sorter->Add(*Friends->AddFolder(name));
  Sorter->Add(*Outlook->AddStore(u"archive")->AddFolder(u"x"));
  Show();
  EXPECT_THAT(Tree(),
              ElementsAre("\\\\archive + *", "  x [x]", "\\\\Mailbox", "  Friends", "    alpha [alpha]",
                          "    beta [beta]", "    Delta [Delta]", "    Gamma [Gamma]",
                          "    x\xC3\xA9 [x\xC3\xA9]", "    x\xC3\x89 [x\xC3\x89]"));
}

TEST_F(MainTreeTest, PathsThatDifferInTheCaseOfAToZShareNodesAndTheFolderPlacedLastIsCarried) {
  const auto renamed = std::make_shared<TRenamedOutlook>(Outlook);
  Sorter->SetApplication_(renamed);
  const auto team = Store->AddFolder(u"Team"), crew = Store->AddFolder(u"Crew"),
             other = Store->AddFolder(u"Other");
  renamed->SetPath(*team, u"\\\\Mailbox\\Projects\\Team");
  renamed->SetPath(*crew, u"\\\\MAILBOX\\projects\\TEAM");      // the same node
  renamed->SetPath(*other, u"\\\\Mailbox\\Projects\\x\u00C4");  // beyond a-z: a node of its own
  renamed->SetPath(*Friends, u"\\\\Mailbox\\Projects\\x\u00E4");
  for (const auto& folder : {team, crew, other, Friends}) Sorter->Add(*folder);
  Show();
  // Folders in the sorter's order: Crew, Friends, Other, Team; Team is placed last on "Team".
  EXPECT_THAT(Tree(), ElementsAre("\\\\MAILBOX + *", "  projects +", "    TEAM [Team]",
                                  "    x\xC3\xA4 [Friends]", "    x\xC3\x84 [Other]"));
  EXPECT_EQ(Sorter->GetItem(0)->Count(), 4);
}

TEST_F(MainTreeTest, AFolderWhosePathNamesNoNodeIsLeftOutAndTheOthersArePlaced) {
  const auto renamed = std::make_shared<TRenamedOutlook>(Outlook);
  Sorter->SetApplication_(renamed);
  const std::u16string paths[] = {u"", u"\\\\", u"\\\\\\Lost", u"\\\\\\"};
  for (const auto& path : paths) {
    SCOPED_TRACE("path \"" + U8(path) + "\"");
    renamed->SetPath(*Friends, path);
    std::unique_ptr<TSortwise> sorter{TSortwise::Create()};
    sorter->SetApplication_(renamed);
    sorter->Add(*Friends);
    sorter->Add(*Invoices);
    TFakeMainView view;
    TMainPresenter presenter{*sorter, view};
    presenter.FormShow();
    view.ExpectShows(presenter);
    EXPECT_THAT(Dump(presenter.Tree()), ElementsAre("\\\\Mailbox + *", "  Invoices [Invoices]"));
    EXPECT_EQ(sorter->GetItem(0)->Count(), 2);
  }
}

TEST_F(MainTreeTest, AFolderWhosePathChangedLeavesItsOldNodeSoThatDeletingThatNodeFreesNothing) {
  const auto renamed = std::make_shared<TRenamedOutlook>(Outlook);
  Sorter->SetApplication_(renamed);
  TSwoFolder* friends = Sorter->Add(*Friends);
  friends->Add(u"a@example.com");
  Show();
  Select(Node({u"\\\\Mailbox", u"Friends"}));

  renamed->SetPath(*Friends, u"\\\\Mailbox\\Buddies");
  User([&] { Presenter.tbRefreshClick(); });
  EXPECT_THAT(Tree(), ElementsAre("\\\\Mailbox +", "  Buddies [Friends] *", "  Friends"));

  User([&] { Presenter.DeleteNode(*Node({u"\\\\Mailbox", u"Friends"})); });
  ASSERT_EQ(Sorter->GetItem(0)->Count(), 1);
  EXPECT_THAT(RowTexts(), ElementsAre("a@example.com"));
  User([&] { Presenter.tbDeleteClick(); });
  EXPECT_EQ(Sorter->GetItem(0)->Count(), 0);
  EXPECT_THAT(Tree(), ElementsAre("\\\\Mailbox *"));
}

TEST_F(MainTreeTest, CollapsedBranchesStayCollapsedButTheChosenNodesAncestorsAreExpanded) {
  const auto sub = Friends->AddFolder(u"Sub");
  Sorter->Add(*sub);
  Sorter->Add(*Invoices->AddFolder(u"2025"));
  Show();
  ASSERT_THAT(Tree(), ElementsAre("\\\\Mailbox + *", "  Friends +", "    Sub [Sub]", "  Invoices +",
                                  "    2025 [2025]"));
  View.UserExpands(*Node({u"\\\\Mailbox", u"Friends"}), false);
  User([&] { Presenter.tvFoldersCollapsed(*Node({u"\\\\Mailbox", u"Friends"})); });
  View.UserExpands(*Node({u"\\\\Mailbox"}), false);
  User([&] { Presenter.tvFoldersCollapsed(*Node({u"\\\\Mailbox"})); });

  Outlook->QueuePick(*Invoices->Folder(u"2025"));
  View.TakeLog();
  User([&] { Presenter.tbAddClick(); });
  EXPECT_THAT(Tree(), ElementsAre("\\\\Mailbox +", "  Friends", "    Sub [Sub]", "  Invoices +",
                                  "    2025 [2025] *"));
  EXPECT_THAT(View.TakeLog(),
              ElementsAre("BeginTreeUpdate", "SelectNode 2025", "SetEnabled tbAddFromInbox on", "SetRows 0",
                          "SortTree", "EndTreeUpdate", "ExpandNode \\\\Mailbox", "ScrollIntoView 2025"));
}

TEST_F(MainTreeTest, AddingPicksAFolderRegistersItAndShowsItsEntriesWhileACancelDoesNothing) {
  Sorter->Add(*Friends);
  Show();
  Outlook->QueuePick(*Invoices);
  User([&] { Presenter.tbAddClick(); });
  EXPECT_THAT(Tree(), ElementsAre("\\\\Mailbox +", "  Friends [Friends]", "  Invoices [Invoices] *"));
  EXPECT_EQ(Presenter.Folder(), Node({u"\\\\Mailbox", u"Invoices"})->Data());

  // An already registered folder is selected again.
  Outlook->QueuePick(*Friends);
  User([&] { Presenter.tbAddClick(); });
  EXPECT_EQ(Presenter.Tree().Selected(), Node({u"\\\\Mailbox", u"Friends"}));
  EXPECT_EQ(Sorter->GetItem(0)->Count(), 2);

  Outlook->QueuePickCancel();
  View.TakeLog();
  User([&] { Presenter.tbAddClick(); });
  EXPECT_TRUE(View.TakeLog().empty());
}

TEST_F(MainTreeTest, PickingTheInboxShowsInboxCannotBeAddedAndLeavesTheTree) {
  Sorter->Add(*Friends);
  Show();
  const auto before = Tree();
  Outlook->QueuePick(*Inbox);
  View.ExpectError(u"Inbox cannot be added.");
  User([&] { Presenter.tbAddClick(); });
  EXPECT_EQ(Tree(), before);
  EXPECT_EQ(Sorter->GetItem(0)->Count(), 1);
}

}  // namespace
}  // namespace swo::test
