// Office's IRibbonUI made known to COM while add-ins run, so that an add-in can marshal the
// host's ribbon to a thread of its own, as Office's registered type library allows: a type
// library describing the dual interface, written to the temporary folder and registered (the
// interface then crosses apartments through oleaut32's type library marshaller). Registered
// while the object lives.
#pragma once

#include <string>

namespace standin {

class TRibbonInterfaceLibrary {
 public:
  // Raises when the library cannot be made or registered.
  TRibbonInterfaceLibrary();
  ~TRibbonInterfaceLibrary();
  TRibbonInterfaceLibrary(const TRibbonInterfaceLibrary&) = delete;
  TRibbonInterfaceLibrary& operator=(const TRibbonInterfaceLibrary&) = delete;

 private:
  std::u16string FPath;
  bool FRegistered = false;
};

}  // namespace standin
