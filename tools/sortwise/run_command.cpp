// sortwise run: one clean-up run on a mailbox file or the running Outlook, with a log of what
// it moved if asked.
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "command_line.h"
#include "commands.h"
#include "foundation/exception.h"
#include "foundation/text.h"
#include "move_log.h"
#include "platform/debug_output.h"
#include "sorting/run_observer.h"
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

std::u16string Decimal(int64_t Value) { return brv::Utf8ToUtf16(std::to_string(Value)); }

// Prints a line per moved mail, counts what happened to each position, and logs each move.
class TReport : public swo::TSwoRunObserver {
 public:
  TReport(bool DryRun, TMoveLogWriter* Log, TLogMove Template)
      : FDryRun(DryRun), FLog(Log), FPending(std::move(Template)) {}

  struct TCounts {
    int32_t Examined = 0, Moved = 0, SkippedBySettings = 0, WithoutEntry = 0, Failed = 0;
  };
  const TCounts& Counts() const { return FCounts; }
  // Why the log could not be written; the run stopped at the next mail.
  const std::optional<brv::EbrvObject>& LogFailure() const { return FLogFailure; }

  void Started(int32_t Count) override { FCounts.Examined = Count; }
  bool Stopping(int32_t) override { return FLogFailure.has_value(); }
  void Skipped(int32_t) override { ++FCounts.SkippedBySettings; }
  void Unmatched(int32_t) override { ++FCounts.WithoutEntry; }
  void Accepted(int32_t Position, const std::u16string& Sender, outlook::_MailItem& Mail,
                swo::TSwoEntry& Entry) override {
    FPending.Subject = Mail.Subject();
    FPending.Sender = Sender;
    FPending.To = {};
    if (auto* folder = dynamic_cast<swo::TSwoFolder*>(Entry.Owner())) {
      FPending.To = {folder->Object_()->FolderPath(), folder->Id(), folder->StoreId()};
    }
    FLine = Decimal(Position) + u": " + Sender + u" \"" + FPending.Subject + u"\" -> " +
            (FPending.To.Path.empty() ? u"?" : FPending.To.Path);
  }
  void Declined(int32_t) override {
    if (FDryRun) {
      ++FCounts.Moved;
      PrintLine(u"would move " + FLine);
    }
  }
  void Moved(int32_t, outlook::_MailItem* Result) override {
    ++FCounts.Moved;
    PrintLine(u"moved " + FLine);
    if (FLog == nullptr) return;
    try {
      FPending.EntryID = Result != nullptr ? Result->EntryID() : std::u16string();
      FLog->Write(FPending);
    } catch (const brv::EbrvObject& e) {
      FLogFailure = e;
    } catch (const brv::Exception& e) {
      FLogFailure = brv::EbrvObject(brv::kE_FAIL, e.Message());
    }
  }
  void Failed(int32_t, const std::u16string&) override { ++FCounts.Failed; }

 private:
  bool FDryRun;
  TMoveLogWriter* FLog;
  TCounts FCounts;
  TLogMove FPending;
  std::u16string FLine;
  std::optional<brv::EbrvObject> FLogFailure;
};

TLogPlace PlaceOf(outlook::MAPIFolder& Folder) { return {Folder.FolderPath(), Folder.EntryID(), Folder.StoreID()}; }

}  // namespace

int RunCommand(const std::vector<std::u16string>& Args) {
  const TArguments args(Args, {u"--dry-run", u"--outlook"}, {std::begin(kRunValueOptions), std::end(kRunValueOptions)});
  if (!args.Positional().empty())
    throw TUsageError{u"unexpected argument " + Clipped(args.Positional().front())};
  if (args.Has(u"--outlook") && !args.Value(u"--save").empty())
    throw TUsageError{u"--save FILE goes with --mailbox: Outlook keeps its mail itself"};
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
                sources.Profile, dryRun};
    run.Inbox = PlaceOf(*sorter->Inbox_());
    log = std::make_unique<TMoveLogWriter>(logFile);
    log->Write(run);
    move.Run = run.Run;
    move.From = run.Inbox;
  }

  TReport report(dryRun, log.get(), move);
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
  const auto elapsed = std::chrono::steady_clock::now() - started;
  brv::platform::SetDebugSink({});

  const TReport::TCounts& counts = report.Counts();
  PrintLine(u"examined " + Decimal(counts.Examined) + (dryRun ? u", would move " : u", moved ") +
            Decimal(counts.Moved) + u", skipped by the settings " + Decimal(counts.SkippedBySettings) +
            u", without a matching entry " + Decimal(counts.WithoutEntry) + u", failed " +
            Decimal(counts.Failed));
  PrintLine(u"elapsed: " + Decimal(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()) + u" \u00B5s");
  // The mailbox is saved as it is, also after a log failure: it holds the moves made.
  if (const std::u16string saveFile = args.Value(u"--save"); !saveFile.empty()) sources.Mail->Save(saveFile);
  if (const auto& failure = report.LogFailure())
    throw brv::EbrvObject(failure->ErrorCode(), failure->Message() + u"; the run stopped after the mail it could not log");
  return counts.Failed > 0 ? 1 : 0;
}

}  // namespace sortwise_tool
