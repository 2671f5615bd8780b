#include "busy_filter_win.h"

#include "foundation/exception.h"

namespace standin {

TBusyFilter::TBusyFilter(DWORD After, DWORD For) : FFrom(GetTickCount64() + After), FUntil(FFrom + For) {
  if (!Registered()) throw brv::EbrvObject(RPC_E_CHANGED_MODE, u"A message filter needs a single-threaded apartment");
}

DWORD STDMETHODCALLTYPE TBusyFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
  const ULONGLONG now = GetTickCount64();
  if (now < FFrom || now >= FUntil) return SERVERCALL_ISHANDLED;
  ++FRefused;
  return SERVERCALL_REJECTED;
}

}  // namespace standin
