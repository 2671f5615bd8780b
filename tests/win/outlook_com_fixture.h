// The clean-up tests through COM: the sorter reaches the fixture's substitute store through the
// IDispatch adapter and the stand-in's object model, in the test's own apartment.
#pragma once

#include <windows.h>

#include <objbase.h>

#include "host/memory_store.h"
#include "host/outlook_dispatch.h"
#include "object_model_win.h"

namespace swo::test {

// Outlook's application for the store, bound late through its object model.
inline outlook::Ref<outlook::_Application> ThroughCom(const outlook::Ref<outlook::TMemoryOutlook>& Outlook) {
  // The test thread plays Outlook's main thread, a single-threaded apartment.
  static const HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  (void)apartment;
  return outlook::WrapApplication(standin::CreateOutlookApplication(Outlook->Application()).get());
}

}  // namespace swo::test
