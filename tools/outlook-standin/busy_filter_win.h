// A busy Outlook. While Outlook is busy, the message filter of its main thread refuses the calls
// that other apartments and processes make into it: HandleInComingCall answers
// SERVERCALL_REJECTED, and the caller gets RPC_E_CALL_REJECTED ("Call was rejected by callee").
// TBusyFilter is such a filter for the thread that makes it: from After milliseconds on, for For
// milliseconds, it refuses every incoming call and counts them. Calls within the thread's own
// apartment never reach a message filter, as in Outlook.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <atomic>
#include <cstdint>

namespace standin {

class TBusyFilter final : public IMessageFilter {
 public:
  // Registers the filter for the calling thread, a single-threaded apartment; raises when COM
  // refuses it.
  TBusyFilter(DWORD After, DWORD For);
  // Puts back the filter that was there before.
  ~TBusyFilter();
  TBusyFilter(const TBusyFilter&) = delete;
  TBusyFilter& operator=(const TBusyFilter&) = delete;

  // The calls refused so far.
  uint64_t Refused() const { return FRefused.load(); }

  // Owned by its maker, not by COM: the counts are fixed.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD CallType, HTASK Caller, DWORD TickCount,
                                             LPINTERFACEINFO Info) override;
  // The thread's own calls out: a refused one is not tried again, a message meanwhile is
  // handled as COM does by default.
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

 private:
  ULONGLONG FFrom, FUntil;
  std::atomic<uint64_t> FRefused{0};
  IMessageFilter* FPrevious = nullptr;
};

}  // namespace standin
