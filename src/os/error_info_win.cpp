#include <windows.h>
#include <oleauto.h>

#include <memory>

#include "os/error_info.h"

namespace brv::os {
namespace {

// The references and strings below are released also when a copy runs out of memory.
struct TRelease {
  void operator()(IUnknown* Object) const { Object->Release(); }
};
template <class T>
using TOwned = std::unique_ptr<T, TRelease>;
using TOwnedBstr = std::unique_ptr<OLECHAR, decltype([](BSTR Text) { SysFreeString(Text); })>;

}  // namespace

bool SetThreadErrorDescription(std::u16string_view Description) {
  ICreateErrorInfo* made = nullptr;
  if (FAILED(CreateErrorInfo(&made))) return false;
  const TOwned<ICreateErrorInfo> create(made);
  const std::u16string text(Description);
  create->SetDescription(const_cast<LPOLESTR>(reinterpret_cast<const wchar_t*>(text.c_str())));
  IErrorInfo* asked = nullptr;
  if (FAILED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&asked)))) return false;
  const TOwned<IErrorInfo> info(asked);
  SetErrorInfo(0, info.get());
  return true;
}

std::optional<std::u16string> TakeThreadErrorDescription() {
  IErrorInfo* taken = nullptr;
  if (GetErrorInfo(0, &taken) != S_OK || taken == nullptr) return std::nullopt;
  const TOwned<IErrorInfo> info(taken);
  BSTR description = nullptr;
  if (FAILED(info->GetDescription(&description)) || description == nullptr) return std::u16string();
  const TOwnedBstr owned(description);
  return std::u16string(reinterpret_cast<const char16_t*>(description), SysStringLen(description));
}

}  // namespace brv::os
