// The automatic clean-up: one run on a worker thread, some time after start-up, of the mail
// older than "Auto.Filter" days; the button or a shut-down cancels it, also in the middle of
// the walk. Its failures go to the debugger output, each line saying what failed and why.
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <process.h>

#include <cstdlib>
#include <mutex>
#include <random>

#include "addin/sortwise_addin.h"
#include "foundation/exception.h"
#include "foundation/text.h"
#include "host/outlook_busy.h"
#include "host/outlook_retry_win.h"
#include "platform/debug_output.h"
#include "sorting/auto_cutoff.h"
#include "sorting/number.h"
#include "sorting/run_observer.h"
#include "sorting/sortwise.h"
#include "ui/event_edge.h"

namespace swo {
namespace {

constexpr DWORD kDefaultDelayUnitMs = 30000;

// The delay unit: 30 s, or the milliseconds SORTWISE_AUTO_DELAY_MS names (tests and demos
// cannot wait minutes).
DWORD DelayUnitMs() {
  wchar_t Text[16] = {};
  const DWORD Length = GetEnvironmentVariableW(L"SORTWISE_AUTO_DELAY_MS", Text, 16);
  if (Length == 0 || Length >= 16) return kDefaultDelayUnitMs;
  const std::optional<int32_t> Ms = TextToInteger(reinterpret_cast<const char16_t*>(Text));
  return Ms && *Ms >= 0 ? static_cast<DWORD>(*Ms) : kDefaultDelayUnitMs;
}

// An integer in 0..Range-1 from the process's generator.
int32_t RandomBelow(int32_t Range) {
  static std::mutex Lock;
  static std::minstd_rand Generator(GetTickCount() ^ GetCurrentProcessId());
  const std::lock_guard<std::mutex> Guard(Lock);
  return static_cast<int32_t>(Generator() % static_cast<uint32_t>(Range));
}

// Names the thread for debuggers, where the system can.
void NameThisThread(const wchar_t* Name) {
  using TSetThreadDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
  static const auto SetThreadDescription = reinterpret_cast<TSetThreadDescription>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadDescription")));
  if (SetThreadDescription != nullptr) SetThreadDescription(GetCurrentThread(), Name);
}

// What went wrong: the message and, where there is one, the result code.
std::u16string Describe(const std::exception_ptr& Failure) {
  const std::u16string message = ErrorMessageOf(Failure);
  try {
    std::rethrow_exception(Failure);
  } catch (const brv::TbrvErrorBase& E) {
    const std::u16string code = brv::HexCode(static_cast<uint32_t>(E.ErrorCode()));
    if (message.find(code) == std::u16string::npos) return message + u" (" + code + u")";
  } catch (...) {
  }
  return message;
}

// One line for whoever watches the debugger output (DebugView), naming the product, the step
// that failed and the reason.
void ReportFailure(std::u16string_view What, const std::exception_ptr& Failure) noexcept {
  try {
    brv::platform::DebugOutput(u"Sortwise: the automatic clean-up " + std::u16string(What) + u": " +
                               Describe(Failure));
  } catch (...) {
  }
}

// The run's view of the walk: it stops before the next item once the cancel event is set,
// and knows how far it got, for the report of an error that ends it.
class TAutoRun final : public TSwoRunObserver {
 public:
  explicit TAutoRun(HANDLE Cancel) : FCancel(Cancel) {}

  void Started(int32_t) override { FWalking = true; }
  bool Stopping(int32_t Position) override {
    FPosition = Position;
    return WaitForSingleObject(FCancel, 0) == WAIT_OBJECT_0;
  }
  // What the run was doing when an error ended it.
  std::u16string Step() const {
    if (!FWalking) return u"could not read the inbox";
    return u"stopped at inbox item " + brv::Utf8ToUtf16(std::to_string(FPosition));
  }

 private:
  HANDLE FCancel;
  bool FWalking = false;
  int32_t FPosition = 0;
};

outlook::TOleDate LocalNow() {
  SYSTEMTIME Now;
  GetLocalTime(&Now);
  double Date = 0;
  SystemTimeToVariantTime(&Now, &Date);
  return Date;
}

}  // namespace

void TbrvSortwiseAddIn::StartAutoCleanUp() {
  // A click or a shut-down of an earlier connection set the event: this connection's run is
  // cancelled only by what happens in it.
  ResetEvent(FEvent);
  const uintptr_t Thread = _beginthreadex(nullptr, 0, &AutoCleanUp, this, 0, nullptr);
  // Without a worker there is no automatic run, and nothing to wait for at shut-down.
  if (Thread == 0) return;
  FThread = reinterpret_cast<HANDLE>(Thread);
  // Lets the worker start before the host goes on with its own start-up.
  WaitForSingleObject(FThread, 75);
  SwitchToThread();
}

unsigned __stdcall TbrvSortwiseAddIn::AutoCleanUp(void* AddIn) noexcept {
  // The thread's share in COM ends with it, whichever way the run ends.
  class TComApartment {
   public:
    TComApartment() : FEntered(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~TComApartment() {
      if (FEntered) CoUninitialize();
    }
    TComApartment(const TComApartment&) = delete;
    TComApartment& operator=(const TComApartment&) = delete;

   private:
    bool FEntered;
  };
  try {
    NameThisThread(L"TbrvSortwiseAddIn.AutoCleanUp");
    const TComApartment Apartment;
    auto* Self = static_cast<TbrvSortwiseAddIn*>(AddIn);
    if (Self == nullptr) return 0;
    // Outlook refuses the worker's calls while it is busy: the run waits for it, and a click or
    // a shut-down ends the wait at once.
    const outlook::TBusyPatience Patience(outlook::BusyPatienceMs(), Self->FEvent);
    const DWORD Delay = static_cast<DWORD>(AutoCleanUpDelayUnits(RandomBelow(5))) * DelayUnitMs();
    if (WaitForSingleObject(Self->FEvent, Delay) == WAIT_OBJECT_0) return 0;
    Self->DoExecute();
  } catch (...) {
    ReportFailure(u"failed", std::current_exception());
  }
  return 0;
}

void TbrvSortwiseAddIn::DoExecute() {
  if (!FSortwise->Config().GetAsBoolean(kAutoEnabled)) return;
  PostButtonEnabled(false);
  struct TEnableAgain {
    TbrvSortwiseAddIn& Self;
    ~TEnableAgain() { Self.PostButtonEnabled(true); }
  } EnableAgain{*this};
  const outlook::TOleDate Now = LocalNow();
  int32_t Days = 0;
  try {
    Days = AutoFilterDays(FSortwise->Config().GetValue(kAutoFilter));
  } catch (...) {
    return ReportFailure(u"did not start", std::current_exception());
  }
  const outlook::TOleDate MaxAge = AutoCleanUpCutOff(Now, Days);
  TAutoRun Run(FEvent);
  try {
    FSortwise->Execute(
        [this, MaxAge](outlook::_MailItem& Mail) {
          // The mail in hand when the cancel came stays where it is.
          if (WaitForSingleObject(FEvent, 0) == WAIT_OBJECT_0) return false;
          return Mail.ReceivedTime() <= MaxAge;
        },
        Run);
  } catch (const outlook::EOutlookBusy&) {
    // The wait for a busy Outlook that a click or a shut-down ended is no failure.
    if (WaitForSingleObject(FEvent, 0) != WAIT_OBJECT_0) ReportFailure(Run.Step(), std::current_exception());
  } catch (...) {
    ReportFailure(Run.Step(), std::current_exception());
  }
}

void TbrvSortwiseAddIn::PostButtonEnabled(bool Enabled) {
  // The button goes only at Shutdown, after the worker has ended: reading it here is safe.
  if (FButton == nullptr) return;
  FHostThread.Post([this, Enabled] {
    if (FButton != nullptr) FButton->SetEnabled(Enabled);
  });
}

void TbrvSortwiseAddIn::WaitForWorker() {
  if (FThread == nullptr) return;
  // The worker's Outlook calls come to this thread: a plain wait would never let them in.
  DWORD Index = 0;
  HRESULT Result;
  do {
    Result = CoWaitForMultipleHandles(0, INFINITE, 1, &FThread, &Index);
  } while (Result == RPC_S_CALLPENDING);
  // Where COM cannot wait here (the thread left COM early), a plain wait still keeps the
  // worker from outliving what it uses.
  if (FAILED(Result)) WaitForSingleObject(FThread, INFINITE);
}

}  // namespace swo
