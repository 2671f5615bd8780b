#include "addin_host.h"

#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <optional>

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "com/registry.h"
#include "com/variant.h"
#include "foundation/exception.h"
#include "foundation/text.h"
#include "host/office.h"
#include "host_objects.h"
#include "host_output.h"
#include "main_window_win.h"
#include "platform/wide_win.h"
#include "ribbon_interface_library_win.h"
#include "ribbon_markup.h"

namespace standin {

using brv::TBstr;
using brv::TComPtr;
using brv::TVariant;

namespace {

constexpr char16_t kAddInsKey[] = u"Software\\Microsoft\\Office\\Outlook\\Addins";
constexpr char16_t kExplorerRibbon[] = u"Microsoft.Outlook.Explorer";
constexpr DWORD kLoadAtStartup = 3;

std::string Utf8(const std::u16string& Text) { return brv::Utf16ToUtf8(Text); }

void Print(const std::string& Line) { PrintLine(Line); }

std::string Hex(HRESULT Result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(Result));
  return text;
}

std::string Quoted(const std::u16string& Text) { return "\"" + Utf8(Text) + "\""; }

struct TAddInEntry {
  std::u16string ProgId;
  std::u16string FriendlyName;
};

// The add-ins Outlook would load at start-up, in registry order.
std::vector<TAddInEntry> ReadAddInList() {
  std::vector<TAddInEntry> entries;
  brv::TRegKey addIns;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, brv::platform::WideCStr(kAddInsKey), 0, KEY_READ, addIns.put()) !=
      ERROR_SUCCESS)
    return entries;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(addIns.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    DWORD behavior = 0, size = sizeof behavior;
    if (RegGetValueW(addIns.get(), name, L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &behavior, &size) !=
        ERROR_SUCCESS)
      behavior = 0;
    wchar_t friendly[512] = L"";
    DWORD friendlySize = sizeof friendly;
    RegGetValueW(addIns.get(), name, L"FriendlyName", RRF_RT_REG_SZ, nullptr, friendly, &friendlySize);
    const std::u16string progId = brv::platform::FromWide(name, length);
    Print("addin " + Utf8(progId) + " LoadBehavior=" + std::to_string(behavior) +
          " FriendlyName=" + Quoted(brv::platform::FromWide(friendly)));
    if (behavior == kLoadAtStartup) entries.push_back({progId, brv::platform::FromWide(friendly)});
  }
  return entries;
}

// An empty array for the events' custom argument, as the host passes it.
class TCustomArray {
 public:
  TCustomArray() : FArray(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
  ~TCustomArray() {
    if (FArray != nullptr) SafeArrayDestroy(FArray);
  }
  SAFEARRAY** get() { return &FArray; }

 private:
  SAFEARRAY* FArray;
};

// Serves this thread's messages for Milliseconds, as Outlook's idle main thread does: posted
// messages, and the calls other apartments and processes make into this one. AfterMessages runs
// after each batch of them (a refresh asked for meanwhile is carried out at once, as after a
// press). A close request ends the wait early.
void ServeMessages(unsigned long Milliseconds, const std::function<void()>& AfterMessages) {
  Print("wait " + std::to_string(Milliseconds));
  const ULONGLONG end = GetTickCount64() + Milliseconds;
  while (!CloseRequested()) {
    MSG message;
    while (!CloseRequested() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        RequestClose();
        break;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
      AfterMessages();
    }
    // Calls sent to this thread are served inside PeekMessage, without a message to show.
    AfterMessages();
    const ULONGLONG now = GetTickCount64();
    if (now >= end || CloseRequested()) break;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

// One add-in from creation to release.
class TAddInSession {
 public:
  TAddInSession(const TAddInEntry& Entry, const THostOptions& Options, IDispatch* Application)
      : FEntry(Entry), FOptions(Options), FApplication(Application) {}

  bool Run() {
    if (!Create()) return false;
    Connect();
    if (FOptions.MarkupAtConnection) LoadRibbon();
    Check("OnStartupComplete", FConnection->OnStartupComplete(FCustom.get()));
    RefreshIfInvalidated();
    if (!FOptions.MarkupAtConnection) LoadRibbon();
    for (const THostAction& action : FOptions.Actions) {
      if (CloseRequested()) break;
      switch (action.Kind) {
        case THostAction::TKind::Press:
          Press(action.Text);
          break;
        case THostAction::TKind::PressLabel:
          PressLabel(action.Text);
          break;
        case THostAction::TKind::Wait:
          Wait(action.Milliseconds);
          break;
      }
    }
    Shutdown();
    return FOk;
  }

 private:
  bool Check(const std::string& Step, HRESULT Result) {
    Print(Step + " hr=" + Hex(Result));
    if (FAILED(Result)) {
      FOk = false;
      PrintErrorInfo();
    }
    return SUCCEEDED(Result);
  }

  // The description of the thread's COM error object, which a failing add-in sets, as Outlook
  // would show it: "error-info TEXT".
  static void PrintErrorInfo() {
    TComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return;
    TBstr description;
    if (SUCCEEDED(info->GetDescription(description.put())) && description.get() != nullptr)
      Print("error-info " + Quoted(description.Text()));
  }

  bool Create() {
    CLSID classId = {};
    if (!Check("CLSIDFromProgID " + Utf8(FEntry.ProgId),
               CLSIDFromProgID(brv::platform::WideCStr(FEntry.ProgId), &classId)))
      return false;
    if (!Check("CoCreateInstance",
               CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, FAddIn.put_void())))
      return false;
    return Check("QueryInterface IDTExtensibility2",
                 FAddIn->QueryInterface(__uuidof(IDTExtensibility2), FConnection.put_void()));
  }

  void Connect() {
    FComAddIn.reset(brv::TbrvComObject::Create<TComAddIn>(FApplication, FEntry.ProgId, FEntry.FriendlyName));
    FComAddIn->AddRef();
    FComAddIn->SetConnect(true);
    Check("OnConnection mode=1",
          FConnection->OnConnection(FApplication, ext_cm_Startup, static_cast<COMAddIn*>(FComAddIn.get()),
                                    FCustom.get()));
    Print(std::string("COMAddIn.Object ") + (FComAddIn->Object() != nullptr ? "set" : "not set"));
  }

  void LoadRibbon() {
    if (FAddIn->QueryInterface(__uuidof(IRibbonExtensibility), FRibbonExtensibility.put_void()) != S_OK) {
      Print("IRibbonExtensibility none");
      return;
    }
    TBstr markup;
    if (!Check("GetCustomUI " + Utf8(kExplorerRibbon),
               FRibbonExtensibility->GetCustomUI(TBstr(kExplorerRibbon).get(), markup.put())))
      return;
    const std::u16string text = markup.Text();
    Print("markup length=" + std::to_string(text.size()));
    if (text.empty()) return;
    std::u16string error;
    std::optional<TRibbonMarkup> parsed = ReadRibbonMarkup(text, error);
    if (!parsed) {
      Print("markup error " + Quoted(error));
      FOk = false;
      return;
    }
    FMarkup = std::move(*parsed);
    for (const TRibbonGroup& group : FMarkup->Groups)
      Print("group id=" + Utf8(group.Id) + " label=" + Quoted(group.Label) +
            " buttons=" + std::to_string(group.Buttons.size()));
    if (!FMarkup->OnLoad.empty()) {
      FRibbon.reset(brv::TbrvComObject::Create<TRibbonUI>());
      FRibbon->AddRef();
      TVariant result;
      Check("onLoad " + Utf8(FMarkup->OnLoad),
            Call(FMarkup->OnLoad, static_cast<IRibbonUI*>(FRibbon.get()), result));
    }
    ReadButtons();
  }

  // Calls a callback by name with one object argument, as the host does.
  HRESULT Call(const std::u16string& Name, IDispatch* Argument, TVariant& Result) {
    LPOLESTR name = const_cast<LPOLESTR>(brv::platform::WideCStr(Name));
    DISPID id = 0;
    const HRESULT hr = FRibbonExtensibility->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_DISPATCH;
    argument.pdispVal = Argument;
    DISPPARAMS params = {&argument, nullptr, 1, 0};
    return FRibbonExtensibility->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                        Result.put(), nullptr, nullptr);
  }

  std::string Describe(const TVariant& Value) {
    const VARIANT& v = Value.get();
    switch (v.vt) {
      case VT_EMPTY:
        return "(empty)";
      case VT_BSTR:
        return Quoted(TBstr::Text(v.bstrVal));
      case VT_BOOL:
        return v.boolVal ? "true" : "false";
      case VT_DISPATCH:
        return DescribePicture(v.pdispVal);
      default:
        return "(type " + std::to_string(v.vt) + ")";
    }
  }

  static std::string DescribePicture(IDispatch* Object) {
    if (Object == nullptr) return "none";
    TComPtr<IPicture> picture;
    if (FAILED(Object->QueryInterface(IID_IPicture, picture.put_void()))) return "object";
    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    picture->get_Type(&type);
    picture->get_Handle(&handle);
    if (type != PICTYPE_ICON) return "picture type=" + std::to_string(type);
    ICONINFO info = {};
    if (!GetIconInfo(reinterpret_cast<HICON>(static_cast<UINT_PTR>(handle)), &info)) return "icon";
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    const int bits = bitmap.bmBitsPixel;
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    return "icon " + std::to_string(bitmap.bmWidth) + "x" + std::to_string(bitmap.bmHeight) + "x" +
           std::to_string(bits);
  }

  void ReadButtons() {
    if (!FMarkup) return;
    static const std::pair<const char*, const char16_t*> kProperties[] = {{"label", u"getLabel"},
                                                                          {"screentip", u"getScreentip"},
                                                                          {"enabled", u"getEnabled"},
                                                                          {"visible", u"getVisible"},
                                                                          {"image", u"getImage"}};
    for (const TRibbonGroup& group : FMarkup->Groups)
      for (const TRibbonButton& button : group.Buttons) {
        const std::u16string id = button.Attribute(u"id");
        TComPtr<TRibbonControl> control(brv::TbrvComObject::Create<TRibbonControl>(id, FApplication));
        control->AddRef();
        std::string line = "button id=" + Utf8(id) + " size=" + Utf8(button.Attribute(u"size"));
        TShownButton& shown = FShown[id];
        shown = {button.Attribute(u"label"), true};
        for (const auto& [property, attribute] : kProperties) {
          const std::u16string callback = button.Attribute(attribute);
          if (callback.empty()) continue;
          TVariant value;
          const HRESULT hr = Call(callback, static_cast<IRibbonControl*>(control.get()), value);
          line += std::string(" ") + property + "=" + (SUCCEEDED(hr) ? Describe(value) : "error " + Hex(hr));
          if (FAILED(hr)) FOk = false;
          if (SUCCEEDED(hr)) Remember(property, value.get(), shown);
        }
        Print(line);
      }
  }

  // What the ribbon shows of a button since it last read the button's callbacks.
  struct TShownButton {
    std::u16string Label;
    bool Enabled = true;
  };

  static void Remember(std::string_view Property, const VARIANT& Value, TShownButton& Shown) {
    if (Property == "label" && Value.vt == VT_BSTR) Shown.Label = TBstr::Text(Value.bstrVal);
    if (Property == "enabled" && Value.vt == VT_BOOL) Shown.Enabled = Value.boolVal != VARIANT_FALSE;
  }

  void RefreshIfInvalidated() {
    if (!FRibbon) return;
    const int count = FRibbon->TakeInvalidations();
    if (count == 0) return;
    Print("invalidated count=" + std::to_string(count));
    ReadButtons();
  }

  void Press(const std::u16string& Id) {
    const TRibbonButton* found = nullptr;
    if (FMarkup)
      for (const TRibbonGroup& group : FMarkup->Groups)
        for (const TRibbonButton& button : group.Buttons)
          if (button.Attribute(u"id") == Id && found == nullptr) found = &button;
    if (found == nullptr || found->Attribute(u"onAction").empty()) {
      Print("press " + Utf8(Id) + " no such button");
      FOk = false;
      return;
    }
    // A button the ribbon shows disabled cannot be pressed.
    if (const auto shown = FShown.find(Id); shown != FShown.end() && !shown->second.Enabled) {
      Print("press " + Utf8(Id) + " disabled");
      FOk = false;
      return;
    }
    TComPtr<TRibbonControl> control(brv::TbrvComObject::Create<TRibbonControl>(Id, FApplication));
    control->AddRef();
    TVariant result;
    std::optional<TEditorDriver> driver;
    if (!FOptions.Editor.Actions.empty()) driver.emplace(FOptions.Editor);
    const HRESULT hr =
        Call(found->Attribute(u"onAction"), static_cast<IRibbonControl*>(control.get()), result);
    // The driver's lines belong before the press's own: the press returned after them.
    if (driver && !driver->Finish()) FOk = false;
    Check("press " + Utf8(Id), hr);
    RefreshIfInvalidated();
  }

  // Presses the first button, in markup order, whose label the ribbon shows is Label.
  void PressLabel(const std::u16string& Label) {
    if (FMarkup)
      for (const TRibbonGroup& group : FMarkup->Groups)
        for (const TRibbonButton& button : group.Buttons) {
          const std::u16string id = button.Attribute(u"id");
          const auto shown = FShown.find(id);
          if (shown != FShown.end() && shown->second.Label == Label) return Press(id);
        }
    Print("press-label " + Quoted(Label) + " no such button");
    FOk = false;
  }

  void Wait(unsigned long Milliseconds) {
    ServeMessages(Milliseconds, [this] { RefreshIfInvalidated(); });
  }

  void Shutdown() {
    Check("OnBeginShutdown", FConnection->OnBeginShutdown(FCustom.get()));
    Check("OnDisconnection", FConnection->OnDisconnection(ext_dm_HostShutdown, FCustom.get()));
    FComAddIn->SetConnect(false);
    FComAddIn->put_Object(nullptr);
    FRibbonExtensibility.reset();
    FConnection.reset();
    const ULONG remaining = FAddIn.detach()->Release();
    Print("released refs=" + std::to_string(remaining));
    if (remaining != 0) FOk = false;
    if (FRibbon && FRibbon->CalledFromAnotherThread()) FOk = false;
  }

  const TAddInEntry& FEntry;
  const THostOptions& FOptions;
  IDispatch* FApplication;
  TCustomArray FCustom;
  bool FOk = true;
  TComPtr<IUnknown> FAddIn;
  TComPtr<IDTExtensibility2> FConnection;
  TComPtr<IRibbonExtensibility> FRibbonExtensibility;
  TComPtr<TComAddIn> FComAddIn;
  TComPtr<TRibbonUI> FRibbon;
  std::optional<TRibbonMarkup> FMarkup;
  std::map<std::u16string, TShownButton> FShown;
};

// The actions of an Outlook without add-ins: it waits as any Outlook does; there is no
// button to press.
int RunWithoutAddIns(const THostOptions& Options) {
  bool ok = true;
  for (const THostAction& action : Options.Actions) {
    if (CloseRequested()) break;
    switch (action.Kind) {
      case THostAction::TKind::Press:
        Print("press " + Utf8(action.Text) + " no such button");
        ok = false;
        break;
      case THostAction::TKind::PressLabel:
        Print("press-label " + Quoted(action.Text) + " no such button");
        ok = false;
        break;
      case THostAction::TKind::Wait:
        ServeMessages(action.Milliseconds, [] {});
        break;
    }
  }
  return ok ? 0 : 1;
}

}  // namespace

int RunAddIns(const THostOptions& Options, IDispatch* Application) {
  const std::vector<TAddInEntry> entries = ReadAddInList();
  if (entries.empty()) {
    Print("no add-ins to load");
    return Options.RequireAddIns ? 1 : RunWithoutAddIns(Options);
  }
  TComPtr<IDispatch> application = TComPtr<IDispatch>::Copy(Application);
  if (!application) application = TComPtr<IDispatch>::Copy(brv::TbrvComObject::Create<TApplication>());
  std::optional<TRibbonInterfaceLibrary> ribbonInterface;
  try {
    ribbonInterface.emplace();
  } catch (const brv::Exception& e) {
    Print("error the ribbon interface cannot be registered: " + Utf8(e.Message()));
    return 1;
  }
  bool ok = true;
  for (const TAddInEntry& entry : entries) {
    // A closing Outlook loads nothing more.
    if (CloseRequested()) break;
    Print("load " + Utf8(entry.ProgId));
    try {
      ok = TAddInSession(entry, Options, application.get()).Run() && ok;
    } catch (const std::exception& e) {
      Print(std::string("error ") + e.what());
      ok = false;
    }
  }
  return ok ? 0 : 1;
}

}  // namespace standin
