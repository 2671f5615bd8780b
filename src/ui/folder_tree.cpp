#include "ui/folder_tree.h"

#include <algorithm>

namespace swo {

namespace {

void Visit(TFolderNode& Node, const std::function<void(TFolderNode&)>& Action) {
  Action(Node);
  for (int32_t i = 0; i < Node.Count(); ++i) Visit(*Node.Item(i), Action);
}

}  // namespace

int32_t TFolderNode::Index() const {
  const auto& siblings = FParent->FChildren;
  const auto it =
      std::find_if(siblings.begin(), siblings.end(), [this](const auto& n) { return n.get() == this; });
  return static_cast<int32_t>(it - siblings.begin());
}

TFolderTree::TFolderTree() : FRoot(new TFolderNode(nullptr, u"")) {}

TFolderTree::~TFolderTree() = default;

void TFolderTree::ForEach(const std::function<void(TFolderNode&)>& Action) const {
  for (int32_t i = 0; i < Count(); ++i) Visit(*Item(i), Action);
}

TFolderNode* TFolderTree::FindData(const TSwoFolder* Folder) const {
  if (Folder == nullptr) return nullptr;
  const auto found = FByData.find(Folder);
  return found != FByData.end() ? found->second : nullptr;
}

void TFolderTree::SetData(TFolderNode& Node, TSwoFolder* Folder) {
  if (Node.FData != nullptr) {
    const auto was = FByData.find(Node.FData);
    if (was != FByData.end() && was->second == &Node) FByData.erase(was);
  }
  Node.FData = Folder;
  if (Folder != nullptr) FByData[Folder] = &Node;
}

bool TFolderTree::IsWithin(const TFolderNode* Node, const TFolderNode* Ancestor) {
  for (; Node != nullptr; Node = Node->Parent())
    if (Node == Ancestor) return true;
  return false;
}

TFolderNode& TFolderTree::Add(TFolderNode* Parent, std::u16string Text) {
  TFolderNode* holder = Parent != nullptr ? Parent : FRoot.get();
  holder->FChildren.push_back(std::unique_ptr<TFolderNode>(new TFolderNode(holder, std::move(Text))));
  return *holder->FChildren.back();
}

void TFolderTree::Remove(TFolderNode& Node) {
  if (IsWithin(FSelected, &Node)) FSelected = nullptr;
  Visit(Node, [this](TFolderNode& Gone) { SetData(Gone, nullptr); });
  TFolderNode* holder = Node.FParent;
  holder->FChildren.erase(holder->FChildren.begin() + Node.Index());
  // A parent left without children cannot show any.
  if (holder->FChildren.empty()) holder->FExpanded = false;
}

void TFolderTree::Sort(const std::function<int(const std::u16string& L, const std::u16string& R)>& Compare) {
  const auto sortChildren = [&](TFolderNode& Node) {
    std::stable_sort(Node.FChildren.begin(), Node.FChildren.end(),
                     [&](const auto& L, const auto& R) { return Compare(L->FText, R->FText) < 0; });
  };
  sortChildren(*FRoot);
  ForEach(sortChildren);
}

}  // namespace swo
