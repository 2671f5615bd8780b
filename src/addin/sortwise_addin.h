// TbrvSortwiseAddIn: Sortwise in Outlook. When active it loads the profile's rules, gives the
// sorter Outlook's application, shows one ribbon button that opens the rule editor (saving the
// rules when it closes) and, when the settings ask for it, runs one automatic clean-up of old
// mail on a worker thread some time after start-up.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "addin/host_thread_win.h"
#include "com/com_ptr.h"
#include "office/office_addin2.h"
#include "sorting/rules_keeper.h"

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
  const std::u16string& Filename() const;
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
  // Reads the profile's rules; a file that cannot be read leaves the sorter empty and is said
  // in the debugger output, and the button then explains it instead of opening the editor.
  void LoadRules(const std::u16string& Profile);
  void ButtonClick(brv::TbrvObject* Sender);
  void ShowUnreadableRules(HWND Owner);
  // Writes Rules when Windows ends the session with the editor open: the process may end as
  // soon as this returns, and no box can be answered any more.
  void SaveAtSessionEnd(const TSortwise& Rules) noexcept;
  // At shut-down, rules whose last save failed are saved again, or else kept in a recovery
  // copy; the user is told once.
  void SaveUnsavedRules() noexcept;
  // Sets the button's state on the host's thread, whichever thread asks.
  void PostButtonEnabled(bool Enabled);
  void StartAutoCleanUp();
  // Waits for the worker to end, serving the calls it makes to the host's thread meanwhile.
  void WaitForWorker();
  static unsigned __stdcall AutoCleanUp(void* AddIn) noexcept;

  // Shared with an open editor, which keeps the rules it edits even when a reconnection reads
  // them anew meanwhile.
  std::shared_ptr<TSortwise> FSortwise;
  std::optional<TSwoRulesKeeper> FRules;  // from Initialize on
  brv::TbrvOfficeCommandBar* FGroup = nullptr;  // owned by the command model
  brv::TbrvOfficeCommand* FButton = nullptr;
  HANDLE FEvent = nullptr;
  HANDLE FThread = nullptr;
  THostThreadQueue FHostThread;
  bool FClicked = false;       // a click is being served
  TfrmMain* FEditor = nullptr;  // the rule editor while it is open
};

}  // namespace swo
