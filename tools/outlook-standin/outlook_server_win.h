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

// What there is of Office's type library registration, which lets Outlook's own interfaces
// cross apartments: all of it, all but _MailItem (damaged in part), or nothing (only IDispatch
// crosses).
enum class TTypeLibrary { Whole, WithoutMailItem, Missing };

class TOutlookServer {
 public:
  // Raises when a registration fails.
  explicit TOutlookServer(IDispatch* Application, TTypeLibrary TypeLibrary = TTypeLibrary::Whole);
  ~TOutlookServer();
  TOutlookServer(const TOutlookServer&) = delete;
  TOutlookServer& operator=(const TOutlookServer&) = delete;

 private:
  void Register(IDispatch* Application, TTypeLibrary TypeLibrary);
  void Revoke();

  bool FRegistryEntered = false;
  std::optional<TDispinterfaceLibrary> FInterfaces;
  DWORD FActiveObject = 0;
  DWORD FClassObject = 0;
  brv::TComPtr<IClassFactory> FFactory;
};

}  // namespace standin
