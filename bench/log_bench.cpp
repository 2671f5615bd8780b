// What the move log costs a run: the run with its moves as "sortwise run" makes it, with and
// without "--log", over the same synthetic inbox. The report's lines go to the null device in
// both, written as the tool writes them (UTF-8, one write per line), as with
// "sortwise run > /dev/null".
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

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
  std::FILE* nowhere = std::fopen("/dev/null", "w");
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
                                       {}, sortwise_tool::PlaceOf(*inbox)};
      log = std::make_unique<sortwise_tool::TMoveLogWriter>(logFile.u16string());
      log->Write(run);
      move.Run = run.Run;
      move.From = run.Inbox;
    }
    sortwise_tool::TRunReport report(false, log.get(), move, [&](std::u16string_view Line) {
      const std::string text = brv::Utf16ToUtf8(Line) + "\n";
      std::fwrite(text.data(), 1, text.size(), nowhere);
    });
    world.Sorter->Execute(nullptr, report);
    report.Finish();
    State.counters["moved"] = report.Counts().Moved;
  }
  std::fclose(nowhere);
  std::filesystem::remove(logFile);
  State.counters["per_mail"] = benchmark::Counter(mails, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The log's writer alone: Lines move lines over 20 target folders, as a run's would be.
void BM_LogLines(benchmark::State& State) {
  const int lines = static_cast<int>(State.range(0));
  const std::filesystem::path logFile = std::filesystem::temp_directory_path() / "sortwise-log-lines-bench.jsonl";
  sortwise_tool::TLogMove move;
  move.Run = u"2026-12-11T07:15:30.123Z/4242";
  move.Subject = u"Your invoice 2026-1187 from Northwind Supplies";
  move.Sender = u"billing@northwind.example";
  move.From = {u"\\\\Mailbox\\Inbox", u"00000000AB0F00000000000000000001", u"00000000AB0D00000000000000000001"};
  move.EntryID = u"00000000AB0E00000000000000001234";
  std::vector<sortwise_tool::TLogPlace> targets;
  for (int i = 0; i < 20; ++i) {
    const std::u16string n = brv::Utf8ToUtf16(std::to_string(10 + i));
    targets.push_back({u"\\\\Mailbox\\Folder " + n, u"00000000AB0F000000000000000000" + n, move.From.StoreID});
  }
  for (auto _ : State) {
    sortwise_tool::TMoveLogWriter log(logFile.u16string());
    for (int i = 0; i < lines; ++i) {
      move.To = targets[static_cast<size_t>(i) % targets.size()];
      log.Write(move);
    }
    log.Flush();
  }
  std::filesystem::remove(logFile);
  State.counters["per_line"] = benchmark::Counter(lines, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_LogLines)->Arg(6000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunWithLog)
    ->ArgNames({"mails", "entries", "logged"})
    ->Args({10000, 1000, 0})
    ->Args({10000, 1000, 1})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace bench
