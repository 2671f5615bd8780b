#include "sorting/sender.h"

#include "sorting/sortwise.h"

namespace swo {

std::u16string SenderAddress(outlook::_MailItem& Mail) {
  if (Mail.SenderEmailType() != u"EX") return Mail.SenderEmailAddress();
  const outlook::Ref<outlook::AddressEntry> sender = Mail.Sender();
  const outlook::Ref<outlook::ExchangeUser> user = sender ? sender->GetExchangeUser() : nullptr;
  if (!user) throw ESortwise(brv::kE_FAIL, u"The sender is not an Exchange user");
  return user->PrimarySmtpAddress();
}

}  // namespace swo
