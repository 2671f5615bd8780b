// The stand-in's Outlook object model: any implementation of outlook.h (the substitute store)
// served through IDispatch under Outlook's member names. The application answers the query
// for _Application, mail items the one for _MailItem; every item answers "Class". Each member call is one call of the
// implementation, so the store's call counts stay those of the client.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "com/com_ptr.h"
#include "host/outlook.h"

namespace standin {

// Outlook's application object over Application, living on the calling thread. Trusted: the
// one Outlook hands its add-ins; untrusted: the one other programs find running or create,
// whose guarded members raise the Object Model Guard's prompt.
brv::TComPtr<IDispatch> CreateOutlookApplication(outlook::Ref<outlook::_Application> Application,
                                                 bool Trusted = true);

}  // namespace standin
