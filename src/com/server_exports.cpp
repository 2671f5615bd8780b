// The four exports of an in-process COM server, over the process-wide factory register. Link
// this object and server_exports.def into each server DLL.
#include <objbase.h>
#include <olectl.h>
#include <windows.h>

#include "com/com_factory.h"
#include "com/com_server.h"
#include "foundation/exception.h"

using brv::ComServer;
using brv::HandleSafeCallException;

STDAPI DllGetClassObject(REFCLSID ClassId, REFIID IID, void** Obj) {
  try {
    brv::TbrvComFactory* const factory = ComServer().Find(ClassId);
    if (factory == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
    return factory->QueryInterface(IID, Obj);
  } catch (...) {
    return HandleSafeCallException();
  }
}

// The server never agrees to be unloaded while the process runs.
STDAPI DllCanUnloadNow() { return S_FALSE; }

STDAPI DllRegisterServer() {
  try {
    ComServer().UpdateRegistry(true);
    return S_OK;
  } catch (...) {
    return HandleSafeCallException();
  }
}

STDAPI DllUnregisterServer() {
  try {
    ComServer().UpdateRegistry(false);
    return S_OK;
  } catch (...) {
    return HandleSafeCallException();
  }
}
