// What the substitute store records and injects: a count of calls per operation of the Outlook
// interfaces, and faults that make a chosen operation (of a chosen object) raise. One probe is
// shared by every object of one substitute Outlook; nothing here is global.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/result.h"

namespace outlook {

// The counted operations; TMemoryCallName gives each its name ("Items.Item", ...).
enum class TMemoryCall : uint8_t {
  ApplicationSession,              // "Application.Session"
  NameSpaceCurrentProfileName,     // "NameSpace.CurrentProfileName"
  NameSpaceGetDefaultFolder,       // "NameSpace.GetDefaultFolder"
  NameSpaceGetFolderFromID,        // "NameSpace.GetFolderFromID"
  NameSpacePickFolder,             // "NameSpace.PickFolder"
  FolderStoreID,                   // "MAPIFolder.StoreID"
  FolderEntryID,                   // "MAPIFolder.EntryID"
  FolderName,                      // "MAPIFolder.Name"
  FolderFolderPath,                // "MAPIFolder.FolderPath"
  FolderItems,                     // "MAPIFolder.Items"
  ItemsCount,                      // "Items.Count"
  ItemsItem,                       // "Items.Item"
  ItemQueryMailItem,               // "Item.QueryMailItem"
  ItemSubject,                     // "Item.Subject"
  MailItemIsMarkedAsTask,          // "MailItem.IsMarkedAsTask"
  MailItemUnRead,                  // "MailItem.UnRead"
  MailItemTaskCompletedDate,       // "MailItem.TaskCompletedDate"
  MailItemReceivedTime,            // "MailItem.ReceivedTime"
  MailItemSenderEmailType,         // "MailItem.SenderEmailType"
  MailItemSenderEmailAddress,      // "MailItem.SenderEmailAddress"
  MailItemSender,                  // "MailItem.Sender"
  MailItemUserProperties,          // "MailItem.UserProperties"
  MailItemMove,                    // "MailItem.Move"
  AddressEntryGetExchangeUser,     // "AddressEntry.GetExchangeUser"
  ExchangeUserPrimarySmtpAddress,  // "ExchangeUser.PrimarySmtpAddress"
  UserPropertiesFind,              // "UserProperties.Find"
  UserPropertyValueText,           // "UserProperty.ValueText"
  ItemClass,                       // "Item.Class"
  NameSpaceGetItemFromID,          // "NameSpace.GetItemFromID"
  ItemEntryID,                     // "Item.EntryID"
  ItemParent,                      // "Item.Parent"
};
inline constexpr size_t kMemoryCallCount = static_cast<size_t>(TMemoryCall::ItemParent) + 1;

// "Items.Item" and the like: the interface (without Outlook's leading "_") and the operation.
std::u16string_view TMemoryCallName(TMemoryCall Call);
// The operation of that name (exact spelling); nullopt for an unknown name.
std::optional<TMemoryCall> TMemoryCallFromName(std::u16string_view Name);

class TMemoryProbe {
 public:
  // Counts one call of Call on Target and raises if an armed fault matches it. Target is the
  // object the call concerns (the item for item operations and Items.Item, the folder for
  // folder operations and Items.Count, null for the namespace).
  void Enter(TMemoryCall Call, const void* Target) {
    const auto i = static_cast<size_t>(Call);
    ++FCalls[i];
    if (FArmed[i] != 0) Fire(Call, Target);
  }

  // Calls of Call since the start or the last ResetCalls.
  uint64_t Calls(TMemoryCall Call) const { return FCalls[static_cast<size_t>(Call)]; }
  // Calls of the operation of that name; raises EbrvObject (E_INVALIDARG) for an unknown name.
  uint64_t Calls(std::u16string_view Name) const;
  // Calls of all operations together.
  uint64_t TotalCalls() const;
  void ResetCalls() { FCalls.fill(0); }

  // From now on, Call on Target (null: on any object) raises EbrvObject with Code, Times times
  // (a negative Times: every time). Faults are looked at in the order they were added.
  void InjectFault(TMemoryCall Call, const void* Target, brv::TbrvResult Code, int Times);
  // Disarms every fault.
  void ClearFaults();

 private:
  struct TFault {
    TMemoryCall Call;
    const void* Target;
    brv::TbrvResult Code;
    int Remaining;
  };
  void Fire(TMemoryCall Call, const void* Target);

  std::array<uint64_t, kMemoryCallCount> FCalls{};
  // Faults per operation still able to fire, so that unfaulted calls skip the list.
  std::array<uint32_t, kMemoryCallCount> FArmed{};
  std::vector<TFault> FFaults;
};

}  // namespace outlook
