// Folders of the substitute store and their item collections.
#include "foundation/text.h"
#include "host/memory_shared.h"
#include "host/memory_store.h"

namespace outlook {
namespace {

// A folder's Items: a view that reads the folder's list on every call.
class TMemoryItems final : public _Items {
 public:
  explicit TMemoryItems(Ref<TMemoryFolder> Folder) : FFolder(std::move(Folder)) {}

  int32_t Count() override {
    FFolder->Enter(TMemoryCall::ItemsCount);
    return static_cast<int32_t>(FFolder->ItemCount());
  }

  Ref<ItemObject> Item(int32_t Index) override {
    const bool valid = Index >= 1 && static_cast<size_t>(Index) <= FFolder->ItemCount();
    auto item = valid ? FFolder->ItemAt(static_cast<size_t>(Index)) : nullptr;
    FFolder->Enter(TMemoryCall::ItemsItem, item.get());
    if (!valid)
      RaiseMemoryError(kDISP_E_BADINDEX, u"Array index out of bounds: item " + Decimal(Index) + u" of " +
                                             Decimal(static_cast<int64_t>(FFolder->ItemCount())));
    return item;
  }

 private:
  static std::u16string Decimal(int64_t Value) { return TMemoryValue::Integer(Value).ToText(); }

  Ref<TMemoryFolder> FFolder;
};

void CheckName(std::u16string_view Name, std::u16string_view What) {
  if (Name.empty()) RaiseMemoryError(brv::kE_INVALIDARG, u"A " + std::u16string(What) + u" needs a name");
  if (Name.find(u'\\') != std::u16string_view::npos)
    RaiseMemoryError(brv::kE_INVALIDARG,
                     u"The " + std::u16string(What) + u" name " + MessageText(Name) + u" contains \"\\\"");
}

}  // namespace

TMemoryFolder::TMemoryFolder(std::shared_ptr<TMemoryShared> Shared, std::u16string Name,
                             std::u16string EntryID, std::u16string StoreID,
                             std::weak_ptr<TMemoryFolder> Parent)
    : FShared(std::move(Shared)),
      FName(std::move(Name)),
      FEntryID(std::move(EntryID)),
      FStoreID(std::move(StoreID)),
      FParent(std::move(Parent)),
      FRoot(FParent.expired()) {}

std::u16string TMemoryFolder::Path() const {
  const auto parent = Parent();
  if (parent) return parent->Path() + u"\\" + FName;
  return u"\\\\" + FName;
}

Ref<TMemoryFolder> TMemoryFolder::AddFolder(std::u16string Name, std::u16string EntryID) {
  CheckName(Name, u"folder");
  if (FDepth >= kMaxFolderDepth)
    RaiseMemoryError(brv::kE_INVALIDARG, u"The folder " + MessageTextEnd(Path()) + u" is " +
                                             TMemoryValue::Integer(static_cast<int64_t>(FDepth)).ToText() +
                                             u" levels below its store, as deep as folders go");
  if (Folder(Name))
    RaiseMemoryError(brv::kE_INVALIDARG, u"The folder " + MessageTextEnd(Path()) +
                                             u" already has a subfolder " + MessageText(Name));
  EntryID = FShared->ClaimId(std::move(EntryID), u"00000000AB0F0000");
  auto folder = std::make_shared<TMemoryFolder>(FShared, std::move(Name), std::move(EntryID), FStoreID,
                                                weak_from_this());
  folder->FRemoved = FRemoved;
  folder->FDepth = FDepth + 1;
  FFolderNames.emplace(folder->FName, folder.get());
  FFolders.push_back(folder);
  return folder;
}

Ref<TMemoryItem> TMemoryFolder::AddItem(TMemoryItemData Data) {
  Data.EntryID = FShared->ClaimId(std::move(Data.EntryID), u"00000000AB0E0000");
  auto item = std::make_shared<TMemoryItem>(FShared, std::move(Data));
  FShared->Items[item->Data().EntryID] = item;
  TakeItem(item);
  return item;
}

Ref<TMemoryFolder> TMemoryFolder::Folder(std::u16string_view Name) const {
  const auto found = FFolderNames.find(Name);
  return found == FFolderNames.end() ? nullptr : found->second->shared_from_this();
}

std::vector<Ref<TMemoryItem>> TMemoryFolder::Contents() const {
  std::vector<Ref<TMemoryItem>> items;
  items.reserve(FItems.Count());
  FItems.ForEach([&](const Ref<TMemoryItem>& Item) { items.push_back(Item); });
  return items;
}

Ref<TMemoryItem> TMemoryFolder::ItemAt(size_t Position) const {
  if (Position < 1 || Position > FItems.Count())
    RaiseMemoryError(kDISP_E_BADINDEX,
                     u"The folder " + MessageText(FName) + u" has no item at that position");
  return FItems.At(Position - 1);
}

void TMemoryFolder::Remove() {
  const auto parent = Parent();
  if (FRoot || !parent)
    RaiseMemoryError(brv::kE_INVALIDARG, u"The folder " + MessageText(FName) + u" cannot be removed");
  auto& siblings = parent->FFolders;
  const auto self = shared_from_this();
  parent->FFolderNames.erase(FName);
  std::erase(siblings, self);
  FParent.reset();
  MarkRemoved();
}

void TMemoryFolder::MarkRemoved() {
  FRemoved = true;
  for (const auto& folder : FFolders) folder->MarkRemoved();
}

void TMemoryFolder::Enter(TMemoryCall Call) const { Enter(Call, this); }

void TMemoryFolder::Enter(TMemoryCall Call, const void* Target) const {
  FShared->Probe.Enter(Call, Target);
  if (FRemoved)
    RaiseMemoryError(kMAPI_E_NOT_FOUND, u"The folder " + MessageText(FName) + u" no longer exists");
}

std::u16string TMemoryFolder::StoreID() {
  Enter(TMemoryCall::FolderStoreID);
  return FStoreID;
}

std::u16string TMemoryFolder::EntryID() {
  Enter(TMemoryCall::FolderEntryID);
  return FEntryID;
}

std::u16string TMemoryFolder::Name() {
  Enter(TMemoryCall::FolderName);
  return FName;
}

std::u16string TMemoryFolder::FolderPath() {
  Enter(TMemoryCall::FolderFolderPath);
  return Path();
}

Ref<_Items> TMemoryFolder::Items() {
  Enter(TMemoryCall::FolderItems);
  return std::make_shared<TMemoryItems>(shared_from_this());
}

void TMemoryFolder::TakeItem(const Ref<TMemoryItem>& Item) {
  Item->FFolder = weak_from_this();
  FItems.Append(Item);
}

void TMemoryFolder::ReleaseItem(TMemoryItem& Item) {
  if (FItems.Contains(Item)) FItems.Remove(Item);
  Item.FFolder.reset();
}

}  // namespace outlook
