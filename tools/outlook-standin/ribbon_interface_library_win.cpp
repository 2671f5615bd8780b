// The type library of Office's IRibbonUI for the run.
#include "ribbon_interface_library_win.h"

#include <windows.h>

#include <oleauto.h>

#include <string>

#include "com/com_ptr.h"
#include "foundation/exception.h"
#include "host/office.h"
#include "platform/wide_win.h"

namespace standin {
namespace {

using brv::EbrvObject;

constexpr GUID kLibraryId = {0x5c0b8e14, 0x2a6f, 0x4d37, {0x9e, 0x81, 0x0f, 0x4b, 0x6a, 0x2d, 0x7c, 0x95}};
constexpr SYSKIND kSysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
constexpr IID kStdOle = {0x00020430, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// IRibbonUI's methods after IDispatch's, in vtable order, with their argument names (all BSTR).
struct TMethod {
  const wchar_t* Names[3];  // the method, then its arguments
  UINT Arguments;
};
constexpr TMethod kMethods[] = {{{L"Invalidate"}, 0},
                                {{L"InvalidateControl", L"ControlID"}, 1},
                                {{L"InvalidateControlMso", L"ControlID"}, 1},
                                {{L"ActivateTab", L"ControlID"}, 1},
                                {{L"ActivateTabMso", L"ControlID"}, 1},
                                {{L"ActivateTabQ", L"ControlID", L"Namespace"}, 2}};

std::u16string LibraryPath() {
  wchar_t folder[MAX_PATH + 1] = {};
  EbrvObject::Check(GetTempPathW(MAX_PATH + 1, folder) != 0);
  return brv::platform::FromWide(folder) + u"sortwise-standin-ribbon-" +
         (sizeof(void*) == 8 ? u"64" : u"32") + u"-" +
         brv::platform::FromWide(std::to_wstring(GetCurrentProcessId()).c_str()) + u".tlb";
}

void AddMethod(ICreateTypeInfo& Info, UINT Index, const TMethod& Method) {
  ELEMDESC arguments[2] = {};
  for (UINT i = 0; i < Method.Arguments; ++i) {
    arguments[i].tdesc.vt = VT_BSTR;
    arguments[i].paramdesc.wParamFlags = PARAMFLAG_FIN;
  }
  FUNCDESC function{};
  function.memid = static_cast<MEMBERID>(Index + 1);
  function.funckind = FUNC_PUREVIRTUAL;
  function.invkind = INVOKE_FUNC;
  function.callconv = CC_STDCALL;
  function.cParams = static_cast<SHORT>(Method.Arguments);
  function.lprgelemdescParam = arguments;
  function.elemdescFunc.tdesc.vt = VT_HRESULT;
  EbrvObject::Check(Info.AddFuncDesc(Index, &function));
  EbrvObject::Check(
      Info.SetFuncAndParamNames(Index, const_cast<LPOLESTR*>(Method.Names), Method.Arguments + 1));
}

// IRibbonUI as a dual interface, as Office's library has it.
void WriteLibrary(const std::u16string& Path) {
  brv::TComPtr<ICreateTypeLib2> library;
  EbrvObject::Check(CreateTypeLib2(kSysKind, brv::platform::WideCStr(Path), library.put()));
  EbrvObject::Check(library->SetGuid(kLibraryId));
  EbrvObject::Check(library->SetVersion(1, 0));
  EbrvObject::Check(library->SetName(const_cast<LPOLESTR>(L"OfficeStandin")));
  brv::TComPtr<ITypeLib> stdole;
  EbrvObject::Check(LoadRegTypeLib(kStdOle, 2, 0, 0, stdole.put()));
  brv::TComPtr<ITypeInfo> dispatch;
  EbrvObject::Check(stdole->GetTypeInfoOfGuid(IID_IDispatch, dispatch.put()));
  brv::TComPtr<ICreateTypeInfo> info;
  EbrvObject::Check(library->CreateTypeInfo(const_cast<LPOLESTR>(L"IRibbonUI"), TKIND_INTERFACE, info.put()));
  EbrvObject::Check(info->SetGuid(__uuidof(IRibbonUI)));
  EbrvObject::Check(info->SetTypeFlags(TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION));
  HREFTYPE base = 0;
  EbrvObject::Check(info->AddRefTypeInfo(dispatch.get(), &base));
  EbrvObject::Check(info->AddImplType(0, base));
  for (UINT i = 0; i < sizeof kMethods / sizeof kMethods[0]; ++i) AddMethod(*info.get(), i, kMethods[i]);
  EbrvObject::Check(info->LayOut());
  EbrvObject::Check(library->SaveAllChanges());
}

}  // namespace

TRibbonInterfaceLibrary::TRibbonInterfaceLibrary() {
  // Where Office itself is installed, its own registration stays as it is.
  HKEY existing = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Interface\\{000C03A7-0000-0000-C000-000000000046}", 0, KEY_READ,
                    &existing) == ERROR_SUCCESS) {
    RegCloseKey(existing);
    return;
  }
  FPath = LibraryPath();
  try {
    WriteLibrary(FPath);
    brv::TComPtr<ITypeLib> library;
    EbrvObject::Check(LoadTypeLibEx(brv::platform::WideCStr(FPath), REGKIND_NONE, library.put()));
    // Registers the interface too, with oleaut32's type library marshaller.
    std::u16string path = FPath;
    EbrvObject::Check(RegisterTypeLib(library.get(), reinterpret_cast<LPOLESTR>(path.data()), nullptr));
    FRegistered = true;
  } catch (...) {
    DeleteFileW(brv::platform::WideCStr(FPath));
    throw;
  }
}

TRibbonInterfaceLibrary::~TRibbonInterfaceLibrary() {
  if (!FRegistered) return;
  UnRegisterTypeLib(kLibraryId, 1, 0, 0, kSysKind);
  DeleteFileW(brv::platform::WideCStr(FPath));
}

}  // namespace standin
