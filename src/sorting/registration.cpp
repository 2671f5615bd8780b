// How the sorter reaches Outlook and registers Outlook folders as target folders.
#include "host/application_source.h"
#include "sorting/entry_index.h"
#include "sorting/sortwise.h"

namespace swo {

outlook::Ref<outlook::_Application> TSortwise::ResolveApplication() {
  // Outlook trusts only the application it handed over: on its own thread that one serves,
  // and the guard never asks the user about the senders a run reads.
  if (FApplication && (!FApplicationSource || FApplicationSource->IsMainThread())) return FApplication;
  outlook::Ref<outlook::_Application> app;
  if (FApplicationSource) {
    app = FApplicationSource->GetActiveApplication();
    if (!app && !FApplicationSource->IsMainThread()) app = FApplicationSource->CreateApplication();
  }
  return app ? app : FApplication;
}

void TSortwise::SetApplicationSource(std::shared_ptr<TSwoApplicationSource> Source) {
  FApplicationSource = std::move(Source);
}

// Without an application there is no namespace; the operations that need one say so instead of
// dereferencing nothing.
static outlook::Ref<outlook::_NameSpace> RequireNameSpace(TSwoObject& Object) {
  outlook::Ref<outlook::_NameSpace> ns = Object.GetNameSpace();
  if (!ns) throw ESortwise(brv::kE_FAIL, u"Outlook is not available");
  return ns;
}

outlook::Ref<outlook::MAPIFolder> TSortwise::Inbox_() {
  return RequireNameSpace(*this)->GetDefaultFolder(outlook::olFolderInbox);
}

outlook::Ref<outlook::MAPIFolder> TSwoFolder::Object_() {
  return RequireNameSpace(*this)->GetFolderFromID(FId, StoreId());
}

TSwoFolder* TSortwise::Add() {
  const outlook::Ref<outlook::MAPIFolder> picked = RequireNameSpace(*this)->PickFolder();
  return picked ? Add(*picked) : nullptr;
}

TSwoFolder* TSortwise::Add(outlook::MAPIFolder& olFolder) {
  const std::u16string storeId = olFolder.StoreID();
  TSwoStore* store = GetItem(std::u16string_view(storeId));
  if (store == nullptr) store = TSwoStore::Create(this, storeId, u"");
  const std::u16string entryId = olFolder.EntryID();
  if (TSwoFolder* existing = store->GetItem(std::u16string_view(entryId))) return existing;
  const outlook::Ref<outlook::MAPIFolder> inbox = Inbox_();
  if (inbox->StoreID() == storeId && inbox->EntryID() == entryId)
    throw ESortwise(brv::kE_FAIL, u"Inbox cannot be added");
  return TSwoFolder::Create(store, entryId, olFolder.Name());
}

void TSortwise::GetEntryList(TSwoEntryIndex& Entries) const {
  for (int32_t s = 0; s < Count(); ++s) {
    const TSwoStore* store = GetItem(s);
    for (int32_t f = 0; f < store->Count(); ++f) {
      const TSwoFolder* folder = store->GetItem(f);
      for (int32_t e = 0; e < folder->Count(); ++e) {
        TSwoEntry* entry = folder->GetItem(e);
        Entries.AddObject(entry->Address(), entry);
      }
    }
  }
}

}  // namespace swo
