// The substitute Outlook: stores, folders and items in memory behind the interfaces of
// outlook.h, for the tests, the benchmarks and the command-line tool.
//
// TMemoryOutlook is the application and its namespace at once; its stores are root folders
// (a root's name is the store's display name, its FolderPath "\\Name"). Every call through an
// outlook.h interface is counted in the probe and may be made to raise (memory_probe.h); the
// set-up functions below (AddStore, AddFolder, AddItem, Data, ...) are neither counted nor
// faulted. Errors are brv::EbrvObject with Outlook-like codes.
//
// Objects share nothing with other TMemoryOutlook instances and nothing global; like Outlook's,
// they take no locks, so one instance is used by one thread at a time.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/result.h"
#include "host/memory_probe.h"
#include "host/memory_value.h"
#include "host/outlook.h"
#include "host/ranked_list.h"

namespace outlook {

// MAPI_E_NOT_FOUND: an unknown or removed folder.
inline constexpr brv::TbrvResult kMAPI_E_NOT_FOUND = static_cast<brv::TbrvResult>(0x8004010F);
// DISP_E_BADINDEX: Items.Item with a position outside 1..Count.
inline constexpr brv::TbrvResult kDISP_E_BADINDEX = static_cast<brv::TbrvResult>(0x8002000B);

// How many levels of folders a store holds below its root at most: far more than any real
// mailbox has, and few enough that walking the tree recursively (saving, paths, freeing) stays
// well inside a thread's stack.
inline constexpr size_t kMaxFolderDepth = 100;

class TMemoryOutlook;
class TMemoryFolder;
class TMemoryItem;
struct TMemoryShared;

// Orders names as SameText compares them (ignoring the case of A-Z), for the look-ups by name.
struct TMemoryNameLess {
  using is_transparent = void;
  bool operator()(std::u16string_view L, std::u16string_view R) const;
};
using TMemoryFolderNames = std::map<std::u16string, TMemoryFolder*, TMemoryNameLess>;

// Kinds of item; only mail items answer the query for _MailItem.
enum class TMemoryItemKind : uint8_t { Mail, MeetingRequest, Report };
// Outlook's message class of the kind: "IPM.Note", "IPM.Schedule.Meeting.Request",
// "REPORT.IPM.Note.NDR".
std::u16string_view MessageClassOf(TMemoryItemKind Kind);
// Outlook's object class of the kind: olMail (43), olMeetingRequest (53), olReport (46).
int32_t ObjectClassOf(TMemoryItemKind Kind);

// A named property value.
struct TMemoryProperty {
  std::u16string Name;
  TMemoryValue Value;
  bool operator==(const TMemoryProperty&) const = default;
};

// The sender of an item.
struct TMemorySender {
  // "SMTP" or "EX" (SenderEmailType); empty: no sender, Sender() yields null.
  std::u16string Type;
  // SenderEmailAddress: the SMTP address, or the Exchange (X.500) address of "EX" senders.
  std::u16string Address;
  // SenderName.
  std::u16string Name;
  // The primary SMTP address of the Exchange user behind the sender; none: GetExchangeUser
  // yields null (a sender that is not an Exchange user).
  std::optional<std::u16string> ExchangeUser;
  bool operator==(const TMemorySender&) const = default;
};

// Everything an item holds. The fixed fields are also its built-in properties of the same
// names (Subject, SenderEmailType, SenderEmailAddress, SenderName, UnRead, IsMarkedAsTask,
// TaskCompletedDate, ReceivedTime, Categories, EntryID, MessageClass).
struct TMemoryItemData {
  TMemoryItemKind Kind = TMemoryItemKind::Mail;
  // Empty: AddItem makes one.
  std::u16string EntryID;
  std::u16string Subject;
  TMemorySender Sender;
  bool UnRead = false;
  bool IsMarkedAsTask = false;
  // kNoDate (or 0) for none.
  TOleDate TaskCompletedDate = kNoDate;
  TOleDate ReceivedTime = 0;
  // "Red; Blue": Outlook's form, parts separated by "; ".
  std::u16string Categories;
  // Further built-in properties (Importance, To, Size, ...); names other than the fixed ones.
  std::vector<TMemoryProperty> BuiltIn;
  // User-defined properties: UserProperties.Find finds them with Custom true or false.
  std::vector<TMemoryProperty> Custom;
  bool operator==(const TMemoryItemData&) const = default;
};

// Names of the built-in properties that TMemoryItemData holds in fixed fields.
bool IsFixedPropertyName(std::u16string_view Name);

class TMemoryItem final : public _MailItem, public std::enable_shared_from_this<TMemoryItem> {
 public:
  TMemoryItem(std::shared_ptr<TMemoryShared> Shared, TMemoryItemData Data);

  // The item's state; reading or changing it is not an Outlook call (leave EntryID as it is).
  TMemoryItemData& Data() { return FData; }
  const TMemoryItemData& Data() const { return FData; }
  // The folder the item is in; null once that folder has been destroyed.
  Ref<TMemoryFolder> Folder() const { return FFolder.lock(); }
  // The property UserProperties.Find(Name, Custom) would find (names ignore the case of A-Z).
  // The UserProperty that Find returns holds the value as it was at the time of Find.
  std::optional<TMemoryValue> FindProperty(std::u16string_view Name, bool Custom) const;

  // ItemObject and _MailItem. Mail operations on an item that is not a mail raise
  // E_NOINTERFACE, as QueryMailItem does.
  Ref<_MailItem> QueryMailItem() override;
  std::u16string Subject() override;
  int32_t Class() override;
  std::u16string EntryID() override;
  // Null once the item's folder has been destroyed.
  Ref<MAPIFolder> Parent() override;
  bool IsMarkedAsTask() override;
  bool UnRead() override;
  TOleDate TaskCompletedDate() override;
  TOleDate ReceivedTime() override;
  std::u16string SenderEmailType() override;
  std::u16string SenderEmailAddress() override;
  Ref<AddressEntry> Sender() override;
  Ref<outlook::UserProperties> UserProperties() override;
  // Appends the item to Folder (a TMemoryFolder that has not been removed) and gives it a new
  // EntryID, as the strictest stores do; moving into the folder the item is in changes nothing.
  // Returns this item.
  Ref<_MailItem> Move(MAPIFolder& Folder) override;

  // The probe's target and slot bookkeeping (internal).
  void Enter(TMemoryCall Call) const;
  size_t& RankedSlot() { return FSlot; }

 private:
  friend class TMemoryFolder;
  void EnterMail(TMemoryCall Call) const;

  std::shared_ptr<TMemoryShared> FShared;
  TMemoryItemData FData;
  std::weak_ptr<TMemoryFolder> FFolder;
  size_t FSlot = 0;
};

class TMemoryFolder final : public MAPIFolder, public std::enable_shared_from_this<TMemoryFolder> {
 public:
  TMemoryFolder(std::shared_ptr<TMemoryShared> Shared, std::u16string Name, std::u16string EntryID,
                std::u16string StoreID, std::weak_ptr<TMemoryFolder> Parent);

  // Set-up and inspection (not Outlook calls).
  const std::u16string& DisplayName() const { return FName; }
  const std::u16string& Id() const { return FEntryID; }
  const std::u16string& StoreId() const { return FStoreID; }
  // \\Store\Folder\Sub.
  std::u16string Path() const;
  // The parent folder; null for a store's root and for a removed folder.
  Ref<TMemoryFolder> Parent() const { return FParent.lock(); }
  bool IsRoot() const { return FRoot; }
  bool Removed() const { return FRemoved; }
  // Levels below the store's root: 0 for a root, 1 for its folders, ...
  size_t Depth() const { return FDepth; }

  // A new subfolder, last among the subfolders. An empty EntryID makes one; raises
  // E_INVALIDARG for an empty name, a name with "\", a name a sibling has (ignoring the case of
  // A-Z), an EntryID already in use, or a folder deeper than kMaxFolderDepth.
  Ref<TMemoryFolder> AddFolder(std::u16string Name, std::u16string EntryID = {});
  // A new item, last in the folder. An empty EntryID makes one; one already in use raises.
  Ref<TMemoryItem> AddItem(TMemoryItemData Data);
  // Subfolders in the order they were added.
  const std::vector<Ref<TMemoryFolder>>& Folders() const { return FFolders; }
  // The subfolder of that name (ignoring the case of A-Z), or null.
  Ref<TMemoryFolder> Folder(std::u16string_view Name) const;
  // Items in position order.
  std::vector<Ref<TMemoryItem>> Contents() const;
  size_t ItemCount() const { return FItems.Count(); }
  // The item at Position 1..ItemCount(); raises outside.
  Ref<TMemoryItem> ItemAt(size_t Position) const;
  // Takes the folder with its subfolders and items out of its store: GetFolderFromID no
  // longer finds them and their Outlook operations raise MAPI_E_NOT_FOUND. A root is removed
  // with TMemoryOutlook::RemoveStore.
  void Remove();

  // MAPIFolder.
  std::u16string StoreID() override;
  std::u16string EntryID() override;
  std::u16string Name() override;
  std::u16string FolderPath() override;
  // A live view: its positions follow the folder's items.
  Ref<_Items> Items() override;

  // Internal: counts Call on this folder and raises when it is removed.
  void Enter(TMemoryCall Call) const;
  // Internal: counts Call on Target (an item of this folder) and raises when it is removed.
  void Enter(TMemoryCall Call, const void* Target) const;
  // Internal: item bookkeeping of Move.
  void TakeItem(const Ref<TMemoryItem>& Item);
  void ReleaseItem(TMemoryItem& Item);

 private:
  friend class TMemoryOutlook;
  void MarkRemoved();

  std::shared_ptr<TMemoryShared> FShared;
  std::u16string FName;
  std::u16string FEntryID;
  std::u16string FStoreID;
  std::weak_ptr<TMemoryFolder> FParent;
  bool FRoot = false;
  bool FRemoved = false;
  size_t FDepth = 0;
  std::vector<Ref<TMemoryFolder>> FFolders;
  // FFolders by name, so that adding and finding a folder among many siblings costs O(log n).
  TMemoryFolderNames FFolderNames;
  TRankedList<TMemoryItem> FItems;
};

class TMemoryOutlook final : public _Application,
                             public _NameSpace,
                             public std::enable_shared_from_this<TMemoryOutlook> {
 public:
  // A new substitute Outlook without stores.
  static Ref<TMemoryOutlook> Create(std::u16string ProfileName = u"Outlook");
  explicit TMemoryOutlook(std::u16string ProfileName);  // use Create

  // The application, for code that starts from there (Session gives the namespace).
  Ref<_Application> Application() { return shared_from_this(); }

  const std::u16string& ProfileName() const { return FProfileName; }
  void SetProfileName(std::u16string Value) { FProfileName = std::move(Value); }

  // A new store, last among the stores: its root folder. Empty identifiers (the StoreID, the
  // root folder's EntryID) are made. Raises E_INVALIDARG for an empty name, one with "\", one
  // another store has, or an identifier in use.
  Ref<TMemoryFolder> AddStore(std::u16string DisplayName, std::u16string StoreID = {},
                              std::u16string RootEntryID = {});
  // Takes a store out, as TMemoryFolder::Remove does for a folder.
  void RemoveStore(const Ref<TMemoryFolder>& Root);
  // Root folders of the stores, in the order they were added.
  const std::vector<Ref<TMemoryFolder>>& Stores() const { return FStores; }
  // The folder with that full path (\\Store\Folder\Sub, names ignoring the case of A-Z), or null.
  Ref<TMemoryFolder> FolderByPath(std::u16string_view Path) const;
  // The folder GetFolderFromID would answer, or null; an empty StoreID means the default
  // store (the inbox's, else the first).
  Ref<TMemoryFolder> FindFolder(std::u16string_view EntryID, std::u16string_view StoreID) const;
  // The item with that (current) EntryID in any store, or null.
  Ref<TMemoryItem> FindItem(std::u16string_view EntryID) const;

  // The folder GetDefaultFolder(olFolderInbox) answers: the one set, else the first store's
  // subfolder named "Inbox"; null when there is none.
  Ref<TMemoryFolder> DefaultInbox() const;
  // Null returns to the default rule above.
  void SetDefaultInbox(Ref<TMemoryFolder> Folder) { FInbox = Folder; }
  // True when SetDefaultInbox chose the inbox.
  bool HasExplicitInbox() const { return !FInbox.expired(); }

  // The answers of PickFolder, first in first out: a full path, or empty for a cancel.
  void QueuePick(std::u16string Path) { FPicks.push_back(std::move(Path)); }
  void QueuePick(const TMemoryFolder& Folder) { FPicks.push_back(Folder.Path()); }
  void QueuePickCancel() { FPicks.emplace_back(); }
  // Answers not yet taken.
  size_t PendingPicks() const { return FPicks.size(); }

  // Calls per operation (memory_probe.h).
  uint64_t Calls(TMemoryCall Call) const;
  uint64_t Calls(std::u16string_view Name) const;
  uint64_t TotalCalls() const;
  void ResetCalls();
  // From now on Call raises EbrvObject with Code, on any object / on Item / on Folder only,
  // Times times (negative: every time).
  void InjectFault(TMemoryCall Call, brv::TbrvResult Code = brv::kE_FAIL, int Times = -1);
  void InjectFault(TMemoryCall Call, const TMemoryItem& Item, brv::TbrvResult Code = brv::kE_FAIL,
                   int Times = -1);
  void InjectFault(TMemoryCall Call, const TMemoryFolder& Folder, brv::TbrvResult Code = brv::kE_FAIL,
                   int Times = -1);
  void ClearFaults();

  // _Application.
  Ref<_NameSpace> Session() override;
  // _NameSpace.
  std::u16string CurrentProfileName() override;
  // Only olFolderInbox; raises MAPI_E_NOT_FOUND when there is no inbox.
  Ref<MAPIFolder> GetDefaultFolder(int32_t FolderType) override;
  Ref<MAPIFolder> GetFolderFromID(const std::u16string& EntryID, const std::u16string& StoreID) override;
  // Raises MAPI_E_NOT_FOUND when no item has that EntryID, or not in that store.
  Ref<ItemObject> GetItemFromID(const std::u16string& EntryID, const std::u16string& StoreID) override;
  // The next scripted answer; raises E_UNEXPECTED when none is left and MAPI_E_NOT_FOUND for
  // a path that names no folder.
  Ref<MAPIFolder> PickFolder() override;

 private:
  std::shared_ptr<TMemoryShared> FShared;
  std::u16string FProfileName;
  std::vector<Ref<TMemoryFolder>> FStores;
  TMemoryFolderNames FStoreNames;
  std::weak_ptr<TMemoryFolder> FInbox;
  std::deque<std::u16string> FPicks;
};

}  // namespace outlook
