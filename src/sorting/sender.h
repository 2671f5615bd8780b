// The address a mail's sender is known by, to the clean-up run and to the inbox collection.
#pragma once

#include <string>

#include "host/outlook.h"

namespace swo {

// An Exchange sender ("EX") by the primary SMTP address of the Exchange user behind it, any
// other sender by the address the mail carries. An Exchange sender without a user raises
// ESortwise, as does any failing Outlook call.
std::u16string SenderAddress(outlook::_MailItem& Mail);

}  // namespace swo
