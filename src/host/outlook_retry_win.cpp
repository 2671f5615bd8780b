#include "host/outlook_retry_win.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "foundation/text.h"
#include "host/outlook_busy.h"

namespace outlook {
namespace {

constexpr DWORD kDefaultPatienceMs = 60000;
// Between two tries: short against the patience, long against Outlook's thread, which each
// refused call still costs a little.
constexpr DWORD kRetryPauseMs = 100;

thread_local TBusyPatience* Innermost = nullptr;

bool IsRefusal(HRESULT Status) { return Status == RPC_E_CALL_REJECTED || Status == RPC_E_SERVERCALL_RETRYLATER; }

std::u16string Seconds(DWORD Milliseconds) {
  const DWORD seconds = (Milliseconds + 999) / 1000;
  return brv::Utf8ToUtf16(std::to_string(seconds)) + (seconds == 1 ? u" second" : u" seconds");
}

// The calling thread's patience, or the default one of a thread that set none.
DWORD PatienceMs(const TBusyPatience* Patience) {
  return Patience != nullptr ? Patience->Milliseconds() : BusyPatienceMs();
}

}  // namespace

DWORD BusyPatienceMs() {
  wchar_t text[16] = {};
  const DWORD length = GetEnvironmentVariableW(L"SORTWISE_BUSY_PATIENCE_MS", text, 16);
  if (length == 0 || length >= 16) return kDefaultPatienceMs;
  wchar_t* end = nullptr;
  const unsigned long value = std::wcstoul(text, &end, 10);
  return end != text && *end == L'\0' && value <= 86400000 ? static_cast<DWORD>(value) : kDefaultPatienceMs;
}

TBusyPatience::TBusyPatience(DWORD Milliseconds, HANDLE Cancel)
    : FMilliseconds(Milliseconds), FCancel(Cancel), FOuter(Innermost) {
  Innermost = this;
}

TBusyPatience::~TBusyPatience() { Innermost = FOuter; }

const TBusyPatience* TBusyPatience::Current() { return Innermost; }

HRESULT RetryWhileBusy(const std::function<HRESULT()>& Call) {
  HRESULT status = Call();
  if (!IsRefusal(status)) return status;
  const TBusyPatience* patience = TBusyPatience::Current();
  const DWORD limit = PatienceMs(patience);
  const HANDLE cancel = patience != nullptr ? patience->Cancel() : nullptr;
  const ULONGLONG since = GetTickCount64();
  for (;;) {
    const ULONGLONG waited = GetTickCount64() - since;
    if (waited >= limit)
      throw EOutlookBusy(status, u"Outlook was busy: it refused every call for " + Seconds(limit));
    const DWORD pause = static_cast<DWORD>(std::min<ULONGLONG>(kRetryPauseMs, limit - waited));
    if (cancel == nullptr)
      Sleep(pause);
    else if (WaitForSingleObject(cancel, pause) == WAIT_OBJECT_0)
      throw EOutlookBusy(status, u"Outlook was busy, and the wait for it was cancelled");
    status = Call();
    if (!IsRefusal(status)) return status;
  }
}

DWORD STDMETHODCALLTYPE TRetryingMessageFilter::RetryRejectedCall(HTASK, DWORD Elapsed, DWORD) {
  const TBusyPatience* patience = TBusyPatience::Current();
  if (Elapsed >= PatienceMs(patience)) return static_cast<DWORD>(-1);
  if (patience != nullptr && patience->Cancel() != nullptr && WaitForSingleObject(patience->Cancel(), 0) == WAIT_OBJECT_0)
    return static_cast<DWORD>(-1);
  return kRetryPauseMs;
}

}  // namespace outlook
