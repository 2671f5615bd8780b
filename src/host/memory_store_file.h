// Mailbox files: a substitute Outlook's stores, folders and items as XML (format and example:
// docs/mailbox-format.md). Saving writes what loading reads, so load, save and load again gives
// the same mailbox. PickFolder's script, faults and call counts are not part of a mailbox.
#pragma once

#include <string>
#include <string_view>

#include "foundation/exception.h"
#include "host/memory_store.h"

namespace outlook {

// A mailbox file that is well-formed XML but not a valid mailbox; the message names the file,
// the element and what is wrong. (A file that cannot be read or parsed raises the XML seam's
// EbrvXml, whose message names the file, line and column.)
class EMailboxFile : public brv::TbrvErrorClass<EMailboxFile, brv::EbrvObject> {
 public:
  using TbrvErrorClass::TbrvErrorClass;
};

// ERROR_INVALID_DATA as a result code: the code of EMailboxFile.
inline constexpr brv::TbrvResult kMailboxInvalid = static_cast<brv::TbrvResult>(0x8007000D);

// A new substitute Outlook holding the mailbox of that file.
Ref<TMemoryOutlook> LoadMailbox(const std::u16string& Filename);
// The same from the file's bytes; SourceName stands for the file name in messages.
Ref<TMemoryOutlook> ParseMailbox(std::string_view Bytes, std::u16string_view SourceName);

// Writes Outlook's mailbox to the file, replacing it in one step (the previous file survives a
// failed write).
void SaveMailbox(const TMemoryOutlook& Outlook, const std::u16string& Filename);
// The bytes SaveMailbox writes.
std::string MailboxToBytes(const TMemoryOutlook& Outlook);

}  // namespace outlook
