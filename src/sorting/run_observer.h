// What a clean-up run did with each inbox position, for callers that show or count it (the
// command-line tool, the benchmarks), and whether it should stop. The run calls exactly one of
// Skipped, Unmatched, Declined, Moved and Failed for every position it handles; Accepted comes
// before Declined or Moved. Before each position it asks Stopping.
#pragma once

#include <cstdint>
#include <string>

#include "host/outlook.h"

namespace swo {

class TSwoEntry;

class TSwoRunObserver {
 public:
  virtual ~TSwoRunObserver() = default;
  // The number of inbox items, before the walk starts.
  virtual void Started(int32_t Count) { (void)Count; }
  // True ends the walk before Position is touched (a cancelled run leaves the rest alone).
  virtual bool Stopping(int32_t Position) {
    (void)Position;
    return false;
  }
  // Left alone by the settings (flagged, read, completed).
  virtual void Skipped(int32_t Position) { (void)Position; }
  // No address entry accepted the mail.
  virtual void Unmatched(int32_t Position) { (void)Position; }
  // Entry accepted the mail from Sender; the callback and the move come next.
  virtual void Accepted(int32_t Position, const std::u16string& Sender, outlook::_MailItem& Mail,
                        TSwoEntry& Entry) {
    (void)Position, (void)Sender, (void)Mail, (void)Entry;
  }
  // The callback kept the mail in the inbox.
  virtual void Declined(int32_t Position) { (void)Position; }
  // The mail is in its target folder; Result is what the move answered (the mail there, whose
  // EntryID may be new), null when the host answered nothing.
  virtual void Moved(int32_t Position, outlook::_MailItem* Result) { (void)Position, (void)Result; }
  // Handling the item failed; its "ERROR: " line has been written.
  virtual void Failed(int32_t Position, const std::u16string& Subject) { (void)Position, (void)Subject; }
};

}  // namespace swo
