// The clean-up run: one walk over the default inbox, from the last item to the first, moving
// each mail that passes the settings into the folder of the first address entry accepting it.
#include <string>

#include "foundation/text.h"
#include "host/outlook_busy.h"
#include "platform/debug_output.h"
#include "sorting/entry_index.h"
#include "sorting/matching.h"
#include "sorting/run_observer.h"
#include "sorting/sender.h"
#include "sorting/sortwise.h"

namespace swo {

namespace {

constexpr std::u16string_view kWildcard = u"*";

TSwoRunObserver& Silent() {
  static TSwoRunObserver silent;
  return silent;
}

bool SkippedBySettings(const TSwoConfig& Config, outlook::_MailItem& Mail) {
  if (Config.GetAsBoolean(kIgnoreUnmarked) && !Mail.IsMarkedAsTask()) return true;
  if (Config.GetAsBoolean(kDoOnlyRead) && Mail.UnRead()) return true;
  if (Config.GetAsBoolean(kDoOnlyComplete) && Mail.IsMarkedAsTask()) {
    const outlook::TOleDate completed = Mail.TaskCompletedDate();
    if (completed == 0 || completed == outlook::kNoDate) return true;
  }
  return false;
}

// The entries of the sender's address first, in index order, then the "*" entries.
TSwoEntry* FindAcceptingEntry(const TSwoEntryIndex& Index, const std::u16string& Address,
                              outlook::_MailItem& Mail) {
  std::u16string_view key = Address;
  int32_t p = Index.IndexOf(key);
  if (p == -1) {
    key = kWildcard;
    p = Index.IndexOf(kWildcard);
  }
  while (p != -1) {
    if (p < Index.Count() && brv::SameText(Index.Strings(p), key)) {
      TSwoEntry* candidate = Index.Objects(p);
      if (!Index.HasFilters(p) || MatchEntry(candidate, &Mail) != nullptr) return candidate;
      ++p;
    } else {
      if (key == kWildcard) return nullptr;
      key = kWildcard;
      p = Index.IndexOf(kWildcard);
    }
  }
  return nullptr;
}

}  // namespace

void TSortwise::Execute(const TSwoCallback& Callback) { Execute(Callback, Silent()); }

void TSortwise::Execute(const TSwoCallback& Callback, TSwoRunObserver& Observer) {
  const outlook::Ref<outlook::MAPIFolder> inbox = Inbox_();
  TSwoEntryIndex index;
  GetEntryList(index);
  const int32_t count = inbox->Items()->Count();
  Observer.Started(count);
  for (int32_t i = count; i >= 1; --i) {
    if (Observer.Stopping(i)) return;
    try {
      ProcessItem(*inbox, index, i, Callback, Observer);
    } catch (const outlook::EOutlookBusy&) {
      // Not this mail's fault: the next would meet the same Outlook.
      throw;
    } catch (...) {
      // Read afresh: the failure may have left nothing usable. If even this fails, the run ends.
      const std::u16string subject = inbox->Items()->Item(i)->Subject();
      brv::platform::DebugOutput(u"ERROR: " + brv::Utf8ToUtf16(std::to_string(i)) + u"::" + subject);
      Observer.Failed(i, subject);
    }
  }
}

void TSortwise::ProcessItem(outlook::MAPIFolder& Inbox, const TSwoEntryIndex& Index, int32_t Position,
                            const TSwoCallback& Callback, TSwoRunObserver& Observer) {
  const outlook::Ref<outlook::_MailItem> mail = Inbox.Items()->Item(Position)->QueryMailItem();
  if (SkippedBySettings(Config(), *mail)) return Observer.Skipped(Position);
  const std::u16string sender = SenderAddress(*mail);
  TSwoEntry* entry = FindAcceptingEntry(Index, sender, *mail);
  if (entry == nullptr) return Observer.Unmatched(Position);
  Observer.Accepted(Position, sender, *mail, *entry);
  if (Callback && !Callback(*mail)) return Observer.Declined(Position);
  auto* folder = dynamic_cast<TSwoFolder*>(entry->Owner());
  if (folder == nullptr) throw ESortwise(brv::kE_FAIL, u"The address entry has no target folder");
  const outlook::Ref<outlook::_MailItem> moved = mail->Move(*folder->Object_());
  Observer.Moved(Position, moved.get());
}

}  // namespace swo
