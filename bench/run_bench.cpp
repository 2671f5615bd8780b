// The clean-up run over synthetic inboxes: the run as the add-in makes it, the same walk with a
// naive candidate search for reference, and the substitute store's share of the time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "bench_world.h"
#include "foundation/text.h"
#include "platform/locale.h"
#include "sorting/entry_index.h"
#include "sorting/matching.h"

namespace bench {
namespace {

// Seconds one call costs in the substitute store, on average over the run's typical sequence
// for a mail (fetch, query, sender, and one filter's property look-ups), measured on World.
double StoreCallCost(TWorld& World) {
  const int32_t count = World.Inbox->Items()->Count();
  World.Outlook->ResetCalls();
  const auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < 3; ++round)
    for (int32_t i = count; i >= 1; --i) {
      const auto mail = World.Inbox->Items()->Item(i)->QueryMailItem();
      benchmark::DoNotOptimize(mail->SenderEmailType());
      benchmark::DoNotOptimize(mail->SenderEmailAddress());
      const auto properties = mail->UserProperties();
      benchmark::DoNotOptimize(properties->Find(u"Subject", true));
      benchmark::DoNotOptimize(properties->Find(u"Subject", false)->ValueText());
    }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double calls = static_cast<double>(World.Outlook->TotalCalls());
  World.Outlook->ResetCalls();
  return seconds / calls;
}

// per_mail: the whole run; store_per_mail: the substitute store's share (the calls made, kind by
// kind, times what one costs); own_per_mail: the rest, the run's own work. Seconds is the time of
// the timed loop.
void SetPerMailCounters(benchmark::State& State, TWorld& World, int Mails, double Seconds, double CallCost) {
  const double mails = static_cast<double>(State.iterations()) * Mails;
  const double storeSeconds = static_cast<double>(World.Outlook->TotalCalls()) * CallCost;
  State.counters["per_mail"] = Seconds / mails;
  State.counters["calls_per_mail"] = static_cast<double>(World.Outlook->TotalCalls()) / mails;
  State.counters["store_per_mail"] = storeSeconds / mails;
  State.counters["own_per_mail"] = (Seconds - storeSeconds) / mails;
}

// Runs Body once per iteration and returns the seconds all iterations took.
template <class Body>
double TimedLoop(benchmark::State& State, Body&& Run) {
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : State) Run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The whole run; every accepted mail is declined by the callback, so the inbox stays as it is
// and each iteration walks the same mails.
void BM_Run(benchmark::State& State) {
  const int mails = static_cast<int>(State.range(0)), entries = static_cast<int>(State.range(1));
  TWorld world = MakeWorld(mails, entries);
  const double callCost = StoreCallCost(world);
  const double seconds = TimedLoop(State, [&] { world.Sorter->Execute([](outlook::_MailItem&) { return false; }); });
  SetPerMailCounters(State, world, mails, seconds, callCost);
}

// The same walk without any address entry: what the store and the settings cost alone.
void BM_RunEmptyRules(benchmark::State& State) {
  const int mails = static_cast<int>(State.range(0));
  TWorld world = MakeWorld(mails, 0, false);
  const double callCost = StoreCallCost(world);
  const double seconds = TimedLoop(State, [&] { world.Sorter->Execute([](outlook::_MailItem&) { return false; }); });
  SetPerMailCounters(State, world, mails, seconds, callCost);
}

// The run with its moves: the inbox is filled anew (untimed) before every iteration.
void BM_RunMoving(benchmark::State& State) {
  const int mails = static_cast<int>(State.range(0)), entries = static_cast<int>(State.range(1));
  TWorld world = MakeWorld(0, entries);
  for (auto _ : State) {
    State.PauseTiming();
    RenewInbox(world, mails, entries, static_cast<int64_t>(State.iterations()));
    State.ResumeTiming();
    world.Sorter->Execute(nullptr);
  }
  State.counters["per_mail"] = benchmark::Counter(mails, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// For reference: the same walk finding candidates by scanning every entry, newest first.
void NaiveExecute(swo::TSortwise& Sorter, std::vector<swo::TSwoEntry*>& Entries) {
  const auto inbox = Sorter.Inbox_();
  const int32_t count = inbox->Items()->Count();
  for (int32_t i = count; i >= 1; --i) {
    const auto mail = inbox->Items()->Item(i)->QueryMailItem();
    const std::u16string address = mail->SenderEmailAddress();
    swo::TSwoEntry* accepting = nullptr;
    for (const std::u16string_view key : {std::u16string_view(address), std::u16string_view(u"*")}) {
      for (auto it = Entries.rbegin(); it != Entries.rend() && accepting == nullptr; ++it)
        if (brv::platform::LocaleCompareText((*it)->Address(), key) == 0) accepting = swo::MatchEntry(*it, mail.get());
      if (accepting != nullptr) break;
    }
    benchmark::DoNotOptimize(accepting);
  }
}

void BM_RunNaive(benchmark::State& State) {
  const int mails = static_cast<int>(State.range(0)), entries = static_cast<int>(State.range(1));
  TWorld world = MakeWorld(mails, entries);
  std::vector<swo::TSwoEntry*> all;
  for (int32_t s = 0; s < world.Sorter->Count(); ++s)
    for (int32_t f = 0; f < world.Sorter->GetItem(s)->Count(); ++f) {
      const swo::TSwoFolder* folder = world.Sorter->GetItem(s)->GetItem(f);
      for (int32_t e = 0; e < folder->Count(); ++e) all.push_back(folder->GetItem(e));
    }
  const double callCost = StoreCallCost(world);
  const double seconds = TimedLoop(State, [&] { NaiveExecute(*world.Sorter, all); });
  SetPerMailCounters(State, world, mails, seconds, callCost);
}

// Building the run's index of all address entries, once per run.
void BM_BuildIndex(benchmark::State& State) {
  const TWorld world = MakeWorld(0, static_cast<int>(State.range(0)));
  for (auto _ : State) {
    swo::TSwoEntryIndex index;
    world.Sorter->GetEntryList(index);
    benchmark::DoNotOptimize(index.IndexOf(u"*"));
  }
  State.counters["per_entry"] = benchmark::Counter(static_cast<double>(State.range(0)),
                                                   benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Sizes(benchmark::internal::Benchmark* B) {
  for (const int mails : {1000, 10000, 100000})
    for (const int entries : {100, 1000, 10000}) B->Args({mails, entries});
}

BENCHMARK(BM_BuildIndex)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Run)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunEmptyRules)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunMoving)->Args({10000, 1000})->Args({100000, 10000})->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunNaive)->Args({1000, 10000})->Args({10000, 10000})->Args({10000, 1000})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
