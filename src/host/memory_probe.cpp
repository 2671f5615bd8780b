#include "host/memory_probe.h"

#include <numeric>

#include "foundation/exception.h"

namespace outlook {
namespace {

constexpr std::u16string_view kCallNames[kMemoryCallCount] = {
    u"Application.Session",
    u"NameSpace.CurrentProfileName",
    u"NameSpace.GetDefaultFolder",
    u"NameSpace.GetFolderFromID",
    u"NameSpace.PickFolder",
    u"MAPIFolder.StoreID",
    u"MAPIFolder.EntryID",
    u"MAPIFolder.Name",
    u"MAPIFolder.FolderPath",
    u"MAPIFolder.Items",
    u"Items.Count",
    u"Items.Item",
    u"Item.QueryMailItem",
    u"Item.Subject",
    u"MailItem.IsMarkedAsTask",
    u"MailItem.UnRead",
    u"MailItem.TaskCompletedDate",
    u"MailItem.ReceivedTime",
    u"MailItem.SenderEmailType",
    u"MailItem.SenderEmailAddress",
    u"MailItem.Sender",
    u"MailItem.UserProperties",
    u"MailItem.Move",
    u"AddressEntry.GetExchangeUser",
    u"ExchangeUser.PrimarySmtpAddress",
    u"UserProperties.Find",
    u"UserProperty.ValueText",
    u"Item.Class",
    u"NameSpace.GetItemFromID",
    u"Item.EntryID",
    u"Item.Parent",
};

}  // namespace

std::u16string_view TMemoryCallName(TMemoryCall Call) { return kCallNames[static_cast<size_t>(Call)]; }

std::optional<TMemoryCall> TMemoryCallFromName(std::u16string_view Name) {
  for (size_t i = 0; i < kMemoryCallCount; ++i)
    if (kCallNames[i] == Name) return static_cast<TMemoryCall>(i);
  return std::nullopt;
}

uint64_t TMemoryProbe::Calls(std::u16string_view Name) const {
  const auto call = TMemoryCallFromName(Name);
  if (!call)
    throw brv::EbrvObject(brv::kE_INVALIDARG,
                          u"No counted operation is named \"" + std::u16string(Name) + u"\"");
  return Calls(*call);
}

uint64_t TMemoryProbe::TotalCalls() const {
  return std::accumulate(FCalls.begin(), FCalls.end(), uint64_t{0});
}

void TMemoryProbe::InjectFault(TMemoryCall Call, const void* Target, brv::TbrvResult Code, int Times) {
  if (Times == 0) return;
  FFaults.push_back({Call, Target, Code, Times < 0 ? -1 : Times});
  ++FArmed[static_cast<size_t>(Call)];
}

void TMemoryProbe::ClearFaults() {
  FFaults.clear();
  FArmed.fill(0);
}

void TMemoryProbe::Fire(TMemoryCall Call, const void* Target) {
  for (TFault& fault : FFaults) {
    if (fault.Call != Call || fault.Remaining == 0) continue;
    if (fault.Target != nullptr && fault.Target != Target) continue;
    if (fault.Remaining > 0 && --fault.Remaining == 0) --FArmed[static_cast<size_t>(Call)];
    throw brv::EbrvObject(fault.Code, u"Injected fault in " + std::u16string(TMemoryCallName(Call)));
  }
}

}  // namespace outlook
