// The add-in's application source: the application object Outlook handed to the add-in, the
// only one Outlook trusts (its Object Model Guard never asks the user about what is read
// through it), on every thread of the add-in. The main thread uses it as it is; any other
// thread gets it through the global interface table as IDispatch, the one interface sure to
// cross apartments whatever the state of Office's type library registration.
#pragma once

#include <windows.h>

#include <objidl.h>
#include <oaidl.h>

#include "com/com_ptr.h"
#include "host/application_source.h"

namespace swo {

class TOutlookSharedSource final : public TSwoApplicationSource {
 public:
  // Application is Outlook's, on the calling thread, which is Outlook's main thread. Raises
  // EbrvObject when the global interface table cannot take it.
  explicit TOutlookSharedSource(IDispatch* Application);
  ~TOutlookSharedSource() override;
  TOutlookSharedSource(const TOutlookSharedSource&) = delete;
  TOutlookSharedSource& operator=(const TOutlookSharedSource&) = delete;

  // The handed application for the calling thread, never null; raises EbrvObject when it
  // cannot be had there (the thread has not entered COM, Outlook has gone).
  outlook::Ref<outlook::_Application> GetActiveApplication() override;
  // The same: there is no other Outlook to create.
  outlook::Ref<outlook::_Application> CreateApplication() override { return GetActiveApplication(); }
  bool IsMainThread() override { return GetCurrentThreadId() == FMainThreadId; }

 private:
  brv::TComPtr<IDispatch> FApplication;
  brv::TComPtr<IGlobalInterfaceTable> FTable;
  DWORD FCookie = 0;
  DWORD FMainThreadId = GetCurrentThreadId();
};

}  // namespace swo
