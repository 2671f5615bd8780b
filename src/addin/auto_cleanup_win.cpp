// The automatic clean-up: one run on a worker thread, some time after start-up, of the mail
// older than "Auto.Filter" days; the button or a shut-down cancels it.
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
#include "platform/debug_output.h"
#include "sorting/auto_cutoff.h"
#include "sorting/number.h"
#include "sorting/sortwise.h"

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

outlook::TOleDate LocalNow() {
  SYSTEMTIME Now;
  GetLocalTime(&Now);
  double Date = 0;
  SystemTimeToVariantTime(&Now, &Date);
  return Date;
}

}  // namespace

void TbrvSortwiseAddIn::StartAutoCleanUp() {
  const uintptr_t Thread = _beginthreadex(nullptr, 0, &AutoCleanUp, this, 0, nullptr);
  // Without a worker there is no automatic run, and nothing to wait for at shut-down.
  if (Thread == 0) return;
  FThread = reinterpret_cast<HANDLE>(Thread);
  // Lets the worker start before the host goes on with its own start-up.
  WaitForSingleObject(FThread, 75);
  SwitchToThread();
}

unsigned __stdcall TbrvSortwiseAddIn::AutoCleanUp(void* AddIn) noexcept {
  try {
    NameThisThread(L"TbrvSortwiseAddIn.AutoCleanUp");
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    auto* Self = static_cast<TbrvSortwiseAddIn*>(AddIn);
    if (Self == nullptr) return 0;
    const DWORD Delay = static_cast<DWORD>(AutoCleanUpDelayUnits(RandomBelow(5))) * DelayUnitMs();
    if (WaitForSingleObject(Self->FEvent, Delay) == WAIT_OBJECT_0) return 0;
    Self->DoExecute();
  } catch (const brv::Exception& E) {
    brv::platform::DebugOutput(E.Message());
  } catch (const std::exception& E) {
    brv::platform::DebugOutput(brv::Utf8ToUtf16(E.what()));
  } catch (...) {
    brv::platform::DebugOutput(u"Unexpected error");
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
  const int32_t Days = AutoFilterDays(FSortwise->Config().GetValue(kAutoFilter));
  const outlook::TOleDate MaxAge = AutoCleanUpCutOff(Now, Days);
  FSortwise->Execute([this, MaxAge](outlook::_MailItem& Mail) {
    if (WaitForSingleObject(FEvent, 0) == WAIT_OBJECT_0) return false;
    return Mail.ReceivedTime() <= MaxAge;
  });
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
  while (CoWaitForMultipleHandles(0, INFINITE, 1, &FThread, &Index) == RPC_S_CALLPENDING) {
  }
}

}  // namespace swo
