// Synthetic inboxes and rule sets for the benchmarks: E address entries spread over 20 target
// folders in two stores, plus ten "*" entries with one Subject filter each, and M mails of which
// about half come from a known sender, a tenth carry a wildcard keyword, the rest match nothing.
#pragma once

#include <memory>
#include <string>

#include "host/memory_store.h"
#include "sorting/sortwise.h"

namespace bench {

struct TWorld {
  outlook::Ref<outlook::TMemoryOutlook> Outlook;
  outlook::Ref<outlook::TMemoryFolder> Inbox;
  std::unique_ptr<swo::TSortwise> Sorter;
};

// A sorter with Entries address entries (and, unless Wildcards is false, the ten "*" entries)
// for folders of a new substitute Outlook whose inbox holds Mails mails.
TWorld MakeWorld(int Mails, int Entries, bool Wildcards = true);

// Adds Mails mails to Inbox, senders drawn as described above for Entries known addresses.
void FillInbox(outlook::TMemoryFolder& Inbox, int Mails, int Entries);

// Replaces World's inbox by a new one (named after Round) holding Mails mails: each run that
// moves mail then starts from the same inbox.
void RenewInbox(TWorld& World, int Mails, int Entries, int64_t Round);

// The address of known sender I.
std::u16string SenderAddress(int I);

}  // namespace bench
