// sortwise run: one clean-up run on a mailbox file or the running Outlook, with a log of what
// it moved if asked.
#include <chrono>
#include <memory>
#include <string>

#include "command_line.h"
#include "commands.h"
#include "foundation/exception.h"
#include "foundation/text.h"
#include "move_log.h"
#include "run_report.h"
#include "platform/debug_output.h"
#include "sorting/sortwise.h"
#include "sources.h"

namespace sortwise_tool {

const char16_t kRunHelp[] =
    u"usage: sortwise run --mailbox FILE --config FILE [--dry-run] [--save FILE] [--log FILE]\n"
    u"       sortwise run --outlook [--config FILE | --profile NAME] [--dry-run] [--log FILE]\n"
    u"\n"
    u"Runs one clean-up on the inbox of a mailbox file (the substitute Outlook store) or of the\n"
    u"running Outlook, with the rules and settings of a configuration file, and prints a line for\n"
    u"every moved mail, the ERROR lines of mails that failed, and a summary.\n"
    u"\n"
    u"  --mailbox FILE  the mailbox (see docs/mailbox-format.md)\n"
    u"  --outlook       the running Outlook (Windows); without --config, the rules the add-in\n"
    u"                  keeps for Outlook's current profile\n"
    u"  --config FILE   the rules and settings, as the add-in stores them\n"
    u"  --profile NAME  with --outlook: the rules the add-in keeps for that profile\n"
    u"  --dry-run       move nothing; print what would move\n"
    u"  --save FILE     write the mailbox as it is after the run\n"
    u"  --log FILE      append the run and every moved mail to FILE (JSON Lines), for\n"
    u"                  \"sortwise undo\"; a log that cannot be written stops the run first\n"
    u"\n"
    u"Exit codes: 0 the run went through, 1 some mails failed, 2 bad usage, unreadable input or\n"
    u"a log that could not be written.";

namespace {

}  // namespace

int RunCommand(const std::vector<std::u16string>& Args) {
  const TArguments args(Args, {u"--dry-run", u"--outlook"}, {std::begin(kRunValueOptions), std::end(kRunValueOptions)});
  if (!args.Positional().empty())
    throw TUsageError{u"unexpected argument " + Clipped(args.Positional().front())};
  const bool dryRun = args.Has(u"--dry-run");

  // The source outlives the sorter and every Outlook object the run reaches.
  TSources sources = OpenSources(args, true);
  const std::unique_ptr<swo::TSortwise> sorter(swo::TSortwise::Create());
  sorter->Load(sources.Rules);
  sorter->SetApplication_(sources.Mail->Application());

  // The log takes the run before anything moves: a log that cannot be written stops it here.
  std::unique_ptr<TMoveLogWriter> log;
  TLogMove move;
  if (const std::u16string logFile = args.Value(u"--log"); !logFile.empty()) {
    const TRunStamp stamp = NewRunStamp();
    TLogRun run{stamp.Run, stamp.Time, sources.Mail->Kind(), sources.Mail->MailboxFile(), sources.Rules,
                sources.Profile, dryRun, {}, PlaceOf(*sorter->Inbox_())};
    log = std::make_unique<TMoveLogWriter>(logFile);
    log->Write(run);
    move.Run = run.Run;
    move.From = run.Inbox;
  }

  TRunReport report(dryRun, log.get(), move, PrintLine);
  brv::platform::SetDebugSink([](std::u16string_view Line) { PrintLine(Line); });
  const auto started = std::chrono::steady_clock::now();
  try {
    sorter->Execute([dryRun](outlook::_MailItem&) { return !dryRun; }, report);
  } catch (const brv::EbrvObject& e) {
    brv::platform::SetDebugSink({});
    // What ends a run is a fault of the mailbox ("There is no default inbox"): say which.
    const std::u16string where = sources.Mail->MailboxFile().empty() ? u"Outlook" : sources.Mail->MailboxFile();
    throw brv::EbrvObject(e.ErrorCode(), where + u": " + e.Message());
  } catch (...) {
    brv::platform::SetDebugSink({});
    throw;
  }
  report.Finish();
  const auto elapsed = std::chrono::steady_clock::now() - started;
  brv::platform::SetDebugSink({});

  const TRunReport::TCounts& counts = report.Counts();
  PrintLine(u"examined " + Decimal(counts.Examined) + (dryRun ? u", would move " : u", moved ") +
            Decimal(counts.Moved) + u", skipped by the settings " + Decimal(counts.SkippedBySettings) +
            u", without a matching entry " + Decimal(counts.WithoutEntry) + u", failed " +
            Decimal(counts.Failed));
  PrintLine(u"elapsed: " + Decimal(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()) + u" \u00B5s");
  // The mailbox is saved as it is, also after a log failure: it holds the moves made.
  if (const std::u16string saveFile = args.Value(u"--save"); !saveFile.empty()) sources.Mail->Save(saveFile);
  if (const auto& failure = report.LogFailure())
    throw brv::EbrvObject(failure->ErrorCode(), failure->Message() +
                                                        u"; the run stopped, and the mails it moved last may be missing from the log");
  return counts.Failed > 0 ? 1 : 0;
}

}  // namespace sortwise_tool
