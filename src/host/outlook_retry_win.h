// Waiting for a busy Outlook. Outlook's main thread refuses calls from other apartments and
// processes while it is busy: the caller gets RPC_E_CALL_REJECTED or RPC_E_SERVERCALL_RETRYLATER.
// Every late-bound call of the adapter goes through RetryWhileBusy, which tries a refused call
// again after a short wait for as long as the calling thread's patience lasts. Calls on
// Outlook's own thread are never refused and pass straight through.
#pragma once

#include <windows.h>

#include <functional>

#include "com/message_filter.h"

namespace outlook {

// A minute of refusals in a row; SORTWISE_BUSY_PATIENCE_MS (milliseconds) replaces it, for
// tests.
DWORD BusyPatienceMs();

// The calling thread's patience while the object lives: how long it waits for refusals in a
// row, and an event (may be null) whose signal ends a wait at once. Without one a thread waits
// BusyPatienceMs and cannot be cancelled.
class TBusyPatience {
 public:
  TBusyPatience(DWORD Milliseconds, HANDLE Cancel);
  ~TBusyPatience();
  TBusyPatience(const TBusyPatience&) = delete;
  TBusyPatience& operator=(const TBusyPatience&) = delete;

  DWORD Milliseconds() const { return FMilliseconds; }
  HANDLE Cancel() const { return FCancel; }
  // The calling thread's innermost patience; null where none was set.
  static const TBusyPatience* Current();

 private:
  DWORD FMilliseconds;
  HANDLE FCancel;
  TBusyPatience* FOuter;
};

// Runs Call, and again after a short wait each time Outlook refuses it, until it answers
// anything else (which is returned) or the patience runs out or the wait is cancelled: then
// EOutlookBusy (outlook_busy.h).
HRESULT RetryWhileBusy(const std::function<HRESULT()>& Call);

// The message filter of a caller whose thread is a single-threaded apartment: where COM asks it
// about a refused call (Windows does; Wine does not), it has COM try again within the thread's
// patience, and RetryWhileBusy covers the rest. Registered for the calling thread while the
// object lives.
class TRetryingMessageFilter final : public brv::TbrvMessageFilter {
 public:
  TRetryingMessageFilter() = default;
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK Callee, DWORD Elapsed, DWORD Rejection) override;
};

}  // namespace outlook
