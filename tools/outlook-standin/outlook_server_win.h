// Makes this process the running Outlook for the run: its ProgID and class id in the
// registry, its dispinterfaces registered for marshalling, its application object in the running object table and as the class object that
// other apartments create it through. Everything is taken back when the object goes.
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
  explicit TOutlookServer(IDispatch* Application);
  ~TOutlookServer();
  TOutlookServer(const TOutlookServer&) = delete;
  TOutlookServer& operator=(const TOutlookServer&) = delete;

 private:
  void Register(IDispatch* Application);
  void Revoke();

  bool FRegistryEntered = false;
  std::optional<TDispinterfaceLibrary> FInterfaces;
  DWORD FActiveObject = 0;
  DWORD FClassObject = 0;
  brv::TComPtr<IClassFactory> FFactory;
};

}  // namespace standin
