// Mailbox files: whatever a file holds, loading either gives a mailbox or refuses with an error
// that names the file (the XML seam's EbrvXml or EMailboxFile), and it refuses what no
// well-formed file holds (bytes that are not the UTF-8 they claim to be, references to
// characters XML cannot carry); a loaded mailbox saves to a file of characters XML can carry,
// which loads again to the same mailbox (saving the reloaded one writes the very same bytes);
// and every item of a loaded mailbox answers the Outlook calls the clean-up run makes.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "host/memory_store_file.h"
#include "host/memory_value.h"

namespace {

using outlook::Ref;
using outlook::TMemoryFolder;
using outlook::TMemoryOutlook;

// The calls a run makes on an item and its properties; property values read as they were loaded.
void ReadItems(TMemoryOutlook& Outlook) {
  std::vector<Ref<TMemoryFolder>> pending(Outlook.Stores().begin(), Outlook.Stores().end());
  while (!pending.empty()) {  // not recursive: the nesting depth is the file's to choose
    const Ref<TMemoryFolder> folder = pending.back();
    pending.pop_back();
    pending.insert(pending.end(), folder->Folders().begin(), folder->Folders().end());
    fuzz::Check(folder->Path().size() > 2, "a folder has a path");
    for (const auto& item : folder->Contents()) {
      item->Subject();
      if (item->Data().Kind != outlook::TMemoryItemKind::Mail) continue;  // they refuse the query
      const Ref<outlook::_MailItem> mail = item->QueryMailItem();
      fuzz::Check(mail != nullptr, "a mail item answers the query for _MailItem");
      mail->SenderEmailAddress();
      if (const auto sender = mail->Sender())
        if (const auto user = sender->GetExchangeUser()) user->PrimarySmtpAddress();
      const auto properties = mail->UserProperties();
      for (const auto* list : {&item->Data().Custom, &item->Data().BuiltIn}) {
        for (const auto& property : *list) {
          const auto found = properties->Find(property.Name, list == &item->Data().Custom);
          fuzz::Check(found != nullptr, "a property of the file is found by its name",
                      [&] { return fuzz::Utf8(property.Name); });
          if (property.Value.IsNull()) continue;
          fuzz::Check(found->ValueText() == property.Value.ToText(), "a property reads as it was loaded",
                      [&] { return fuzz::Utf8(property.Name); });
        }
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);

  Ref<TMemoryOutlook> loaded;
  try {
    loaded = outlook::ParseMailbox(bytes, fuzz::kSourceName);
  } catch (const brv::Exception& e) {
    fuzz::CheckClearError(e);
    return 0;
  }
  if (fuzz::ClaimsUtf8(bytes))
    fuzz::Check(fuzz::IsUtf8(bytes), "the loader refuses a file that is not UTF-8");
  fuzz::Check(!fuzz::HasIllegalReference(fuzz::MarkupCharacters(bytes)),
              "the loader refuses a reference to a character XML cannot carry");
  ReadItems(*loaded);

  // The loaded text came out of a well-formed document, and the writer adds only markup.
  const std::string saved = outlook::MailboxToBytes(*loaded);
  fuzz::CheckWritable(saved, "a saved mailbox holds only characters XML can carry");
  Ref<TMemoryOutlook> reloaded;
  try {
    reloaded = outlook::ParseMailbox(saved, u"saved.xml");
  } catch (const brv::Exception& e) {
    fuzz::Fail("a saved mailbox loads again", fuzz::Utf8(e.Message()) + "\n--- saved:\n" + saved);
  }
  const std::string again = outlook::MailboxToBytes(*reloaded);
  fuzz::Check(again == saved, "load, save, load gives the same mailbox",
              [&] { return "--- saved:\n" + saved + "\n--- saved again:\n" + again; });
  return 0;
}
