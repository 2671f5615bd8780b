// sortwise run: one clean-up run on a mailbox file with the rules of a configuration file.
#include <chrono>
#include <memory>
#include <string>

#include "command_line.h"
#include "commands.h"
#include "foundation/text.h"
#include "host/memory_store_file.h"
#include "platform/debug_output.h"
#include "sorting/run_observer.h"
#include "sorting/sortwise.h"

namespace sortwise_tool {

const char16_t kRunHelp[] =
    u"usage: sortwise run --mailbox FILE --config FILE [--dry-run] [--save FILE]\n"
    u"\n"
    u"Runs one clean-up on the inbox of a mailbox file (the substitute Outlook store) with the\n"
    u"rules and settings of a configuration file, and prints a line for every moved mail, the\n"
    u"ERROR lines of mails that failed, and a summary.\n"
    u"\n"
    u"  --mailbox FILE  the mailbox (see docs/mailbox-format.md)\n"
    u"  --config FILE   the rules and settings, as the add-in stores them\n"
    u"  --dry-run       move nothing; print what would move\n"
    u"  --save FILE     write the mailbox as it is after the run\n"
    u"\n"
    u"Exit codes: 0 the run went through, 1 some mails failed, 2 bad usage or unreadable input.";

namespace {

std::u16string Decimal(int64_t Value) { return brv::Utf8ToUtf16(std::to_string(Value)); }

// Prints a line per moved mail and counts what happened to each position.
class TReport : public swo::TSwoRunObserver {
 public:
  explicit TReport(bool DryRun) : FDryRun(DryRun) {}

  struct TCounts {
    int32_t Examined = 0, Moved = 0, SkippedBySettings = 0, WithoutEntry = 0, Failed = 0;
  };
  const TCounts& Counts() const { return FCounts; }

  void Started(int32_t Count) override { FCounts.Examined = Count; }
  void Skipped(int32_t) override { ++FCounts.SkippedBySettings; }
  void Unmatched(int32_t) override { ++FCounts.WithoutEntry; }
  void Accepted(int32_t Position, const std::u16string& Sender, outlook::_MailItem& Mail,
                swo::TSwoEntry& Entry) override {
    auto* folder = dynamic_cast<swo::TSwoFolder*>(Entry.Owner());
    FPending = Decimal(Position) + u": " + Sender + u" \"" + Mail.Subject() + u"\" -> " +
               (folder ? folder->Object_()->FolderPath() : u"?");
  }
  void Declined(int32_t) override {
    if (FDryRun) {
      ++FCounts.Moved;
      PrintLine(u"would move " + FPending);
    }
  }
  void Moved(int32_t) override {
    ++FCounts.Moved;
    PrintLine(u"moved " + FPending);
  }
  void Failed(int32_t, const std::u16string&) override { ++FCounts.Failed; }

 private:
  bool FDryRun;
  TCounts FCounts;
  std::u16string FPending;
};

}  // namespace

int RunCommand(const std::vector<std::u16string>& Args) {
  const TArguments args(Args, {u"--dry-run"}, {std::begin(kRunValueOptions), std::end(kRunValueOptions)});
  if (!args.Positional().empty())
    throw TUsageError{u"unexpected argument " + Clipped(args.Positional().front())};
  const std::u16string mailboxFile = args.Value(u"--mailbox"), configFile = args.Value(u"--config");
  if (mailboxFile.empty()) throw TUsageError{u"--mailbox FILE is required"};
  if (configFile.empty()) throw TUsageError{u"--config FILE is required"};
  const bool dryRun = args.Has(u"--dry-run");

  const outlook::Ref<outlook::TMemoryOutlook> mailbox = outlook::LoadMailbox(mailboxFile);
  const std::unique_ptr<swo::TSortwise> sorter(swo::TSortwise::Create());
  sorter->Load(configFile);
  sorter->SetApplication_(mailbox->Application());

  TReport report(dryRun);
  brv::platform::SetDebugSink([](std::u16string_view Line) { PrintLine(Line); });
  const auto started = std::chrono::steady_clock::now();
  try {
    sorter->Execute([dryRun](outlook::_MailItem&) { return !dryRun; }, report);
  } catch (const brv::EbrvObject& e) {
    brv::platform::SetDebugSink({});
    // What ends a run is a fault of the mailbox ("There is no default inbox"): say which.
    throw brv::EbrvObject(e.ErrorCode(), mailboxFile + u": " + e.Message());
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
  if (const std::u16string saveFile = args.Value(u"--save"); !saveFile.empty()) outlook::SaveMailbox(*mailbox, saveFile);
  return counts.Failed > 0 ? 1 : 0;
}

}  // namespace sortwise_tool
