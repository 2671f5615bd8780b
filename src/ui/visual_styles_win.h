// Common controls version 6 for this module's windows, whatever the host process's manifest
// says: the module carries its own manifest (resource 2, see ui.rc), and its activation context
// is active while the windows are made and while their modal loops run.
#pragma once

#include <windows.h>

namespace swo {

class TVisualStylesScope {
 public:
  // Activates this module's manifest context for the scope and registers the common control
  // classes in it; a module without the manifest runs with the process's controls.
  TVisualStylesScope() noexcept;
  ~TVisualStylesScope();
  TVisualStylesScope(const TVisualStylesScope&) = delete;
  TVisualStylesScope& operator=(const TVisualStylesScope&) = delete;

 private:
  ULONG_PTR FCookie = 0;
  bool FActive = false;
};

// The module (DLL or program) this code was linked into: its resources hold the images.
HINSTANCE ThisModule() noexcept;

}  // namespace swo
