// Outlook's handed application, shared with the add-in's other threads.
#include "host/outlook_shared_source.h"

#include <objbase.h>

#include "host/outlook_dispatch.h"
#include "host/outlook_retry_win.h"
#include "foundation/exception.h"

namespace swo {

TOutlookSharedSource::TOutlookSharedSource(IDispatch* Application)
    : FApplication(brv::TComPtr<IDispatch>::Copy(Application)) {
  if (!FApplication) throw brv::EbrvObject(brv::kE_INVALIDARG, u"Outlook's application is missing");
  brv::EbrvObject::Check(CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IGlobalInterfaceTable, FTable.put_void()));
  brv::EbrvObject::Check(FTable->RegisterInterfaceInGlobal(FApplication.get(), IID_IDispatch, &FCookie));
}

TOutlookSharedSource::~TOutlookSharedSource() {
  if (FCookie != 0) FTable->RevokeInterfaceFromGlobal(FCookie);
}

outlook::Ref<outlook::_Application> TOutlookSharedSource::GetActiveApplication() {
  if (IsMainThread()) return outlook::WrapApplication(FApplication.get());
  brv::TComPtr<IDispatch> application;
  brv::EbrvObject::Check(
      outlook::RetryWhileBusy([&] { return FTable->GetInterfaceFromGlobal(FCookie, IID_IDispatch, application.put_void()); }));
  return outlook::WrapApplication(application.get());
}

}  // namespace swo
