#include "sorting/entry_index.h"

#include <algorithm>
#include <cstdint>

#include "platform/locale.h"
#include "sorting/sortwise.h"

namespace swo {

namespace {
// The key's first eight bytes as a number that orders as they do (shorter keys padded with 0).
uint64_t KeyPrefix(const std::string& Key) {
  uint64_t prefix = 0;
  for (size_t i = 0; i < 8; ++i) prefix = prefix << 8 | (i < Key.size() ? static_cast<uint8_t>(Key[i]) : 0);
  return prefix;
}
}  // namespace

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
  const std::string key = brv::platform::LocaleSortKey(Text);
  const uint64_t prefix = KeyPrefix(key);
  size_t lo = 0, hi = FLines.size();
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    const bool before = FPrefixes[mid] < prefix || (FPrefixes[mid] == prefix && FLines[mid].Key < key);
    if (before)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo < FLines.size() && FLines[lo].Key == key ? static_cast<int32_t>(lo) : -1;
}

void TSwoEntryIndex::Settle() const {
  if (FPending.empty()) return;
  // Inserting each line at its lower bound puts it in front of the equal lines already there:
  // among equals the newest comes first. So the order is by key, then newest pending line
  // first, then the older lines in their order. Sorting small records whose first eight key
  // bytes decide most comparisons keeps this fast for large indexes.
  struct TRecord {
    uint64_t Prefix;
    uint32_t Rank;  // pending lines newest first, then the ordered lines
    TLine* Line;
  };
  std::vector<TRecord> records;
  records.reserve(FLines.size() + FPending.size());
  const auto add = [&](TLine& Line) {
    records.push_back({KeyPrefix(Line.Key), static_cast<uint32_t>(records.size()), &Line});
  };
  for (auto it = FPending.rbegin(); it != FPending.rend(); ++it) add(*it);
  for (TLine& line : FLines) add(line);
  std::sort(records.begin(), records.end(), [](const TRecord& L, const TRecord& R) {
    if (L.Prefix != R.Prefix) return L.Prefix < R.Prefix;
    if (const int c = L.Line->Key.compare(R.Line->Key); c != 0) return c < 0;
    return L.Rank < R.Rank;
  });
  std::vector<TLine> ordered;
  ordered.reserve(records.size());
  FPrefixes.clear();
  FPrefixes.reserve(records.size());
  for (const TRecord& record : records) {
    ordered.push_back(std::move(*record.Line));
    FPrefixes.push_back(record.Prefix);
  }
  FLines = std::move(ordered);
  FPending.clear();
}

}  // namespace swo
