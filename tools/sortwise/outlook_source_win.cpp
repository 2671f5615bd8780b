// The running Outlook through COM, for the tool beside it.
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include "com/com_ptr.h"
#include "foundation/exception.h"
#include "foundation/text.h"
#include "host/outlook_com_source.h"
#include "host/outlook_dispatch.h"
#include "host/outlook_retry_win.h"
#include "mail_source.h"

namespace sortwise_tool {
namespace {

// Holds this thread's COM initialisation for as long as the objects reached through it live.
class TComApartment {
 public:
  TComApartment() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    brv::EbrvObject::Check(hr);
    FInitialized = true;
  }
  ~TComApartment() {
    if (FInitialized) CoUninitialize();
  }
  TComApartment(const TComApartment&) = delete;
  TComApartment& operator=(const TComApartment&) = delete;

 private:
  bool FInitialized = false;
};

// Only IDispatch is asked for: it reaches this process whatever state Office's registration
// of its own interfaces is in.
brv::TComPtr<IDispatch> RunningOrNewOutlook() {
  const CLSID id = swo::OutlookClassId();
  brv::TComPtr<IDispatch> application;
  brv::TComPtr<IUnknown> running;
  if (SUCCEEDED(GetActiveObject(id, nullptr, running.put())) && running &&
      SUCCEEDED(outlook::RetryWhileBusy([&] { return running->QueryInterface(IID_IDispatch, application.put_void()); })) &&
      application)
    return application;
  const HRESULT hr = outlook::RetryWhileBusy(
      [&] { return CoCreateInstance(id, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, application.put_void()); });
  if (FAILED(hr)) {
    std::u16string reason = brv::EbrvObject::ErrorMessage(hr);
    if (reason.empty()) reason = brv::HexCode(static_cast<uint32_t>(hr));
    throw brv::EbrvObject(hr, u"Outlook is not running and could not be started: " + reason);
  }
  return application;
}

// Outlook refuses calls while it is busy: the tool waits for it (a minute of refusals in a
// row, SORTWISE_BUSY_PATIENCE_MS), also through COM's own retry where Windows asks this
// thread's message filter.
class TOutlookSource final : public TMailSource {
 public:
  TOutlookSource() : FApplication(outlook::WrapApplication(RunningOrNewOutlook().get())) {}

  outlook::Ref<outlook::_Application> Application() override { return FApplication; }
  std::u16string Kind() const override { return u"outlook"; }
  std::u16string MailboxFile() const override { return {}; }
  void Save(const std::u16string&) override {}

 private:
  TComApartment FApartment;  // first in, last out
  outlook::TBusyPatience FPatience{outlook::BusyPatienceMs(), nullptr};
  outlook::TRetryingMessageFilter FFilter;
  outlook::Ref<outlook::_Application> FApplication;
};

}  // namespace

std::unique_ptr<TMailSource> ConnectOutlook() { return std::make_unique<TOutlookSource>(); }

}  // namespace sortwise_tool
