// What the move log costs a run: the run with its moves as "sortwise run" makes it, with and
// without "--log", over the same synthetic inbox. The report's lines go nowhere in both, so that
// the difference is the log's.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "bench_world.h"
#include "foundation/text.h"
#include "move_log.h"
#include "run_report.h"

namespace bench {
namespace {

// Arguments: mails, address entries, 1 to log.
void BM_RunWithLog(benchmark::State& State) {
  const int mails = static_cast<int>(State.range(0)), entries = static_cast<int>(State.range(1));
  const bool logged = State.range(2) != 0;
  const std::filesystem::path logFile = std::filesystem::temp_directory_path() / "sortwise-log-bench.jsonl";
  TWorld world = MakeWorld(0, entries);
  for (auto _ : State) {
    State.PauseTiming();
    RenewInbox(world, mails, entries, static_cast<int64_t>(State.iterations()));
    std::filesystem::remove(logFile);
    State.ResumeTiming();

    std::unique_ptr<sortwise_tool::TMoveLogWriter> log;
    sortwise_tool::TLogMove move;
    if (logged) {
      const sortwise_tool::TRunStamp stamp = sortwise_tool::NewRunStamp();
      const auto inbox = world.Sorter->Inbox_();
      const sortwise_tool::TLogRun run{stamp.Run, stamp.Time, u"mailbox", u"bench.xml", u"rules.xml", u"Outlook", false,
                                       {}, {inbox->FolderPath(), inbox->EntryID(), inbox->StoreID()}};
      log = std::make_unique<sortwise_tool::TMoveLogWriter>(logFile.u16string());
      log->Write(run);
      move.Run = run.Run;
      move.From = run.Inbox;
    }
    sortwise_tool::TRunReport report(false, log.get(), move, [](std::u16string_view Line) { benchmark::DoNotOptimize(Line); });
    world.Sorter->Execute(nullptr, report);
    report.Finish();
    State.counters["moved"] = report.Counts().Moved;
  }
  std::filesystem::remove(logFile);
  State.counters["per_mail"] = benchmark::Counter(mails, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_RunWithLog)
    ->ArgNames({"mails", "entries", "logged"})
    ->Args({10000, 1000, 0})
    ->Args({10000, 1000, 1})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace bench
