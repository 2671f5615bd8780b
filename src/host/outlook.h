// The operations this system uses of Outlook's object model, as abstract interfaces under
// Outlook's own names. Two implementations: late binding through IDispatch on Windows, and the
// substitute store (memory_store.h) everywhere.
//
// Objects are shared references (Ref<T>); "none" is a null Ref. A failing call raises a
// brv::Exception (usually an EbrvObject carrying the host's result code); it never returns a
// half-valid result. Objects are used only on the thread that obtained them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace outlook {

template <class T>
using Ref = std::shared_ptr<T>;

// An OLE date: days since 1899-12-30, the time of day as the fraction.
using TOleDate = double;
// 4501-01-01, Outlook's value for "no date".
inline constexpr TOleDate kNoDate = 949998.0;

// GetDefaultFolder's folder kind for the inbox.
inline constexpr int32_t olFolderInbox = 6;
// The Class of a mail item (olObjectClass olMail).
inline constexpr int32_t olMail = 43;

class _NameSpace;
class MAPIFolder;
class _Items;
class ItemObject;
class _MailItem;
class AddressEntry;
class ExchangeUser;
class UserProperties;
class UserProperty;

class _Application {
 public:
  virtual ~_Application() = default;
  virtual Ref<_NameSpace> Session() = 0;
};

class _NameSpace {
 public:
  virtual ~_NameSpace() = default;
  virtual std::u16string CurrentProfileName() = 0;
  virtual Ref<MAPIFolder> GetDefaultFolder(int32_t FolderType) = 0;
  // Raises when the folder does not exist (any more).
  virtual Ref<MAPIFolder> GetFolderFromID(const std::u16string& EntryID, const std::u16string& StoreID) = 0;
  // The item of that EntryID in the store of StoreID (empty: any store); raises when there is
  // none (deleted, or moved where it took another EntryID).
  virtual Ref<ItemObject> GetItemFromID(const std::u16string& EntryID, const std::u16string& StoreID) = 0;
  // The folder the user chose; null when the user cancelled.
  virtual Ref<MAPIFolder> PickFolder() = 0;
};

class MAPIFolder {
 public:
  virtual ~MAPIFolder() = default;
  virtual std::u16string StoreID() = 0;
  virtual std::u16string EntryID() = 0;
  virtual std::u16string Name() = 0;
  // The full path, \\Store\Folder\Sub.
  virtual std::u16string FolderPath() = 0;
  // A fresh collection on every call.
  virtual Ref<_Items> Items() = 0;
};

class _Items {
 public:
  virtual ~_Items() = default;
  virtual int32_t Count() = 0;
  // Position 1..Count. When an item leaves the folder, the later positions shift down by one.
  virtual Ref<ItemObject> Item(int32_t Index) = 0;
};

// Any item of a folder: mail, meeting request, report, ...
class ItemObject {
 public:
  virtual ~ItemObject() = default;
  // The interface query for _MailItem: raises (E_NOINTERFACE) for other kinds of item. Where
  // only IDispatch reaches the caller (a damaged Office), the item's Class decides instead.
  virtual Ref<_MailItem> QueryMailItem() = 0;
  // The "Subject" property, read by name on whatever kind of item this is.
  virtual std::u16string Subject() = 0;
  // The "Class" property (olMail for a mail item), which every kind of item answers.
  virtual int32_t Class() = 0;
  // The "EntryID" property: the item's identifier in its store. It may change when the item
  // moves (across stores it always does).
  virtual std::u16string EntryID() = 0;
  // The "Parent" property: the folder the item is in.
  virtual Ref<MAPIFolder> Parent() = 0;
};

class _MailItem : public ItemObject {
 public:
  virtual bool IsMarkedAsTask() = 0;
  virtual bool UnRead() = 0;
  // 0 or kNoDate mean none.
  virtual TOleDate TaskCompletedDate() = 0;
  // Local date and time.
  virtual TOleDate ReceivedTime() = 0;
  // "EX" for Exchange senders, "SMTP" for Internet senders.
  virtual std::u16string SenderEmailType() = 0;
  virtual std::u16string SenderEmailAddress() = 0;
  virtual Ref<AddressEntry> Sender() = 0;
  virtual Ref<outlook::UserProperties> UserProperties() = 0;
  // The mail leaves its folder for Folder. The result is the mail in Folder, whose EntryID
  // may differ from the one it had; Outlook may answer Nothing (null).
  virtual Ref<_MailItem> Move(MAPIFolder& Folder) = 0;
};

class AddressEntry {
 public:
  virtual ~AddressEntry() = default;
  // Null when the entry is not an Exchange user.
  virtual Ref<ExchangeUser> GetExchangeUser() = 0;
};

class ExchangeUser {
 public:
  virtual ~ExchangeUser() = default;
  virtual std::u16string PrimarySmtpAddress() = 0;
};

class UserProperties {
 public:
  virtual ~UserProperties() = default;
  // The property of that name, or null. Custom = true finds only custom (user-defined)
  // properties; false finds built-in ones as well.
  virtual Ref<UserProperty> Find(std::u16string_view Name, bool Custom) = 0;
};

class UserProperty {
 public:
  virtual ~UserProperty() = default;
  // The value as text in the user's locale (numbers and dates in its format); a null value
  // raises a conversion error.
  virtual std::u16string ValueText() = 0;
};

}  // namespace outlook
