// The substitute Outlook seen through a namespace whose folders may report other paths than their
// own: folders renamed or moved in Outlook while the editor is open (a synchronised mailbox), and
// paths that differ only in case, which the substitute store itself does not hold.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "host/memory_store.h"

namespace swo::test {

class TRenamedOutlook : public outlook::_Application,
                        public outlook::_NameSpace,
                        public std::enable_shared_from_this<TRenamedOutlook> {
 public:
  explicit TRenamedOutlook(outlook::Ref<outlook::TMemoryOutlook> Inner) : FInner(std::move(Inner)) {}

  // From now on Folder's FolderPath is Path.
  void SetPath(const outlook::TMemoryFolder& Folder, std::u16string Path) {
    FPaths[Folder.Id()] = std::move(Path);
  }

  outlook::Ref<outlook::_NameSpace> Session() override { return shared_from_this(); }
  std::u16string CurrentProfileName() override { return FInner->CurrentProfileName(); }
  outlook::Ref<outlook::MAPIFolder> GetDefaultFolder(int32_t FolderType) override {
    return Wrap(FInner->GetDefaultFolder(FolderType));
  }
  outlook::Ref<outlook::MAPIFolder> GetFolderFromID(const std::u16string& EntryID,
                                                    const std::u16string& StoreID) override {
    return Wrap(FInner->GetFolderFromID(EntryID, StoreID));
  }
  outlook::Ref<outlook::ItemObject> GetItemFromID(const std::u16string& EntryID, const std::u16string& StoreID) override {
    return FInner->GetItemFromID(EntryID, StoreID);
  }
  outlook::Ref<outlook::MAPIFolder> PickFolder() override { return Wrap(FInner->PickFolder()); }

 private:
  class TFolder : public outlook::MAPIFolder {
   public:
    TFolder(outlook::Ref<outlook::MAPIFolder> Inner, std::shared_ptr<TRenamedOutlook> Owner)
        : FInner(std::move(Inner)), FOwner(std::move(Owner)) {}
    std::u16string StoreID() override { return FInner->StoreID(); }
    std::u16string EntryID() override { return FInner->EntryID(); }
    std::u16string Name() override { return FInner->Name(); }
    std::u16string FolderPath() override {
      const auto it = FOwner->FPaths.find(FInner->EntryID());
      return it != FOwner->FPaths.end() ? it->second : FInner->FolderPath();
    }
    outlook::Ref<outlook::_Items> Items() override { return FInner->Items(); }

   private:
    outlook::Ref<outlook::MAPIFolder> FInner;
    std::shared_ptr<TRenamedOutlook> FOwner;
  };

  outlook::Ref<outlook::MAPIFolder> Wrap(outlook::Ref<outlook::MAPIFolder> Folder) {
    if (!Folder) return nullptr;
    return std::make_shared<TFolder>(std::move(Folder), shared_from_this());
  }

  outlook::Ref<outlook::TMemoryOutlook> FInner;
  std::map<std::u16string, std::u16string> FPaths;
};

}  // namespace swo::test
