// The small world the clean-up and rule editor tests start from: a substitute Outlook with
// "\\Mailbox" holding "Inbox" (the default inbox), "Friends" and "Invoices", and a sorter.
#pragma once

#include <memory>

#include "host/memory_store.h"
#include "sorting/sortwise.h"

namespace swo::test {

struct TSmallMailbox {
  outlook::Ref<outlook::TMemoryOutlook> Outlook = outlook::TMemoryOutlook::Create(u"Test profile");
  outlook::Ref<outlook::TMemoryFolder> Store = Outlook->AddStore(u"Mailbox");
  outlook::Ref<outlook::TMemoryFolder> Inbox = Store->AddFolder(u"Inbox");
  outlook::Ref<outlook::TMemoryFolder> Friends = Store->AddFolder(u"Friends");
  outlook::Ref<outlook::TMemoryFolder> Invoices = Store->AddFolder(u"Invoices");
  std::unique_ptr<TSortwise> Sorter{TSortwise::Create()};
};

}  // namespace swo::test
