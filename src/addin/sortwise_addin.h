// TbrvSortwiseAddIn: Sortwise in Outlook. When active it loads the profile's rules, gives the
// sorter Outlook's application, shows one ribbon button that opens the rule editor (saving the
// rules when it closes) and, when the settings ask for it, runs one automatic clean-up of old
// mail on a worker thread some time after start-up.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "addin/host_thread_win.h"
#include "com/com_ptr.h"
#include "office/office_addin2.h"

namespace swo {

class TSortwise;
class TfrmMain;

class TbrvSortwiseAddIn : public brv::TbrvOfficeAddIn2 {
 public:
  explicit TbrvSortwiseAddIn(const brv::TbrvComControl& Control);
  ~TbrvSortwiseAddIn() override;

  // The host's application as Outlook's _Application; null while disconnected. A host whose
  // application is not Outlook's raises EbrvIntfCast.
  brv::TComPtr<IDispatch> Application() const;
  // The sorter, the profile's rules file (empty before Initialize) and the ribbon button (null
  // before Initialize and after Shutdown).
  TSortwise& Sortwise() const { return *FSortwise; }
  const std::u16string& Filename() const { return FFilename; }
  brv::TbrvOfficeCommand* Button() const { return FButton; }

  // The button is made as soon as the add-in is connected: a host may ask for the ribbon's
  // markup before it completes the start-up.
  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode, IDispatch* AddInInst,
                                         SAFEARRAY** custom) override;
  void Initialize() override;
  void Shutdown() override;

  // The automatic clean-up run, on the worker: mail received up to the cut-off of "Auto.Filter"
  // days back is moved, as long as the cancel event stays unsignalled; the button is disabled
  // meanwhile.
  virtual void DoExecute();

 private:
  void CreateButton();
  void ButtonClick(brv::TbrvObject* Sender);
  // Sets the button's state on the host's thread, whichever thread asks.
  void PostButtonEnabled(bool Enabled);
  void StartAutoCleanUp();
  // Waits for the worker to end, serving the calls it makes to the host's thread meanwhile.
  void WaitForWorker();
  static unsigned __stdcall AutoCleanUp(void* AddIn) noexcept;

  std::unique_ptr<TSortwise> FSortwise;
  std::u16string FFilename;
  brv::TbrvOfficeCommandBar* FGroup = nullptr;  // owned by the command model
  brv::TbrvOfficeCommand* FButton = nullptr;
  HANDLE FEvent = nullptr;
  HANDLE FThread = nullptr;
  THostThreadQueue FHostThread;
  bool FClicked = false;       // a click is being served
  TfrmMain* FEditor = nullptr;  // the rule editor while it is open
};

}  // namespace swo
