// The substitute application and namespace: stores, folder look-ups, PickFolder's script and
// the probe's controls.
#include "foundation/text.h"
#include "host/memory_shared.h"
#include "host/memory_store.h"

namespace outlook {
namespace {

// Calls Visit for Folder and every folder below it until Visit returns true; returns that.
template <class F>
bool AnyFolder(const Ref<TMemoryFolder>& Folder, F& Visit) {
  if (Visit(Folder)) return true;
  for (const auto& sub : Folder->Folders())
    if (AnyFolder(sub, Visit)) return true;
  return false;
}

}  // namespace

Ref<TMemoryOutlook> TMemoryOutlook::Create(std::u16string ProfileName) {
  return std::make_shared<TMemoryOutlook>(std::move(ProfileName));
}

TMemoryOutlook::TMemoryOutlook(std::u16string ProfileName)
    : FShared(std::make_shared<TMemoryShared>()), FProfileName(std::move(ProfileName)) {}

Ref<TMemoryFolder> TMemoryOutlook::AddStore(std::u16string DisplayName, std::u16string StoreID,
                                            std::u16string RootEntryID) {
  if (DisplayName.empty() || DisplayName.find(u'\\') != std::u16string::npos)
    RaiseMemoryError(brv::kE_INVALIDARG, u"A store needs a name without \"\\\"");
  if (FStoreNames.contains(DisplayName))
    RaiseMemoryError(brv::kE_INVALIDARG, u"There is already a store named " + MessageText(DisplayName));
  StoreID = FShared->ClaimId(std::move(StoreID), u"0000000038A1BB10");
  const std::u16string rootId = FShared->ClaimId(std::move(RootEntryID), u"00000000AB0F0000");
  auto root = std::make_shared<TMemoryFolder>(FShared, std::move(DisplayName), rootId, std::move(StoreID),
                                              std::weak_ptr<TMemoryFolder>());
  FStoreNames.emplace(root->DisplayName(), root.get());
  FStores.push_back(root);
  return root;
}

void TMemoryOutlook::RemoveStore(const Ref<TMemoryFolder>& Root) {
  if (std::erase(FStores, Root) == 0)
    RaiseMemoryError(brv::kE_INVALIDARG, u"That is not a store of this Outlook");
  FStoreNames.erase(Root->DisplayName());
  Root->MarkRemoved();
}

Ref<TMemoryFolder> TMemoryOutlook::FolderByPath(std::u16string_view Path) const {
  if (!Path.starts_with(u"\\\\")) return nullptr;
  Path.remove_prefix(2);
  Ref<TMemoryFolder> folder;
  for (;;) {
    const size_t end = Path.find(u'\\');
    const std::u16string_view name = Path.substr(0, end);
    if (!folder) {
      const auto store = FStoreNames.find(name);
      if (store != FStoreNames.end()) folder = store->second->shared_from_this();
    } else {
      folder = folder->Folder(name);
    }
    if (!folder || end == std::u16string_view::npos) return folder;
    Path.remove_prefix(end + 1);
  }
}

Ref<TMemoryFolder> TMemoryOutlook::FindFolder(std::u16string_view EntryID,
                                              std::u16string_view StoreID) const {
  Ref<TMemoryFolder> store;
  if (StoreID.empty()) {
    store = DefaultInbox();
    while (store && store->Parent()) store = store->Parent();
    if ((!store || store->Removed()) && !FStores.empty()) store = FStores.front();
  } else {
    for (const auto& root : FStores)
      if (root->StoreId() == StoreID) store = root;
  }
  if (!store) return nullptr;
  Ref<TMemoryFolder> found;
  auto visit = [&](const Ref<TMemoryFolder>& Folder) {
    if (Folder->Id() != EntryID) return false;
    found = Folder;
    return true;
  };
  AnyFolder(store, visit);
  return found;
}

Ref<TMemoryItem> TMemoryOutlook::FindItem(std::u16string_view EntryID) const {
  const auto found = FShared->Items.find(std::u16string(EntryID));
  if (found == FShared->Items.end()) return nullptr;
  Ref<TMemoryItem> item = found->second.lock();
  // An item of a removed folder is gone with it.
  const Ref<TMemoryFolder> folder = item ? item->Folder() : nullptr;
  return folder && !folder->Removed() ? item : nullptr;
}

Ref<TMemoryFolder> TMemoryOutlook::DefaultInbox() const {
  if (auto inbox = FInbox.lock()) return inbox;
  return FStores.empty() ? nullptr : FStores.front()->Folder(u"Inbox");
}

uint64_t TMemoryOutlook::Calls(TMemoryCall Call) const { return FShared->Probe.Calls(Call); }
uint64_t TMemoryOutlook::Calls(std::u16string_view Name) const { return FShared->Probe.Calls(Name); }
uint64_t TMemoryOutlook::TotalCalls() const { return FShared->Probe.TotalCalls(); }
void TMemoryOutlook::ResetCalls() { FShared->Probe.ResetCalls(); }

void TMemoryOutlook::InjectFault(TMemoryCall Call, brv::TbrvResult Code, int Times) {
  FShared->Probe.InjectFault(Call, nullptr, Code, Times);
}
void TMemoryOutlook::InjectFault(TMemoryCall Call, const TMemoryItem& Item, brv::TbrvResult Code, int Times) {
  FShared->Probe.InjectFault(Call, &Item, Code, Times);
}
void TMemoryOutlook::InjectFault(TMemoryCall Call, const TMemoryFolder& Folder, brv::TbrvResult Code,
                                 int Times) {
  FShared->Probe.InjectFault(Call, &Folder, Code, Times);
}
void TMemoryOutlook::ClearFaults() { FShared->Probe.ClearFaults(); }

Ref<_NameSpace> TMemoryOutlook::Session() {
  FShared->Probe.Enter(TMemoryCall::ApplicationSession, nullptr);
  return shared_from_this();
}

std::u16string TMemoryOutlook::CurrentProfileName() {
  FShared->Probe.Enter(TMemoryCall::NameSpaceCurrentProfileName, nullptr);
  return FProfileName;
}

Ref<MAPIFolder> TMemoryOutlook::GetDefaultFolder(int32_t FolderType) {
  FShared->Probe.Enter(TMemoryCall::NameSpaceGetDefaultFolder, nullptr);
  if (FolderType != olFolderInbox)
    RaiseMemoryError(brv::kE_INVALIDARG, u"The substitute store has no default folder of kind " +
                                             TMemoryValue::Integer(FolderType).ToText());
  auto inbox = DefaultInbox();
  if (!inbox || inbox->Removed()) RaiseMemoryError(kMAPI_E_NOT_FOUND, u"There is no default inbox");
  return inbox;
}

Ref<MAPIFolder> TMemoryOutlook::GetFolderFromID(const std::u16string& EntryID,
                                                const std::u16string& StoreID) {
  FShared->Probe.Enter(TMemoryCall::NameSpaceGetFolderFromID, nullptr);
  auto folder = FindFolder(EntryID, StoreID);
  if (!folder)
    RaiseMemoryError(kMAPI_E_NOT_FOUND,
                     u"The attempted operation failed. An object could not be found (folder " +
                         MessageText(EntryID) + u" in store " + MessageText(StoreID) + u")");
  return folder;
}

Ref<ItemObject> TMemoryOutlook::GetItemFromID(const std::u16string& EntryID, const std::u16string& StoreID) {
  FShared->Probe.Enter(TMemoryCall::NameSpaceGetItemFromID, nullptr);
  auto item = FindItem(EntryID);
  if (!item || (!StoreID.empty() && item->Folder()->StoreId() != StoreID))
    RaiseMemoryError(kMAPI_E_NOT_FOUND,
                     u"The attempted operation failed. An object could not be found (item " +
                         MessageText(EntryID) + u" in store " + MessageText(StoreID) + u")");
  return item;
}

Ref<MAPIFolder> TMemoryOutlook::PickFolder() {
  FShared->Probe.Enter(TMemoryCall::NameSpacePickFolder, nullptr);
  if (FPicks.empty())
    RaiseMemoryError(brv::kE_UNEXPECTED, u"PickFolder was called but no answer is scripted");
  const std::u16string path = std::move(FPicks.front());
  FPicks.pop_front();
  if (path.empty()) return nullptr;
  auto folder = FolderByPath(path);
  if (!folder)
    RaiseMemoryError(kMAPI_E_NOT_FOUND, u"The scripted folder " + MessageTextEnd(path) + u" does not exist");
  return folder;
}

}  // namespace outlook
