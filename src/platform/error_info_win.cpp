#include <windows.h>
#include <oleauto.h>

#include "platform/error_info.h"
#include "platform/wide_win.h"

namespace brv::platform {

bool SetThreadErrorDescription(std::u16string_view Description) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) return false;
  const std::u16string text(Description);
  create->SetDescription(const_cast<LPOLESTR>(WideCStr(text)));
  IErrorInfo* info = nullptr;
  const HRESULT hr = create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
  create->Release();
  if (FAILED(hr)) return false;
  SetErrorInfo(0, info);
  info->Release();
  return true;
}

std::optional<std::u16string> TakeThreadErrorDescription() {
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return std::nullopt;
  BSTR description = nullptr;
  std::u16string text;
  if (SUCCEEDED(info->GetDescription(&description)) && description != nullptr) {
    text = FromWide(description, SysStringLen(description));
    SysFreeString(description);
  }
  info->Release();
  return text;
}

}  // namespace brv::platform
