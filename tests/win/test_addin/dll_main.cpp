// The test add-in DLL: its one factory enters the server when the DLL is loaded.
#include <windows.h>

#include "office/office_addin_factory.h"
#include "test_addin.h"

using namespace brv;

BOOL WINAPI DllMain(HINSTANCE Instance, DWORD Reason, LPVOID) {
  if (Reason != DLL_PROCESS_ATTACH) return TRUE;
  try {
    DisableThreadLibraryCalls(Instance);
    TbrvInterfacedObject::Create<TbrvOfficeAddInFactory>(
        test::kTestAddInClass, TbrvComClass::Of<test::TTestAddIn>(u"TTestAddIn"),
        TbrvOfficeAddInProducts{oapOutlook}, test::kTestAddInFriendlyName, test::kTestAddInProgId);
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}
