// Makes this process the running Outlook for the run: its ProgID and class id in the
// registry, its dispinterfaces registered for marshalling (unless asked to play an Office
// whose type library registration is damaged, where only IDispatch crosses apartments), its
// application object in the running object table and as the class object that other
// apartments create it through. Everything is taken back when the object goes.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <optional>

#include "com/com_ptr.h"
#include "dispinterface_library_win.h"

namespace standin {

class TOutlookServer {
 public:
  // Raises when a registration fails.
  explicit TOutlookServer(IDispatch* Application, bool RegisterInterfaces = true);
  ~TOutlookServer();
  TOutlookServer(const TOutlookServer&) = delete;
  TOutlookServer& operator=(const TOutlookServer&) = delete;

 private:
  void Register(IDispatch* Application, bool RegisterInterfaces);
  void Revoke();

  bool FRegistryEntered = false;
  std::optional<TDispinterfaceLibrary> FInterfaces;
  DWORD FActiveObject = 0;
  DWORD FClassObject = 0;
  brv::TComPtr<IClassFactory> FFactory;
};

}  // namespace standin
