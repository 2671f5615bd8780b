// What "sortwise run" tells about a run: a line per moved mail (or, in a dry run, per mail that
// would move), counts for the summary, and a move-log line per moved mail.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/exception.h"
#include "move_log.h"
#include "sorting/run_observer.h"

namespace sortwise_tool {

class TRunReport : public swo::TSwoRunObserver {
 public:
  using TLineSink = std::function<void(std::u16string_view)>;

  // Log (may be null) receives a line per moved mail made from Template (its run and source
  // folder). A log that cannot be written ends the walk before the next mail.
  TRunReport(bool DryRun, TMoveLogWriter* Log, TLogMove Template, TLineSink Lines);

  struct TCounts {
    int32_t Examined = 0, Moved = 0, SkippedBySettings = 0, WithoutEntry = 0, Failed = 0;
  };
  const TCounts& Counts() const { return FCounts; }
  // Writes what the log still holds back; a failure goes to LogFailure.
  void Finish();
  // Why the log could not be written; the run stopped at the next mail.
  const std::optional<brv::EbrvObject>& LogFailure() const { return FLogFailure; }

  void Started(int32_t Count) override { FCounts.Examined = Count; }
  bool Stopping(int32_t) override { return FLogFailure.has_value(); }
  void Skipped(int32_t) override { ++FCounts.SkippedBySettings; }
  void Unmatched(int32_t) override { ++FCounts.WithoutEntry; }
  void Accepted(int32_t Position, const std::u16string& Sender, outlook::_MailItem& Mail,
                swo::TSwoEntry& Entry) override;
  void Declined(int32_t Position) override;
  void Moved(int32_t Position, outlook::_MailItem* Result) override;
  void Failed(int32_t, const std::u16string&) override { ++FCounts.Failed; }

 private:
  bool FDryRun;
  TMoveLogWriter* FLog;
  TLineSink FLines;
  TCounts FCounts;
  TLogMove FPending;
  std::u16string FLine;
  std::optional<brv::EbrvObject> FLogFailure;

  template <class F>
  void Logging(F&& Write);
};

}  // namespace sortwise_tool
