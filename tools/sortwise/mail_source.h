// Where a command finds the mail: a mailbox file (the substitute Outlook store), or on Windows
// the running Outlook through COM.
#pragma once

#include <memory>
#include <string>

#include "host/outlook.h"

namespace sortwise_tool {

class TMailSource {
 public:
  virtual ~TMailSource() = default;
  // The application; the objects reached from it live no longer than this source.
  virtual outlook::Ref<outlook::_Application> Application() = 0;
  // "mailbox" or "outlook", as the move log names the source.
  virtual std::u16string Kind() const = 0;
  // The mailbox file; empty for Outlook.
  virtual std::u16string MailboxFile() const = 0;
  // Writes the mailbox as it is now to File; Outlook keeps its mail itself and has no file.
  virtual void Save(const std::u16string& File) = 0;
};

// The mailbox file File; raises when it cannot be read.
std::unique_ptr<TMailSource> OpenMailbox(const std::u16string& File);

// The running Outlook (else a new one), bound late through IDispatch alone, on this thread's
// single-threaded apartment. Raises when there is none to be had; on a build without COM it
// raises TUsageError.
std::unique_ptr<TMailSource> ConnectOutlook();

}  // namespace sortwise_tool
