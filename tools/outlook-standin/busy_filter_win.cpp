#include "busy_filter_win.h"

#include "foundation/exception.h"

namespace standin {

TBusyFilter::TBusyFilter(DWORD After, DWORD For) : FFrom(GetTickCount64() + After), FUntil(FFrom + For) {
  brv::EbrvObject::Check(CoRegisterMessageFilter(this, &FPrevious));
}

TBusyFilter::~TBusyFilter() {
  IMessageFilter* ours = nullptr;
  CoRegisterMessageFilter(FPrevious, &ours);
  if (FPrevious != nullptr) FPrevious->Release();
}

HRESULT STDMETHODCALLTYPE TBusyFilter::QueryInterface(REFIID Id, void** Object) {
  if (Object == nullptr) return E_POINTER;
  if (IsEqualIID(Id, IID_IUnknown) || IsEqualIID(Id, IID_IMessageFilter)) {
    *Object = static_cast<IMessageFilter*>(this);
    return S_OK;
  }
  *Object = nullptr;
  return E_NOINTERFACE;
}

DWORD STDMETHODCALLTYPE TBusyFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) {
  const ULONGLONG now = GetTickCount64();
  if (now < FFrom || now >= FUntil) return SERVERCALL_ISHANDLED;
  ++FRefused;
  return SERVERCALL_REJECTED;
}

}  // namespace standin
