// The rule editor's folder tree: one node per level of the target folders' Outlook paths.
#include <utility>
#include <vector>

#include "foundation/text.h"
#include "platform/locale.h"
#include "sorting/sortwise.h"
#include "ui/main_presenter.h"

namespace swo {

namespace {

TFolderNode& Mutable(const TFolderNode& Node) { return const_cast<TFolderNode&>(Node); }

// Where the selection goes when Node's subtree is deleted; null for nowhere.
TFolderNode* SelectionAfterDeleting(const TFolderNode& Node, const TFolderTree& Tree) {
  TFolderNode* parent = Node.Parent();
  const int32_t index = Node.Index();
  const int32_t count = parent != nullptr ? parent->Count() : Tree.Count();
  const auto sibling = [&](int32_t i) { return parent != nullptr ? parent->Item(i) : Tree.Item(i); };
  if (index + 1 < count) return sibling(index + 1);
  if (parent != nullptr) return parent;
  return index > 0 ? sibling(index - 1) : nullptr;
}

}  // namespace

// Repainting stays suspended until the tree is complete, also when an error cuts it short.
class TMainPresenter::TTreeUpdate {
 public:
  explicit TTreeUpdate(TMainView& View) : FView(&View) { FView->BeginTreeUpdate(); }
  ~TTreeUpdate() { End(); }
  void End() {
    if (FView != nullptr) std::exchange(FView, nullptr)->EndTreeUpdate();
  }

 private:
  TMainView* FView;
};

void TMainPresenter::FormShow() {
  RefreshFolders(nullptr);
  if (TFolderNode* first = FTree.FirstNode()) {
    FullExpand(*first);
    MakeVisible(*first);
  }
}

void TMainPresenter::RefreshFolders(TSwoFolder* AFolder) {
  TTreeUpdate update(FView);
  if (AFolder == nullptr && FTree.Selected() != nullptr) AFolder = FTree.Selected()->Data();
  TFolderNode* chosen = nullptr;
  for (int32_t s = 0; s < FSortwise.Count(); ++s) {
    const TSwoStore& store = *FSortwise.GetItem(s);
    for (int32_t f = 0; f < store.Count(); ++f) {
      TSwoFolder* folder = store.GetItem(f);
      try {
        TFolderNode* node = AddFolderNode(*folder);
        if (node != nullptr && folder == AFolder) chosen = node;
      } catch (const brv::Exception&) {
        // Not reachable in Outlook (deleted, store not open): it stays registered, without a node.
      }
    }
  }
  if (chosen == nullptr) chosen = FTree.FirstNode();
  if (chosen != nullptr) Select(chosen);
  FTree.Sort([](const std::u16string& L, const std::u16string& R) {
    return brv::platform::LocaleCompareString(L, R);
  });
  FView.SortTree();
  update.End();
  if (chosen != nullptr) MakeVisible(*chosen);
}

TFolderNode* TMainPresenter::AddFolderNode(TSwoFolder& AFolder) {
  const std::u16string path = AFolder.Object_()->FolderPath();
  TFolderNode* node = FindOrAddPathNode(path);
  if (node == nullptr || node->Data() == &AFolder) return node;
  // A folder whose path changed since it was placed leaves its old node: were it carried twice,
  // deleting one node would leave the other with a freed folder.
  if (TFolderNode* before = FTree.FindData(&AFolder)) FTree.SetData(*before, nullptr);
  FTree.SetData(*node, &AFolder);
  return node;
}

TFolderNode* TMainPresenter::FindOrAddPathNode(std::u16string_view APath) {
  if (APath.empty() || APath == u"\\\\") return nullptr;
  const size_t last = APath.rfind(u'\\');
  if (last == std::u16string_view::npos || last < 2) {
    // A store's path. Only roots can match: no other node's text holds a backslash.
    for (int32_t i = 0; i < FTree.Count(); ++i)
      if (brv::SameText(FTree.Item(i)->Text(), APath)) return FTree.Item(i);
    return &AddNode(nullptr, APath);
  }
  TFolderNode* parent = FindOrAddPathNode(APath.substr(0, last));
  if (parent == nullptr) return nullptr;
  const std::u16string_view name = APath.substr(last + 1);
  for (int32_t i = 0; i < parent->Count(); ++i)
    if (brv::SameText(parent->Item(i)->Text(), name)) return parent->Item(i);
  return &AddNode(parent, name);
}

TFolderNode& TMainPresenter::AddNode(TFolderNode* Parent, std::u16string_view Text) {
  TFolderNode& node = FTree.Add(Parent, std::u16string(Text));
  FView.AddNode(node);
  return node;
}

void TMainPresenter::DeleteNode(const TFolderNode& ANode) {
  TFolderNode& node = Mutable(ANode);
  // The selection leaves the subtree before anything in it is freed, so the list never shows
  // entries of a freed folder.
  if (TFolderTree::IsWithin(FTree.Selected(), &node)) Select(SelectionAfterDeleting(node, FTree));
  DeleteSubtree(node);
}

void TMainPresenter::DeleteSubtree(TFolderNode& Node) {
  for (int32_t i = Node.Count() - 1; i >= 0; --i) DeleteSubtree(*Node.Item(i));
  if (TSwoFolder* folder = Node.Data()) {
    if (folder == FFolder) SetFolder(nullptr);
    FTree.SetData(Node, nullptr);
    delete folder;
  }
  FView.DeleteNode(Node);
  FTree.Remove(Node);
}

void TMainPresenter::Select(TFolderNode* Node) {
  if (Node == FTree.Selected()) return;
  FTree.SetSelected(Node);
  FView.SelectNode(Node);
  SelectionChanged();
}

void TMainPresenter::tvFoldersChange(const TFolderNode* Node) {
  FTree.SetSelected(Node != nullptr ? &Mutable(*Node) : nullptr);
  SelectionChanged();
}

void TMainPresenter::SelectionChanged() {
  TFolderNode* selected = FTree.Selected();
  SetEnabled(TMainControl::tbDelete, selected != nullptr);
  SetFolder(selected != nullptr ? selected->Data() : nullptr);
}

void TMainPresenter::tvFoldersExpanded(const TFolderNode& Node) { FTree.SetExpanded(Mutable(Node), true); }

void TMainPresenter::tvFoldersCollapsed(const TFolderNode& Node) { FTree.SetExpanded(Mutable(Node), false); }

void TMainPresenter::Expand(TFolderNode& Node) {
  if (Node.Expanded() || Node.Count() == 0) return;
  FTree.SetExpanded(Node, true);
  FView.ExpandNode(Node);
}

void TMainPresenter::FullExpand(TFolderNode& Node) {
  Expand(Node);
  for (int32_t i = 0; i < Node.Count(); ++i) FullExpand(*Node.Item(i));
}

void TMainPresenter::MakeVisible(TFolderNode& Node) {
  std::vector<TFolderNode*> ancestors;
  for (TFolderNode* p = Node.Parent(); p != nullptr; p = p->Parent()) ancestors.push_back(p);
  for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) Expand(**it);
  FView.ScrollIntoView(Node);
}

}  // namespace swo
