// Sortwise.dll's start-up: its one class factory enters the module's server when loaded.
#include <windows.h>

#include "addin/sortwise_addin_factory.h"
#include "foundation/interfaced_object.h"

BOOL WINAPI DllMain(HINSTANCE Instance, DWORD Reason, LPVOID) {
  if (Reason != DLL_PROCESS_ATTACH) return TRUE;
  try {
    DisableThreadLibraryCalls(Instance);
    brv::TbrvInterfacedObject::Create<swo::TbrvSortwiseAddInFactory>();
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}
