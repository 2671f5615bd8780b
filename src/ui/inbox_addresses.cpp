#include "ui/inbox_addresses.h"

#include <algorithm>
#include <unordered_set>

#include "platform/locale.h"
#include "sorting/entry_index.h"
#include "sorting/sender.h"
#include "sorting/sortwise.h"

namespace swo {
namespace {

// The addresses met, in inbox order, each with its sort key.
struct TCollected {
  std::string Key;
  std::u16string Address;
};

// Sorted by key; of equal keys the first met stays.
std::vector<std::u16string> SortedWithoutDuplicates(std::vector<TCollected> Collected) {
  std::stable_sort(Collected.begin(), Collected.end(),
                   [](const TCollected& L, const TCollected& R) { return L.Key < R.Key; });
  std::vector<std::u16string> result;
  result.reserve(Collected.size());
  for (size_t i = 0; i < Collected.size(); ++i)
    if (i == 0 || Collected[i].Key != Collected[i - 1].Key) result.push_back(std::move(Collected[i].Address));
  return result;
}

}  // namespace

std::vector<std::u16string> GetInboxAddresses(TSortwise& Sortwise) {
  const outlook::Ref<outlook::MAPIFolder> inbox = Sortwise.Inbox_();
  TSwoEntryIndex held;
  Sortwise.GetEntryList(held);
  std::vector<TCollected> collected;
  // Most mail comes from senders met before; their answer is already known.
  std::unordered_set<std::u16string> met;
  const int32_t count = inbox->Items()->Count();
  for (int32_t i = 1; i <= count; ++i) {
    std::u16string address;
    try {
      address = SenderAddress(*inbox->Items()->Item(i)->QueryMailItem());
    } catch (const brv::Exception&) {
      continue;
    }
    if (!met.insert(address).second || held.IndexOf(address) != -1) continue;
    std::string key = brv::platform::LocaleSortKey(address);
    collected.push_back({std::move(key), std::move(address)});
  }
  return SortedWithoutDuplicates(std::move(collected));
}

}  // namespace swo
