#include "fake_main_view.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/text.h"
#include "sorting/sortwise.h"

namespace swo::test {

namespace {

const char* const kControlNames[kMainControlCount] = {
    "tbAdd",        "tbDelete",        "tbRefresh", "tbAddAdvInbox", "tbAddFromInbox",
    "tbAddressAdd", "tbAddressDelete", "Button1",   "Button2",       "Button3"};

void DumpNode(const TFolderNode& Node, const TFolderTree& Tree, int Depth, std::vector<std::string>& Lines) {
  std::string line(static_cast<size_t>(Depth) * 2, ' ');
  line += U8(Node.Text());
  if (Node.Data() != nullptr) line += " [" + U8(Node.Data()->Name()) + "]";
  if (Node.Expanded()) line += " +";
  if (Tree.Selected() == &Node) line += " *";
  Lines.push_back(line);
  for (int32_t i = 0; i < Node.Count(); ++i) DumpNode(*Node.Item(i), Tree, Depth + 1, Lines);
}

}  // namespace

std::string U8(std::u16string_view Text) { return brv::Utf16ToUtf8(Text); }

std::vector<std::string> Dump(const TFolderTree& Tree) {
  std::vector<std::string> lines;
  for (int32_t i = 0; i < Tree.Count(); ++i) DumpNode(*Tree.Item(i), Tree, 0, lines);
  return lines;
}

const TFolderNode* FindNode(const TFolderTree& Tree, const std::vector<std::u16string_view>& Texts) {
  const TFolderNode* node = nullptr;
  for (const std::u16string_view text : Texts) {
    const int32_t count = node != nullptr ? node->Count() : Tree.Count();
    const TFolderNode* next = nullptr;
    for (int32_t i = 0; i < count && next == nullptr; ++i) {
      const TFolderNode* child = node != nullptr ? node->Item(i) : Tree.Item(i);
      if (child->Text() == text) next = child;
    }
    if (next == nullptr) return nullptr;
    node = next;
  }
  return node;
}

TFakeMainView::TFakeMainView() {
  // The window as designed.
  FEnabled.fill(true);
  for (const TMainControl c : {TMainControl::tbDelete, TMainControl::tbAddFromInbox,
                               TMainControl::tbAddressAdd, TMainControl::tbAddressDelete})
    FEnabled[static_cast<size_t>(c)] = false;
}

void TFakeMainView::VerifyDone() {
  EXPECT_EQ(FUpdateDepth, 0) << "a tree update was not ended";
  for (const auto& text : FErrors) ADD_FAILURE() << "no error box \"" << U8(text) << "\"";
  EXPECT_EQ(FCloses, 0) << "the window was not closed";
  FErrors.clear();
  FCloses = 0;
}

void TFakeMainView::UserSelects(const TFolderNode* Node) {
  if (Node == nullptr || Known(Node, "user selection")) FSelected = Node;
}

void TFakeMainView::UserExpands(const TFolderNode& Node, bool Expanded) {
  if (Known(&Node, "user expansion")) FItems[&Node].Expanded = Expanded && !FItems[&Node].Children.empty();
}

void TFakeMainView::Call(std::string Line) {
  if (OnCall) OnCall(Line);
  FLog.push_back(std::move(Line));
}

bool TFakeMainView::Known(const TFolderNode* Node, const char* Operation) {
  if (FItems.count(Node) != 0) return true;
  ADD_FAILURE() << Operation << " of a node the window does not show";
  return false;
}

std::vector<const TFolderNode*>& TFakeMainView::ChildrenOf(const TFolderNode* Parent) {
  return Parent != nullptr ? FItems[Parent].Children : FRoots;
}

void TFakeMainView::ShowError(std::u16string_view Text) {
  Call("ShowError " + U8(Text));
  if (FErrors.empty()) {
    ADD_FAILURE() << "unexpected error box \"" << U8(Text) << "\"";
    return;
  }
  EXPECT_EQ(U8(Text), U8(FErrors.front()));
  FErrors.pop_front();
}

void TFakeMainView::SetEnabled(TMainControl Control, bool Enabled) {
  const auto index = static_cast<size_t>(Control);
  Call(std::string("SetEnabled ") + kControlNames[index] + (Enabled ? " on" : " off"));
  EXPECT_NE(FEnabled[index], Enabled) << kControlNames[index] << " set to the state it has";
  FEnabled[index] = Enabled;
}

void TFakeMainView::BeginTreeUpdate() {
  Call("BeginTreeUpdate");
  ++FUpdateDepth;
}

void TFakeMainView::EndTreeUpdate() {
  Call("EndTreeUpdate");
  if (FUpdateDepth == 0)
    ADD_FAILURE() << "EndTreeUpdate without BeginTreeUpdate";
  else
    --FUpdateDepth;
}

void TFakeMainView::AddNode(const TFolderNode& Node) {
  Call("AddNode " + U8(Node.Text()));
  if (FItems.count(&Node) != 0) {
    ADD_FAILURE() << "node " << U8(Node.Text()) << " added twice";
    return;
  }
  if (Node.Parent() != nullptr && !Known(Node.Parent(), "adding a child")) return;
  ChildrenOf(Node.Parent()).push_back(&Node);
  FItems[&Node] = TItem{Node.Parent(), Node.Text(), false, {}};
}

void TFakeMainView::DeleteNode(const TFolderNode& Node) {
  Call("DeleteNode " + U8(Node.Text()));
  if (!Known(&Node, "DeleteNode")) return;
  EXPECT_TRUE(FItems[&Node].Children.empty()) << "node " << U8(Node.Text()) << " deleted before its children";
  EXPECT_NE(FSelected, &Node) << "the selected node " << U8(Node.Text()) << " was deleted";
  const TFolderNode* parent = FItems[&Node].Parent;
  auto& siblings = ChildrenOf(parent);
  siblings.erase(std::find(siblings.begin(), siblings.end(), &Node));
  if (parent != nullptr && siblings.empty()) FItems[parent].Expanded = false;
  FItems.erase(&Node);
}

void TFakeMainView::SortTree() {
  Call("SortTree");
  // The levels take the presenter's order; they must hold the same nodes.
  const auto reorder = [](std::vector<const TFolderNode*>& Shown, std::vector<const TFolderNode*> Order) {
    auto sortedShown = Shown, sortedOrder = Order;
    std::sort(sortedShown.begin(), sortedShown.end());
    std::sort(sortedOrder.begin(), sortedOrder.end());
    EXPECT_EQ(sortedShown, sortedOrder) << "sorting changed which nodes a level holds";
    Shown = std::move(Order);
  };
  for (auto& [node, item] : FItems) {
    std::vector<const TFolderNode*> order;
    for (int32_t i = 0; i < node->Count(); ++i) order.push_back(node->Item(i));
    reorder(item.Children, order);
  }
  std::vector<const TFolderNode*> roots;
  for (const TFolderNode* node : FRoots) roots.push_back(node);
  std::sort(roots.begin(), roots.end(),
            [](const TFolderNode* L, const TFolderNode* R) { return L->Index() < R->Index(); });
  reorder(FRoots, roots);
}

void TFakeMainView::SelectNode(const TFolderNode* Node) {
  Call("SelectNode " + (Node != nullptr ? U8(Node->Text()) : std::string("none")));
  if (Node != nullptr && !Known(Node, "SelectNode")) return;
  FSelected = Node;
}

void TFakeMainView::ExpandNode(const TFolderNode& Node) {
  Call("ExpandNode " + U8(Node.Text()));
  if (!Known(&Node, "ExpandNode")) return;
  TItem& item = FItems[&Node];
  EXPECT_FALSE(item.Children.empty()) << "expanding " << U8(Node.Text()) << ", which has no children";
  EXPECT_FALSE(item.Expanded) << U8(Node.Text()) << " expanded twice";
  item.Expanded = true;
}

void TFakeMainView::ScrollIntoView(const TFolderNode& Node) {
  Call("ScrollIntoView " + U8(Node.Text()));
  if (!Known(&Node, "ScrollIntoView")) return;
  for (const TFolderNode* p = FItems[&Node].Parent; p != nullptr; p = FItems[p].Parent)
    EXPECT_TRUE(FItems[p].Expanded) << "scrolling to " << U8(Node.Text()) << " under collapsed "
                                    << U8(p->Text());
}

void TFakeMainView::SetRows(const std::vector<TAddressRow>& Rows) {
  Call("SetRows " + std::to_string(Rows.size()));
  FRows.clear();
  for (const TAddressRow& row : Rows) FRows.push_back(row.Text);
  FItemIndex = -1;
}

void TFakeMainView::InsertRow(int32_t Index, std::u16string_view Text) {
  Call("InsertRow " + std::to_string(Index) + " " + U8(Text));
  if (Index < 0 || Index > static_cast<int32_t>(FRows.size())) {
    ADD_FAILURE() << "InsertRow at " << Index << " of " << FRows.size();
    return;
  }
  FRows.insert(FRows.begin() + Index, std::u16string(Text));
  if (FItemIndex >= Index) ++FItemIndex;
}

void TFakeMainView::DeleteRow(int32_t Index) {
  Call("DeleteRow " + std::to_string(Index));
  if (Index < 0 || Index >= static_cast<int32_t>(FRows.size())) {
    ADD_FAILURE() << "DeleteRow at " << Index << " of " << FRows.size();
    return;
  }
  FRows.erase(FRows.begin() + Index);
  if (FItemIndex == Index)
    FItemIndex = -1;
  else if (FItemIndex > Index)
    --FItemIndex;
}

void TFakeMainView::SetEditText(std::u16string_view Text) {
  Call("SetEditText " + U8(Text));
  FEditText = Text;
}

void TFakeMainView::ShowSettings(TSwoConfig& Values) {
  Call("ShowSettings");
  if (!OnSettings) {
    ADD_FAILURE() << "unexpected settings dialog";
    return;
  }
  OnSettings(Values);
}

bool TFakeMainView::ShowCollectDialog(const std::vector<std::u16string>& Addresses, std::vector<int32_t>& Ticked) {
  Call("ShowCollectDialog " + std::to_string(Addresses.size()));
  if (!OnCollect) {
    ADD_FAILURE() << "unexpected collect dialog";
    return false;
  }
  TFakeCollectDialog dialog{Addresses, std::vector<bool>(Addresses.size())};
  if (!OnCollect(dialog)) return false;
  Ticked.clear();
  for (size_t i = 0; i < dialog.Ticked.size(); ++i)
    if (dialog.Ticked[i]) Ticked.push_back(static_cast<int32_t>(i));
  return true;
}

bool TFakeMainView::ShowTargetDialog(const std::vector<std::u16string>& Addresses, std::vector<TTargetRow>& Rows) {
  Call("ShowTargetDialog " + std::to_string(Addresses.size()));
  if (!OnTarget) {
    ADD_FAILURE() << "unexpected target dialog";
    return false;
  }
  TFakeTargetDialog dialog(Addresses);
  const bool ok = OnTarget(dialog);
  dialog.VerifyDone();
  if (!ok) return false;
  Rows.clear();
  for (const auto& row : dialog.Rows()) Rows.push_back({row.Caption, row.Data, row.Checked});
  return true;
}

void TFakeMainView::Close() {
  Call("Close");
  if (FCloses == 0)
    ADD_FAILURE() << "unexpected Close";
  else
    --FCloses;
}

void TFakeMainView::ExpectSameLevel(const std::vector<const TFolderNode*>& Shown, const TFolderNode* Parent,
                                    const TMainPresenter& Presenter) const {
  const TFolderTree& tree = Presenter.Tree();
  const int32_t count = Parent != nullptr ? Parent->Count() : tree.Count();
  ASSERT_EQ(static_cast<int32_t>(Shown.size()), count)
      << "children shown under " << (Parent ? U8(Parent->Text()) : "the root");
  for (int32_t i = 0; i < count; ++i) {
    const TFolderNode* node = Parent != nullptr ? Parent->Item(i) : tree.Item(i);
    ASSERT_EQ(Shown[static_cast<size_t>(i)], node)
        << "node " << i << " under " << (Parent ? U8(Parent->Text()) : "the root");
    const TItem& item = FItems.at(node);
    EXPECT_EQ(U8(item.Text), U8(node->Text()));
    EXPECT_EQ(item.Expanded, node->Expanded()) << "expanded state of " << U8(node->Text());
    ExpectSameLevel(item.Children, node, Presenter);
  }
}

void TFakeMainView::ExpectShows(const TMainPresenter& Presenter) const {
  for (int i = 0; i < kMainControlCount; ++i)
    EXPECT_EQ(FEnabled[static_cast<size_t>(i)], Presenter.Enabled(static_cast<TMainControl>(i)))
        << kControlNames[i];
  ExpectSameLevel(FRoots, nullptr, Presenter);
  EXPECT_EQ(FSelected, Presenter.Tree().Selected()) << "selected node";
  std::vector<std::u16string> rows;
  for (const TAddressRow& row : Presenter.Rows()) rows.push_back(row.Text);
  EXPECT_EQ(FRows, rows) << "rows of the list";
  EXPECT_EQ(FItemIndex, Presenter.ItemIndex()) << "selected row";
  EXPECT_EQ(U8(FEditText), U8(Presenter.EditText())) << "text of the edit";
}

}  // namespace swo::test
