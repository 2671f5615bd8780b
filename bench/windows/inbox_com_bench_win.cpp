// The rule editor's inbox collection through COM: Outlook's object model served by the Outlook
// stand-in over a substitute inbox of 10,000 mails, read through the late-bound adapter the
// add-in uses, with 1,000 registered addresses. Prints the median and the slowest of several
// runs in ms, and the Outlook calls made per inbox item, kind by kind.
#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_world.h"
#include "bench_clock_win.h"
#include "foundation/text.h"
#include "host/outlook_dispatch.h"
#include "object_model_win.h"
#include "ui/inbox_addresses.h"

namespace {

constexpr int kMails = 10000;
constexpr int kEntries = 1000;
constexpr int kRuns = 7;

using bench::NowMs;

}  // namespace

int main() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  {
    bench::TWorld World = bench::MakeWorld(kMails, kEntries, false);
    const brv::TComPtr<IDispatch> Served = standin::CreateOutlookApplication(World.Outlook->Application());
    World.Sorter->SetApplication_(outlook::WrapApplication(Served.get()));
    std::vector<double> Times;
    size_t Offered = 0;
    for (int Run = 0; Run < kRuns; ++Run) {
      if (Run == kRuns - 1) World.Outlook->ResetCalls();
      const double Start = NowMs();
      Offered = swo::GetInboxAddresses(*World.Sorter).size();
      Times.push_back(NowMs() - Start);
    }
    std::sort(Times.begin(), Times.end());
    std::printf("%-52s %9s %9s\n", "inbox collection through COM, 7 runs", "median ms", "max ms");
    std::printf("%-52s %9.1f %9.1f\n", "10,000 mails, 1,000 addresses", Times[Times.size() / 2], Times.back());
    std::printf("offered %zu addresses; Outlook calls per inbox item in one run:\n", Offered);
    for (size_t I = 0; I < outlook::kMemoryCallCount; ++I) {
      const auto Call = static_cast<outlook::TMemoryCall>(I);
      if (const uint64_t Count = World.Outlook->Calls(Call))
        std::printf("  %-36s %8.4f\n", brv::Utf16ToUtf8(outlook::TMemoryCallName(Call)).c_str(),
                    static_cast<double>(Count) / kMails);
    }
    std::printf("  %-36s %8.4f\n", "all", static_cast<double>(World.Outlook->TotalCalls()) / kMails);
  }
  CoUninitialize();
  return 0;
}
