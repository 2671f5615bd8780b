// A busy Outlook. While Outlook is busy, the message filter of its main thread refuses the calls
// that other apartments and processes make into it: HandleInComingCall answers
// SERVERCALL_REJECTED, and the caller gets RPC_E_CALL_REJECTED ("Call was rejected by callee").
// TBusyFilter is such a filter for the thread that makes it: from After milliseconds on, for For
// milliseconds, it refuses every incoming call and counts them. Calls within the thread's own
// apartment never reach a message filter, as in Outlook.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "com/message_filter.h"

namespace standin {

class TBusyFilter final : public brv::TbrvMessageFilter {
 public:
  // Registers the filter for the calling thread, a single-threaded apartment; raises when COM
  // refuses it. The filter that was there before comes back when it goes.
  TBusyFilter(DWORD After, DWORD For);

  // The calls refused so far.
  uint64_t Refused() const { return FRefused.load(); }

  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD CallType, HTASK Caller, DWORD TickCount,
                                             LPINTERFACEINFO Info) override;

 private:
  ULONGLONG FFrom, FUntil;
  std::atomic<uint64_t> FRefused{0};
};

}  // namespace standin
