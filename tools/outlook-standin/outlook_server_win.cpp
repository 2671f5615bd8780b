// Serving the stand-in's Outlook to other apartments and to GetActiveObject.
#include "outlook_server_win.h"

#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "com/com_object.h"
#include "com/registry.h"
#include "foundation/exception.h"
#include "host/outlook_dispatch.h"
#include "platform/wide_win.h"

namespace standin {
namespace {

constexpr char16_t kProgId[] = u"Outlook.Application";

// Every creation hands out the one application, as Outlook does.
class TApplicationFactory final : public brv::TbrvComImplements<brv::TbrvComObject, IClassFactory> {
 public:
  TApplicationFactory(const brv::TbrvComControl& Control, IDispatch* Application)
      : TbrvComImplements(Control), FApplication(brv::TComPtr<IDispatch>::Copy(Application)) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* Outer, REFIID IID, void** Obj) override {
    if (Obj == nullptr) return E_POINTER;
    *Obj = nullptr;
    if (Outer != nullptr) return CLASS_E_NOAGGREGATION;
    return FApplication->QueryInterface(IID, Obj);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
  void* GetInterface(REFIID IID) override {
    if (IsEqualGUID(IID, IID_IClassFactory)) return static_cast<IClassFactory*>(this);
    return TbrvComObject::GetInterface(IID);
  }

 private:
  brv::TComPtr<IDispatch> FApplication;
};

std::u16string GuidText(const GUID& Id) {
  wchar_t text[40] = {};
  StringFromGUID2(Id, text, 40);
  return std::u16string(reinterpret_cast<const char16_t*>(text));
}

std::u16string ClassIdText() { return GuidText(outlook::CLSID_OutlookApplication); }

}  // namespace

TOutlookServer::TOutlookServer(IDispatch* Application, TTypeLibrary TypeLibrary) {
  try {
    Register(Application, TypeLibrary);
  } catch (...) {
    Revoke();
    throw;
  }
}

void TOutlookServer::Register(IDispatch* Application, TTypeLibrary TypeLibrary) {
  // The machine's classes, as Wine does not merge the user's into HKEY_CLASSES_ROOT; a real
  // Outlook's registration is left alone.
  const std::u16string progIdKey = u"Software\\Classes\\" + std::u16string(kProgId);
  brv::TRegKey existing;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, brv::platform::WideCStr(progIdKey), 0, KEY_READ, existing.put()) != ERROR_SUCCESS) {
    FRegistryEntered = true;
    const std::u16string classId = ClassIdText();
    brv::SetRegString(brv::CreateRegKey(HKEY_LOCAL_MACHINE, progIdKey + u"\\CLSID").get(), u"", classId);
    brv::SetRegString(brv::CreateRegKey(HKEY_LOCAL_MACHINE, u"Software\\Classes\\CLSID\\" + classId + u"\\ProgID").get(),
                      u"", kProgId);
  }
  if (TypeLibrary != TTypeLibrary::Missing) FInterfaces.emplace(TypeLibrary == TTypeLibrary::Whole);
  brv::EbrvObject::Check(
      RegisterActiveObject(Application, outlook::CLSID_OutlookApplication, ACTIVEOBJECT_STRONG, &FActiveObject));
  FFactory = brv::TComPtr<IClassFactory>::Copy(brv::TbrvComObject::Create<TApplicationFactory>(Application));
  brv::EbrvObject::Check(CoRegisterClassObject(outlook::CLSID_OutlookApplication, FFactory.get(),
                                               CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &FClassObject));
}

TOutlookServer::~TOutlookServer() { Revoke(); }

void TOutlookServer::Revoke() {
  if (FClassObject != 0) CoRevokeClassObject(FClassObject);
  if (FActiveObject != 0) RevokeActiveObject(FActiveObject, nullptr);
  FInterfaces.reset();
  if (!FRegistryEntered) return;
  brv::DeleteRegTree(HKEY_LOCAL_MACHINE, u"Software\\Classes\\" + std::u16string(kProgId));
  brv::DeleteRegTree(HKEY_LOCAL_MACHINE, u"Software\\Classes\\CLSID\\" + ClassIdText());
}

}  // namespace standin
