// TbrvMessageFilter: the base of a thread's COM message filter (CoRegisterMessageFilter), which
// COM asks about calls coming into a single-threaded apartment and about the thread's own calls
// that the callee refused. Registered for the thread that makes it while it lives; the filter
// that was there before comes back when it goes. By default it handles every call and tries no
// refused call again.
#pragma once

#include <windows.h>

#include <objidl.h>

namespace brv {

class TbrvMessageFilter : public IMessageFilter {
 public:
  TbrvMessageFilter(const TbrvMessageFilter&) = delete;
  TbrvMessageFilter& operator=(const TbrvMessageFilter&) = delete;

  // Owned by its maker, not by COM: the counts are fixed.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Id, void** Object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

 protected:
  // Registers the filter for the calling thread, which must be a single-threaded apartment:
  // where it is not, COM refuses, and Registered() tells.
  TbrvMessageFilter();
  virtual ~TbrvMessageFilter();
  bool Registered() const { return FRegistered; }

 private:
  IMessageFilter* FPrevious = nullptr;
  bool FRegistered = false;
};

}  // namespace brv
