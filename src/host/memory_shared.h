// What the objects of one substitute Outlook share: the probe and the identifiers in use.
// Internal to the memory store's sources.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "foundation/exception.h"
#include "host/memory_probe.h"

namespace outlook {

class TMemoryItem;

struct TMemoryShared {
  TMemoryProbe Probe;
  // EntryIDs and StoreIDs ever handed out: a removed folder's identifier is never reused.
  std::unordered_set<std::u16string> Ids;
  uint64_t NextId = 1;
  // Items by their current EntryID, so that finding one by its identifier costs O(1).
  std::unordered_map<std::u16string, std::weak_ptr<TMemoryItem>> Items;

  // Claims Id, or makes a new one from Prefix when Id is empty; raises E_INVALIDARG for an
  // identifier in use.
  std::u16string ClaimId(std::u16string Id, std::u16string_view Prefix);
};

// Raises EbrvObject with Code and Message.
[[noreturn]] void RaiseMemoryError(brv::TbrvResult Code, std::u16string Message);

// Text from outside (a name, a value, an identifier) as a message quotes it: control characters
// written as \n, \x1B and the like, so that the message stays one line, and at most
// kMessageTextLimit characters, cut with an ellipsis.
inline constexpr size_t kMessageTextLimit = 60;
std::u16string MessageText(std::u16string_view Text);
// The same, cut at the beginning instead: for paths, whose end names the folder.
std::u16string MessageTextEnd(std::u16string_view Text);

}  // namespace outlook
