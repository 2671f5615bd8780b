// The add-in's life with its host: connection, start-up, the button, shut-down.
#include "addin/sortwise_addin.h"

#include "foundation/exception.h"
#include "host/outlook_dispatch.h"
#include "host/outlook_shared_source.h"
#include "sorting/sortwise.h"
#include "ui/application.h"
#include "ui/form_win.h"
#include "ui/handles_win.h"
#include "ui/main_window_win.h"
#include "ui/visual_styles_win.h"

namespace swo {
namespace {

constexpr char16_t kTitle[] = u"Brevanta Outlook Sortwise";

// The windows' title and icon, the icon from this module's "APPICON". The icon lives as long
// as the module.
void SetUpApplication() {
  SetApplicationTitle(kTitle);
  static const TUniqueIcon Icon(
      static_cast<HICON>(LoadImageW(ThisModule(), L"APPICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
  SetApplicationIcon(Icon.get());
}

}  // namespace

TbrvSortwiseAddIn::TbrvSortwiseAddIn(const brv::TbrvComControl& Control) : TbrvOfficeAddIn2(Control) {
  FEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (FEvent == nullptr) brv::EbrvObject::Check(brv::TbrvOsError{GetLastError()});
  FSortwise.reset(TSortwise::Create());
}

TbrvSortwiseAddIn::~TbrvSortwiseAddIn() {
  FSortwise.reset();
  if (FThread != nullptr) CloseHandle(FThread);
  if (FEvent != nullptr) CloseHandle(FEvent);
}

brv::TComPtr<IDispatch> TbrvSortwiseAddIn::Application() const {
  IUnknown* Host = TbrvOfficeAddIn::Application();
  if (Host == nullptr) return {};
  brv::TComPtr<IDispatch> Outlook;
  if (FAILED(Host->QueryInterface(outlook::IID__Application, Outlook.put_void())) || !Outlook)
    throw brv::EbrvIntfCast();
  return Outlook;
}

HRESULT STDMETHODCALLTYPE TbrvSortwiseAddIn::OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                                                          IDispatch* AddInInst, SAFEARRAY** custom) {
  try {
    // Before the inherited connection: for a connection after start-up it runs Initialize.
    if (FButton == nullptr) CreateButton();
  } catch (...) {
    return SafeCallException(std::current_exception());
  }
  return TbrvOfficeAddIn2::OnConnection(Application, ConnectMode, AddInInst, custom);
}

void TbrvSortwiseAddIn::CreateButton() {
  // One group for the add-in's life: a reconnection puts the new button into it again.
  if (FGroup == nullptr) {
    FGroup = CommandBars().Add(u"");
    FGroup->SetCaption(u"Brevanta");
  }
  FButton = FGroup->Add(u"");
  FButton->SetSize(brv::ocsLarge);
  FButton->SetCaption(u"Sortwise");
  FButton->SetHint(u"Brevanta Outlook Sortwise");
  FButton->SetOnClick([this](brv::TbrvObject* Sender) { ButtonClick(Sender); });
  // Shown once the start-up has loaded the rules: an editor opened before would edit an empty
  // model that the start-up then replaces.
  FButton->SetVisible(false);
}

void TbrvSortwiseAddIn::Initialize() {
  try {
    SetUpApplication();
    const brv::TComPtr<IDispatch> Outlook = Application();
    const outlook::Ref<outlook::_Application> Wrapped = outlook::WrapApplication(Outlook.get());
    LoadRules(Wrapped->Session()->CurrentProfileName());
    FSortwise->SetApplication_(Wrapped);
    // The worker reaches Outlook only through the application handed to the add-in: any other
    // is untrusted, and every sender it read would make Outlook ask the user.
    FSortwise->SetApplicationSource(std::make_shared<TOutlookSharedSource>(Outlook.get()));
    if (FButton == nullptr) CreateButton();
    if (FRules->LoadFailure().empty() && FSortwise->Config().GetAsBoolean(kAutoEnabled)) StartAutoCleanUp();
    FButton->SetVisible(true);
  } catch (...) {
    // A host that took the markup at connection already shows the button: a failed start-up
    // must not leave it there to be pressed.
    if (FButton != nullptr) FButton->SetVisible(false);
    throw;
  }
}

void TbrvSortwiseAddIn::ButtonClick(brv::TbrvObject*) {
  if (FButton == nullptr || !FButton->Visible()) return;
  // One editor at a time: a click that still arrives while it is open (from another explorer
  // window, which the editor keeps disabled) brings it to the front.
  if (FClicked) {
    if (FEditor != nullptr && FEditor->Handle() != nullptr) SetForegroundWindow(GetLastActivePopup(FEditor->Handle()));
    return;
  }
  // Calls served in the editor's loop may release the add-in: it stays until the click is done.
  class TClick {
   public:
    explicit TClick(TbrvSortwiseAddIn& AddIn) : FAddIn(AddIn) {
      FAddIn.ComAddRef();
      FAddIn.FClicked = true;
    }
    ~TClick() {
      FAddIn.FEditor = nullptr;
      FAddIn.FClicked = false;
      FAddIn.ComRelease();
    }

   private:
    TbrvSortwiseAddIn& FAddIn;
  } Click(*this);
  // Cancels a pending automatic run for good, and stops a running one after the mail in hand;
  // the editor opens once the worker has ended.
  SetEvent(FEvent);
  WaitForWorker();
  const HWND Owner = GetActiveWindow();
  if (!FRules) return;
  if (!FRules->LoadFailure().empty()) return ShowUnreadableRules(Owner);
  const std::shared_ptr<TSortwise> Rules = FSortwise;
  {
    TfrmMain Window(*Rules);
    Window.SetOnSessionEnd([this, &Rules] { SaveAtSessionEnd(*Rules); });
    FEditor = &Window;
    Window.ShowModal(Owner);
    FEditor = nullptr;
  }
  // Outlook shows nobody a callback's error: a rules file that cannot be written is shown here,
  // and the rules stay in memory to be written at the next close, or at shut-down.
  ShowErrorsOver(Owner, [this, &Rules] { FRules->Save(*Rules); });
}

const std::u16string& TbrvSortwiseAddIn::Filename() const {
  static const std::u16string None;
  return FRules ? FRules->Filename() : None;
}

void TbrvSortwiseAddIn::Shutdown() {
  if (FThread != nullptr) {
    SetEvent(FEvent);
    WaitForWorker();
    // A reconnection starts a worker of its own.
    CloseHandle(std::exchange(FThread, nullptr));
  }
  FSortwise->SetApplication_(nullptr);
  FSortwise->SetApplicationSource(nullptr);
  delete std::exchange(FButton, nullptr);
  // After the button has gone: a click meanwhile could open the editor while Outlook closes.
  SaveUnsavedRules();
}

}  // namespace swo
