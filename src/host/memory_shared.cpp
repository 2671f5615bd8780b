#include "host/memory_shared.h"

#include "foundation/text.h"

namespace outlook {

std::u16string TMemoryShared::ClaimId(std::u16string Id, std::u16string_view Prefix) {
  if (Id.empty()) {
    // Outlook's identifiers are long hexadecimal strings; these are shorter but of that kind.
    do {
      Id = std::u16string(Prefix) + brv::HexCode(static_cast<uint32_t>(NextId >> 32)).substr(2) +
           brv::HexCode(static_cast<uint32_t>(NextId)).substr(2);
      ++NextId;
    } while (Ids.contains(Id));
  } else if (Ids.contains(Id)) {
    RaiseMemoryError(brv::kE_INVALIDARG, u"The identifier " + Id + u" is already in use");
  }
  Ids.insert(Id);
  return Id;
}

void RaiseMemoryError(brv::TbrvResult Code, std::u16string Message) { throw brv::EbrvObject(Code, Message); }

}  // namespace outlook
