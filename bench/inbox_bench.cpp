// The rule editor's inbox collection: the senders of an inbox that no address entry holds,
// read as each dialog reads them when it opens. About half the mail comes from registered
// senders; the rest from senders met once each.
#include <benchmark/benchmark.h>

#include "bench_world.h"
#include "ui/inbox_addresses.h"

namespace bench {
namespace {

void BM_GetInboxAddresses(benchmark::State& State) {
  const int mails = static_cast<int>(State.range(0));
  TWorld world = MakeWorld(mails, static_cast<int>(State.range(1)), false);
  world.Outlook->ResetCalls();
  size_t offered = 0;
  for (auto _ : State) offered = swo::GetInboxAddresses(*world.Sorter).size();
  const double items = static_cast<double>(State.iterations()) * mails;
  State.counters["offered"] = static_cast<double>(offered);
  State.counters["calls_per_mail"] = static_cast<double>(world.Outlook->TotalCalls()) / items;
}
BENCHMARK(BM_GetInboxAddresses)->Args({1000, 100})->Args({10000, 1000})->Args({100000, 10000})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
