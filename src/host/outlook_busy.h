// A busy Outlook refuses calls from other apartments and processes for a while. Callers wait
// for it (outlook_retry_win.h); when their patience runs out, or they are cancelled while they
// wait, the call raises EOutlookBusy. It ends a whole run, not one mail: the next call would
// meet the same Outlook.
#pragma once

#include "foundation/exception.h"

namespace outlook {

// Code RPC_E_CALL_REJECTED (or RPC_E_SERVERCALL_RETRYLATER, as Outlook answered); the message
// says that Outlook was busy and for how long it refused.
class EOutlookBusy : public brv::TbrvErrorClass<EOutlookBusy, brv::EbrvObject> {
 public:
  using TbrvErrorClass::TbrvErrorClass;
};

}  // namespace outlook
