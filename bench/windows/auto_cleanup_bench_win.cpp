// The automatic clean-up across apartments, as Outlook runs it: Sortwise's worker thread walks an
// inbox of 1,000 and 10,000 mails served by the stand-in's object model on this (Outlook's main)
// thread, against the same run made from this thread, as the rule editor's Run button makes it.
// Prints milliseconds and Outlook calls per inbox mail, the Object Model Guard's prompts, and
// the time from a shut-down signalled in the middle of the run to OnDisconnection returning.
#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "addin/sortwise_addin.h"
#include "bench_clock_win.h"
#include "bench_world.h"
#include "model_object_win.h"
#include "object_model_win.h"
#include "outlook_server_win.h"
#include "sorting/rules_file.h"

namespace {

constexpr int kEntries = 1000;

using bench::NowMs;

// Outlook with one add-in over a new benchmark world of Mails mails (all of them old enough),
// whose rules file asks for the automatic clean-up or not.
class TOutlook {
 public:
  TOutlook(int Mails, bool Automatic) : FWorld(bench::MakeWorld(Mails, kEntries)) {
    FWorld.Sorter->Config().SetValue(swo::kAutoEnabled, Automatic ? u"True" : u"False");
    FWorld.Sorter->Config().SetValue(swo::kAutoFilter, u"0");
    const std::u16string rules = swo::RulesFileName(FWorld.Outlook->ProfileName());
    std::filesystem::create_directories(std::filesystem::path(rules).parent_path());
    FWorld.Sorter->Save(rules);
    FServed = standin::CreateOutlookApplication(FWorld.Outlook->Application(), true);
    FRunning = standin::CreateOutlookApplication(FWorld.Outlook->Application(), false);
    FServer.emplace(FRunning.get());
    standin::ModelStats().GuardPrompts = 0;
    FAddIn = brv::TbrvComObject::Create<swo::TbrvSortwiseAddIn>();
    FAddIn->AddRef();
  }
  ~TOutlook() {
    FAddIn->Release();
    FServer.reset();
  }

  outlook::TMemoryOutlook& Mailbox() { return *FWorld.Outlook; }
  swo::TbrvSortwiseAddIn& AddIn() { return *FAddIn; }
  IDTExtensibility2* Connection() { return static_cast<IDTExtensibility2*>(FAddIn); }
  void Start() {
    Connection()->OnConnection(FServed.get(), ext_cm_Startup, nullptr, nullptr);
    Connection()->OnStartupComplete(nullptr);
  }
  void ShutDown() {
    Connection()->OnBeginShutdown(nullptr);
    Connection()->OnDisconnection(ext_dm_HostShutdown, nullptr);
  }
  // Serves this thread's messages, as Outlook's idle main thread does, until the automatic run
  // has begun (Ended false) or ended (Ended true): the button goes off, then on again.
  void ServeUntilTheRun(bool Ended) {
    bool begun = false;
    for (;;) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
        const bool enabled = FAddIn->Button() != nullptr && FAddIn->Button()->Enabled();
        if (!enabled) begun = true;
        if (begun && (!Ended || enabled)) return;
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
  }
  // Serves this thread's messages for Milliseconds.
  static void Serve(double Milliseconds) {
    const double end = NowMs() + Milliseconds;
    while (NowMs() < end) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
  }

 private:
  bench::TWorld FWorld;
  brv::TComPtr<IDispatch> FServed, FRunning;
  std::optional<standin::TOutlookServer> FServer;
  swo::TbrvSortwiseAddIn* FAddIn = nullptr;
};

void PrintRun(const char* What, int Mails, double Ms, uint64_t Calls) {
  std::printf("%-44s %7d %9.3f %9.2f %8llu\n", What, Mails, Ms / Mails, static_cast<double>(Calls) / Mails,
              static_cast<unsigned long long>(standin::ModelStats().GuardPrompts.load()));
}

// The worker's run, from the start-up (the delay made nothing) to the button's return.
void WorkerRun(int Mails) {
  TOutlook outlook(Mails, true);
  outlook.Mailbox().ResetCalls();
  const double start = NowMs();
  outlook.Start();
  outlook.ServeUntilTheRun(true);
  const double ms = NowMs() - start;
  PrintRun("worker thread (automatic clean-up)", Mails, ms, outlook.Mailbox().TotalCalls());
  outlook.ShutDown();
}

// The same run on Outlook's thread, as the editor's Run button makes it.
void MainThreadRun(int Mails) {
  TOutlook outlook(Mails, false);
  outlook.Start();
  outlook.Mailbox().ResetCalls();
  const double start = NowMs();
  outlook.AddIn().Sortwise().Execute(nullptr);
  const double ms = NowMs() - start;
  PrintRun("Outlook's thread (the editor's Run)", Mails, ms, outlook.Mailbox().TotalCalls());
  outlook.ShutDown();
}

// Outlook closes 300 ms into the worker's run: how long OnDisconnection keeps it waiting.
void ShutDownMidRun(int Mails) {
  TOutlook outlook(Mails, true);
  outlook.Start();
  outlook.ServeUntilTheRun(false);
  TOutlook::Serve(300);
  const double start = NowMs();
  outlook.ShutDown();
  std::printf("%-44s %7d %9.1f\n", "shut-down 300 ms into the run", Mails, NowMs() - start);
}

}  // namespace

int main() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::filesystem::path work =
      std::filesystem::temp_directory_path() / ("sortwise-auto-bench-" + std::to_string(GetCurrentProcessId()));
  SetEnvironmentVariableW(L"AppData", work.wstring().c_str());
  SetEnvironmentVariableW(L"SORTWISE_AUTO_DELAY_MS", L"0");
  std::printf("%-44s %7s %9s %9s %8s\n", "clean-up run, 1,000 address entries", "mails", "ms/mail", "calls/mail",
              "prompts");
  for (const int mails : {1000, 10000}) {
    WorkerRun(mails);
    MainThreadRun(mails);
  }
  std::printf("%-44s %7s %9s\n", "", "mails", "ms");
  for (const int mails : {1000, 10000}) ShutDownMidRun(mails);
  std::filesystem::remove_all(work);
  CoUninitialize();
  return 0;
}
