#include "run_report.h"

#include "command_line.h"

#include "foundation/text.h"
#include "sorting/sortwise.h"

namespace sortwise_tool {

TRunReport::TRunReport(bool DryRun, TMoveLogWriter* Log, TLogMove Template, TLineSink Lines)
    : FDryRun(DryRun), FLog(Log), FLines(std::move(Lines)), FPending(std::move(Template)) {}

void TRunReport::Accepted(int32_t Position, const std::u16string& Sender, outlook::_MailItem& Mail,
                          swo::TSwoEntry& Entry) {
  FPending.Subject = Mail.Subject();
  FPending.Sender = Sender;
  FPending.To = {};
  // The model knows the target's identifiers; only its path is Outlook's to tell.
  if (auto* folder = dynamic_cast<swo::TSwoFolder*>(Entry.Owner()))
    FPending.To = {folder->Object_()->FolderPath(), folder->Id(), folder->StoreId()};
  FLine = Decimal(Position) + u": " + Sender + u" \"" + FPending.Subject + u"\" -> " +
          (FPending.To.Path.empty() ? u"?" : FPending.To.Path);
}

void TRunReport::Declined(int32_t) {
  if (!FDryRun) return;
  ++FCounts.Moved;
  FLines(u"would move " + FLine);
}

void TRunReport::Moved(int32_t, outlook::_MailItem* Result) {
  ++FCounts.Moved;
  FLines(u"moved " + FLine);
  if (FLog == nullptr) return;
  Logging([&] {
    FPending.EntryID = Result != nullptr ? Result->EntryID() : std::u16string();
    FLog->Write(FPending);
  });
}

void TRunReport::Finish() {
  if (FLog != nullptr && !FLogFailure) Logging([&] { FLog->Flush(); });
}

template <class F>
void TRunReport::Logging(F&& Write) {
  try {
    Write();
  } catch (const brv::EbrvObject& e) {
    FLogFailure = e;
  } catch (const brv::Exception& e) {
    FLogFailure = brv::EbrvObject(brv::kE_FAIL, e.Message());
  }
}

}  // namespace sortwise_tool
