#include "com/message_filter.h"

namespace brv {

TbrvMessageFilter::TbrvMessageFilter() { FRegistered = SUCCEEDED(CoRegisterMessageFilter(this, &FPrevious)); }

TbrvMessageFilter::~TbrvMessageFilter() {
  if (!FRegistered) return;
  IMessageFilter* ours = nullptr;
  CoRegisterMessageFilter(FPrevious, &ours);
  if (FPrevious != nullptr) FPrevious->Release();
}

HRESULT STDMETHODCALLTYPE TbrvMessageFilter::QueryInterface(REFIID Id, void** Object) {
  if (Object == nullptr) return E_POINTER;
  if (IsEqualIID(Id, IID_IUnknown) || IsEqualIID(Id, IID_IMessageFilter)) {
    *Object = static_cast<IMessageFilter*>(this);
    return S_OK;
  }
  *Object = nullptr;
  return E_NOINTERFACE;
}

}  // namespace brv
