// Finding Outlook through COM.
#include "host/outlook_com_source.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include "com/com_ptr.h"
#include "foundation/exception.h"
#include "host/outlook_dispatch.h"

namespace swo {

CLSID OutlookClassId() {
  CLSID id;
  if (SUCCEEDED(CLSIDFromProgID(L"Outlook.Application", &id))) return id;
  return outlook::CLSID_OutlookApplication;
}

outlook::Ref<outlook::_Application> TOutlookComSource::GetActiveApplication() {
  const CLSID id = OutlookClassId();
  brv::TComPtr<IUnknown> running;
  if (FAILED(GetActiveObject(id, nullptr, running.put()))) return nullptr;
  brv::TComPtr<IDispatch> application;
  brv::EbrvObject::Check(running->QueryInterface(outlook::IID__Application, application.put_void()));
  return outlook::WrapApplication(application.get());
}

outlook::Ref<outlook::_Application> TOutlookComSource::CreateApplication() {
  const CLSID id = OutlookClassId();
  brv::TComPtr<IDispatch> application;
  brv::EbrvObject::Check(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                    outlook::IID__Application, application.put_void()));
  return outlook::WrapApplication(application.get());
}

}  // namespace swo
