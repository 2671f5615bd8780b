// The senders of the inbox's mail that no address entry holds yet: the list both inbox
// collection dialogs of the rule editor start from.
#pragma once

#include <string>
#include <vector>

namespace swo {

class TSortwise;

// The sender addresses of the mail in Sortwise's default inbox that no address entry of any
// target folder holds (compared without regard to case in the user's locale), sorted in that
// order, each once: of addresses equal but for case, the form met first in the inbox's item
// order stays.
//
// Every item is read through a fresh item collection of the inbox, by position, as the clean-up
// run reads them. An item that cannot be read (not a mail, an Exchange sender without a user,
// any Outlook error on it) adds nothing and is not reported. Errors before the walk (no
// Outlook, no inbox) raise.
std::vector<std::u16string> GetInboxAddresses(TSortwise& Sortwise);

}  // namespace swo
