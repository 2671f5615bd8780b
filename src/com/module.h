// The module (DLL or program) this code is linked into.
#pragma once

#include <windows.h>

#include <string>

namespace brv {

// The module's handle, found from an address inside it; needs no DllMain.
HMODULE ThisModule();
// The module's full file path.
std::u16string ThisModuleFileName();

}  // namespace brv
