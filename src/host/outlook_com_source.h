// The sorter's application source on Windows: the running Outlook from the running object
// table, or a new instance through COM, both bound late (outlook_dispatch.h).
#pragma once

#include <windows.h>

#include "host/application_source.h"

namespace swo {

// Outlook's class id: by its ProgID "Outlook.Application", else the known id (a machine without
// the ProgID may still have the class registered under its id).
CLSID OutlookClassId();

class TOutlookComSource final : public TSwoApplicationSource {
 public:
  // The process's main thread is MainThreadId; by default the thread that creates the source,
  // so create it on the main thread (Outlook's, for the add-in) or pass the id.
  explicit TOutlookComSource(DWORD MainThreadId = GetCurrentThreadId()) : FMainThreadId(MainThreadId) {}

  // GetActiveObject of Outlook's class (by ProgID "Outlook.Application", else its known class
  // id), queried for _Application; null when none runs. A failing query raises EbrvObject.
  outlook::Ref<outlook::_Application> GetActiveApplication() override;
  // CoCreateInstance (in-process or local server) for _Application; raises EbrvObject.
  outlook::Ref<outlook::_Application> CreateApplication() override;
  bool IsMainThread() override { return GetCurrentThreadId() == FMainThreadId; }

 private:
  DWORD FMainThreadId;
};

}  // namespace swo
