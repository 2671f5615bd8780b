// Outlook's dispinterfaces (_Application, _MailItem) made known to COM for the run, so that
// their references can cross apartments: a type library written to the temporary folder and
// registered (Wine marshals a dispinterface through oleaut32 only when it has its type).
// Registered while the object lives.
#pragma once

#include <string>

namespace standin {

class TDispinterfaceLibrary {
 public:
  // Raises when the library cannot be made or registered. Without _MailItem it plays a
  // registration damaged in part: the application crosses apartments, mail only as IDispatch.
  explicit TDispinterfaceLibrary(bool WithMailItem = true);
  ~TDispinterfaceLibrary();
  TDispinterfaceLibrary(const TDispinterfaceLibrary&) = delete;
  TDispinterfaceLibrary& operator=(const TDispinterfaceLibrary&) = delete;

 private:
  std::u16string FPath;
  bool FRegistered = false;
};

}  // namespace standin
