// A readable picture of a whole rule model, so that tests compare models as one text.
#pragma once

#include <string>

#include "foundation/text.h"
#include "sorting/sortwise.h"

namespace swo::test {

// One line per object, indented by depth:
//   config: name=value | ...
//   store "name" id=ID
//     folder "name" id=ID
//       entry "address" [name=value | ...]
inline std::string Dump(const TSortwise& Sorter) {
  auto u8 = [](std::u16string_view Text) { return brv::Utf16ToUtf8(Text); };
  std::string out = "config:";
  const TStrings& lines = Sorter.Config().Lines();
  for (int32_t i = 0; i < lines.Count(); ++i) out += (i == 0 ? " " : " | ") + u8(lines.GetLine(i));
  out += "\n";
  for (int32_t s = 0; s < Sorter.Count(); ++s) {
    const TSwoStore* store = Sorter.GetItem(s);
    out += "store \"" + u8(store->Name()) + "\" id=" + u8(store->Id()) + "\n";
    for (int32_t f = 0; f < store->Count(); ++f) {
      const TSwoFolder* folder = store->GetItem(f);
      out += "  folder \"" + u8(folder->Name()) + "\" id=" + u8(folder->Id()) + "\n";
      for (int32_t e = 0; e < folder->Count(); ++e) {
        const TSwoEntry* entry = folder->GetItem(e);
        out += "    entry \"" + u8(entry->Address()) + "\" [";
        for (int32_t p = 0; p < entry->Count(); ++p)
          out += (p == 0 ? "" : " | ") + u8(entry->Properties().GetLine(p));
        out += "]\n";
      }
    }
  }
  return out;
}

}  // namespace swo::test
