#include "sorting/entry_index.h"

#include <algorithm>
#include <iterator>

#include "platform/locale.h"
#include "sorting/sortwise.h"

namespace swo {

void TSwoEntryIndex::AddObject(std::u16string Text, TSwoEntry* Entry) {
  std::string key = brv::platform::LocaleSortKey(Text);
  FPending.push_back({std::move(key), std::move(Text), Entry, Entry != nullptr && Entry->Count() > 0});
}

int32_t TSwoEntryIndex::Count() const { return static_cast<int32_t>(FLines.size() + FPending.size()); }

const std::u16string& TSwoEntryIndex::Strings(int32_t Index) const {
  Settle();
  return FLines[static_cast<size_t>(Index)].Text;
}

TSwoEntry* TSwoEntryIndex::Objects(int32_t Index) const {
  Settle();
  return FLines[static_cast<size_t>(Index)].Entry;
}

bool TSwoEntryIndex::HasFilters(int32_t Index) const {
  Settle();
  return FLines[static_cast<size_t>(Index)].HasFilters;
}

int32_t TSwoEntryIndex::IndexOf(std::u16string_view Text) const {
  Settle();
  const auto it = FFirst.find(brv::platform::LocaleSortKey(Text));
  return it == FFirst.end() ? -1 : it->second;
}

void TSwoEntryIndex::Settle() const {
  if (FPending.empty()) return;
  const auto byText = [](const TLine& L, const TLine& R) { return L.Key < R.Key; };
  // Inserting each line at its lower bound puts it in front of the equal lines already there:
  // among equals the newest comes first. Reversed and stably sorted, then merged in front of
  // the older lines (merge takes equal elements from its first range first), gives that order.
  std::reverse(FPending.begin(), FPending.end());
  std::stable_sort(FPending.begin(), FPending.end(), byText);
  std::vector<TLine> merged;
  merged.reserve(FLines.size() + FPending.size());
  std::merge(std::make_move_iterator(FPending.begin()), std::make_move_iterator(FPending.end()),
             std::make_move_iterator(FLines.begin()), std::make_move_iterator(FLines.end()),
             std::back_inserter(merged), byText);
  FLines = std::move(merged);
  FPending.clear();
  FFirst.clear();
  FFirst.reserve(FLines.size());
  for (size_t i = 0; i < FLines.size(); ++i) FFirst.emplace(FLines[i].Key, static_cast<int32_t>(i));
}

}  // namespace swo
