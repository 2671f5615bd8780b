// The rule editor's folder tree as data: nodes with a text, the target folder they carry, their
// children in order, an expanded flag, and one selected node. The main window's presenter keeps
// it and tells its view every change; tests read it.
//
// Nodes are owned by the tree and keep their address until removed, so views and tests may hold
// references to them (a view maps each node to its own tree item).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace swo {

class TSwoFolder;
class TFolderTree;

class TFolderNode {
 public:
  TFolderNode(const TFolderNode&) = delete;
  TFolderNode& operator=(const TFolderNode&) = delete;

  // One level of an Outlook folder path: "\\Store" for a root, a folder name below.
  const std::u16string& Text() const { return FText; }
  // The target folder registered for exactly this path; null for a level that is none.
  TSwoFolder* Data() const { return FData; }
  // The parent node; null for a root.
  TFolderNode* Parent() const {
    return FParent != nullptr && FParent->FParent != nullptr ? FParent : nullptr;
  }
  // Number of children.
  int32_t Count() const { return static_cast<int32_t>(FChildren.size()); }
  // The child at Index (0..Count-1).
  TFolderNode* Item(int32_t Index) const { return FChildren[static_cast<size_t>(Index)].get(); }
  // Position among the parent's children (or among the roots).
  int32_t Index() const;
  // True while the children are shown; a node without children is never expanded.
  bool Expanded() const { return FExpanded; }
  // The images of the tree: every node shows image 0.
  int32_t ImageIndex() const { return 0; }

 private:
  friend class TFolderTree;
  TFolderNode(TFolderNode* Parent, std::u16string Text) : FParent(Parent), FText(std::move(Text)) {}

  TFolderNode* FParent;  // a root's is the tree's hidden holder of the roots
  std::u16string FText;
  TSwoFolder* FData = nullptr;
  bool FExpanded = false;
  std::vector<std::unique_ptr<TFolderNode>> FChildren;
};

class TFolderTree {
 public:
  TFolderTree();
  ~TFolderTree();
  TFolderTree(const TFolderTree&) = delete;
  TFolderTree& operator=(const TFolderTree&) = delete;

  // Number of root nodes.
  int32_t Count() const { return FRoot->Count(); }
  // The root at Index (0..Count-1).
  TFolderNode* Item(int32_t Index) const { return FRoot->Item(Index); }
  // The first root node, or null for an empty tree.
  TFolderNode* FirstNode() const { return Count() > 0 ? Item(0) : nullptr; }
  // The selected node, or null.
  TFolderNode* Selected() const { return FSelected; }
  // Calls Visit for every node in tree order (each node before its children).
  void ForEach(const std::function<void(TFolderNode&)>& Visit) const;
  // The node carrying Folder, or null.
  TFolderNode* FindData(const TSwoFolder* Folder) const;
  // True when Node is Ancestor or lies in its subtree.
  static bool IsWithin(const TFolderNode* Node, const TFolderNode* Ancestor);

  // Changes, made by the presenter. A new node goes last under Parent (null: a new last root).
  TFolderNode& Add(TFolderNode* Parent, std::u16string Text);
  // Removes Node with its subtree; removing the selected node (or its ancestor) leaves no
  // selection, and a parent left without children is no longer expanded.
  void Remove(TFolderNode& Node);
  void SetData(TFolderNode& Node, TSwoFolder* Folder);
  void SetExpanded(TFolderNode& Node, bool Expanded) { Node.FExpanded = Expanded && Node.Count() > 0; }
  void SetSelected(TFolderNode* Node) { FSelected = Node; }
  // Orders every level by Compare on the node texts (negative: L first); equal texts keep
  // their order.
  void Sort(const std::function<int(const std::u16string& L, const std::u16string& R)>& Compare);

 private:
  std::unique_ptr<TFolderNode> FRoot;  // holds the roots as its children; never shown
  TFolderNode* FSelected = nullptr;
  // The node of each folder that a node carries: every folder placed in a refresh is looked up,
  // and a walk of the whole tree for each would grow with the square of the folders.
  std::unordered_map<const TSwoFolder*, TFolderNode*> FByData;
};

}  // namespace swo
