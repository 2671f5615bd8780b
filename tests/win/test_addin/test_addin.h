// The test add-in: one group with one button, built on the add-in framework. It reports what
// the host does to it on standard output, one line per event.
#pragma once

#include <windows.h>

#include "office/office_addin2.h"

namespace brv::test {

// {3B8F6A52-0E1D-4C47-9A2B-6D5E4F3C2B1A}
inline constexpr CLSID kTestAddInClass = {
    0x3B8F6A52, 0x0E1D, 0x4C47, {0x9A, 0x2B, 0x6D, 0x5E, 0x4F, 0x3C, 0x2B, 0x1A}};
inline constexpr char16_t kTestAddInProgId[] = u"Brevanta.TestAddIn";
inline constexpr char16_t kTestAddInFriendlyName[] = u"Sortwise Test Add-In";

class TTestAddIn : public TbrvOfficeAddIn2 {
 public:
  explicit TTestAddIn(const TbrvComControl& Control);
  ~TTestAddIn() override;

  void Initialize() override;
  void Shutdown() override;

 private:
  void ButtonClick(TbrvObject* Sender);

  int FClicks = 0;
  int FShutdowns = 0;
};

}  // namespace brv::test
