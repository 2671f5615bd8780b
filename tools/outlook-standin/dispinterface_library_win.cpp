// The type library of Outlook's dispinterfaces for the run.
#include "dispinterface_library_win.h"

#include <windows.h>

#include <oleauto.h>

#include "com/com_ptr.h"
#include "foundation/exception.h"
#include "host/outlook_dispatch.h"
#include "platform/wide_win.h"

namespace standin {
namespace {

constexpr GUID kLibraryId = {0x3f9c2b71, 0x6d0e, 0x4a85, {0xb3, 0x1c, 0x57, 0x20, 0xe4, 0x9a, 0x0d, 0x6b}};
constexpr SYSKIND kSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
constexpr IID kStdOle = {0x00020430, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct TDispinterface {
  const wchar_t* Name;
  const IID& Id;
};
constexpr TDispinterface kDispinterfaces[] = {{L"_Application", outlook::IID__Application},
                                              {L"_MailItem", outlook::IID__MailItem}};

std::u16string LibraryPath() {
  wchar_t folder[MAX_PATH + 1] = {};
  brv::EbrvObject::Check(GetTempPathW(MAX_PATH + 1, folder) != 0);
  return brv::platform::FromWide(folder) + u"sortwise-standin-outlook-" +
         (sizeof(void*) == 8 ? u"64" : u"32") + u"-" + brv::platform::FromWide(std::to_wstring(GetCurrentProcessId()).c_str()) +
         u".tlb";
}

// A member-less dispinterface (IDispatch's members only) for each of Outlook's.
void WriteLibrary(const std::u16string& Path, bool WithMailItem) {
  brv::TComPtr<ICreateTypeLib2> library;
  brv::EbrvObject::Check(CreateTypeLib2(kSysKind, brv::platform::WideCStr(Path), library.put()));
  brv::EbrvObject::Check(library->SetGuid(kLibraryId));
  brv::EbrvObject::Check(library->SetVersion(1, 0));
  brv::EbrvObject::Check(library->SetName(const_cast<LPOLESTR>(L"OutlookStandin")));
  brv::TComPtr<ITypeLib> stdole;
  brv::EbrvObject::Check(LoadRegTypeLib(kStdOle, 2, 0, 0, stdole.put()));
  brv::TComPtr<ITypeInfo> dispatch;
  brv::EbrvObject::Check(stdole->GetTypeInfoOfGuid(IID_IDispatch, dispatch.put()));
  for (const TDispinterface& item : kDispinterfaces) {
    if (!WithMailItem && IsEqualGUID(item.Id, outlook::IID__MailItem)) continue;
    brv::TComPtr<ICreateTypeInfo> info;
    brv::EbrvObject::Check(library->CreateTypeInfo(const_cast<LPOLESTR>(item.Name), TKIND_DISPATCH, info.put()));
    brv::EbrvObject::Check(info->SetGuid(item.Id));
    HREFTYPE base = 0;
    brv::EbrvObject::Check(info->AddRefTypeInfo(dispatch.get(), &base));
    brv::EbrvObject::Check(info->AddImplType(0, base));
    brv::EbrvObject::Check(info->LayOut());
  }
  brv::EbrvObject::Check(library->SaveAllChanges());
}

}  // namespace

TDispinterfaceLibrary::TDispinterfaceLibrary(bool WithMailItem) : FPath(LibraryPath()) {
  try {
    WriteLibrary(FPath, WithMailItem);
    brv::TComPtr<ITypeLib> library;
    brv::EbrvObject::Check(LoadTypeLibEx(brv::platform::WideCStr(FPath), REGKIND_NONE, library.put()));
    // Registers the interfaces too, each with oleaut32's dispinterface marshaller.
    std::u16string path = FPath;
    brv::EbrvObject::Check(RegisterTypeLib(library.get(), reinterpret_cast<LPOLESTR>(path.data()), nullptr));
    FRegistered = true;
  } catch (...) {
    DeleteFileW(brv::platform::WideCStr(FPath));
    throw;
  }
}

TDispinterfaceLibrary::~TDispinterfaceLibrary() {
  if (FRegistered) UnRegisterTypeLib(kLibraryId, 1, 0, 0, kSysKind);
  DeleteFileW(brv::platform::WideCStr(FPath));
}

}  // namespace standin
