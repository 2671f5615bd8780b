// Sortwise.dll's add-in object in-process, with the stand-in's Outlook object model over a
// substitute mailbox playing Outlook, as strict as Outlook: the application handed to the
// add-in is trusted, the running one in this process's running object table is not (each
// guarded read through it counts as the Object Model Guard's prompt), and a call on any thread
// but this one fails. A host ribbon records every refresh with the thread that asked for it.
// The test thread plays Outlook's main thread and pumps its messages while a run works.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "addin/sortwise_addin.h"
#include "busy_filter_win.h"
#include "com/bstr.h"
#include "com/com_ptr.h"
#include "com/variant.h"
#include "foundation/text.h"
#include "com_fakes.h"
#include "host/memory_store.h"
#include "model_object_win.h"
#include "object_model_win.h"
#include "office_fakes.h"
#include "outlook_server_win.h"
#include "platform/debug_output.h"
#include "platform/wide_win.h"
#include "sorting/sortwise.h"
#include "ui/inbox_addresses.h"

namespace {

using brv::TBstr;
using brv::TComPtr;
using brv::TVariant;
using outlook::TMemoryItemData;

// A host ribbon that notes, for each refresh, whether the button was enabled and whether the
// host's own thread asked.
class TRecordingRibbon : public brv::test::TFakeRibbonUI {
 public:
  explicit TRecordingRibbon(swo::TbrvSortwiseAddIn* const& AddIn) : FAddIn(AddIn), FThread(GetCurrentThreadId()) {}
  HRESULT STDMETHODCALLTYPE Invalidate() override {
    EXPECT_EQ(GetCurrentThreadId(), FThread) << "the ribbon was refreshed from another thread";
    States.push_back(FAddIn != nullptr && FAddIn->Button() != nullptr && FAddIn->Button()->Enabled());
    return TFakeRibbonUI::Invalidate();
  }
  std::vector<bool> States;

 private:
  swo::TbrvSortwiseAddIn* const& FAddIn;  // the fixture's, made after the ribbon
  DWORD FThread;
};

constexpr wchar_t kTitle[] = L"Brevanta Outlook Sortwise";

bool InThisProcess(HWND Window) {
  DWORD process = 0;
  GetWindowThreadProcessId(Window, &process);
  return process == GetCurrentProcessId();
}

// The shown top-level windows of this process of Class with the product's title: the rule
// editors ("TSortwiseForm") or the message boxes ("#32770").
std::vector<HWND> Shown(const wchar_t* Class) {
  std::vector<HWND> found;
  for (HWND window = FindWindowExW(nullptr, nullptr, Class, kTitle); window != nullptr;
       window = FindWindowExW(nullptr, window, Class, kTitle))
    if (IsWindowVisible(window) && InThisProcess(window)) found.push_back(window);
  return found;
}

// A person's patience: up to ten seconds for Done.
template <class F>
bool WaitFor(F&& Done) {
  for (int tries = 0; tries < 1000; ++tries, Sleep(10))
    if (Done()) return true;
  return false;
}

HWND WaitForEditor() {
  HWND editor = nullptr;
  WaitFor([&] {
    const std::vector<HWND> editors = Shown(L"TSortwiseForm");
    editor = editors.empty() ? nullptr : editors.front();
    return editor != nullptr;
  });
  return editor;
}

// Closes every open editor by its frame, innermost first, until none is left.
void CloseEditors() {
  WaitFor([] {
    const std::vector<HWND> editors = Shown(L"TSortwiseForm");
    for (HWND editor : editors) PostMessageW(editor, WM_CLOSE, 0, 0);
    return editors.empty();
  });
}

// The text of a message box, once it is set.
std::u16string MessageText(HWND Box) {
  wchar_t text[1024] = {};
  WaitFor([&] { return GetDlgItemTextW(Box, 0xFFFF, text, 1024) > 0 || !IsWindow(Box); });
  return brv::platform::FromWide(text);
}

BOOL CALLBACK AddWindow(HWND Window, LPARAM Found) {
  reinterpret_cast<std::vector<HWND>*>(Found)->push_back(Window);
  return TRUE;
}

// The top-level windows of Thread.
std::vector<HWND> WindowsOfThread(DWORD Thread) {
  std::vector<HWND> windows;
  EnumThreadWindows(Thread, AddWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// A person answers each of the product's message boxes with OK, noting its text, until Done.
template <class F>
void AnswerBoxesUntil(F&& Done, std::vector<std::u16string>& Boxes) {
  WaitFor([&] {
    for (HWND box : Shown(L"#32770")) {
      Boxes.push_back(MessageText(box));
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      WaitFor([&] { return !IsWindow(box); });
    }
    return Done();
  });
}

// A person closes the editor once it shows and answers every box until the press has Returned.
void CloseTheEditorAndAnswerBoxes(std::atomic<bool>& Returned, std::vector<std::u16string>& Boxes) {
  const HWND editor = WaitForEditor();
  if (editor == nullptr) return;
  PostMessageW(editor, WM_CLOSE, 0, 0);
  AnswerBoxesUntil([&] { return Returned.load(); }, Boxes);
}

// A window of the test thread that runs Action when a message reaches it: a left click for an
// explorer window, WM_APP for a message-only one.
class TActionWindow {
 public:
  TActionWindow(bool Explorer, std::function<void()> Action) : FAction(std::move(Action)) {
    static const bool registered = [] {
      WNDCLASSEXW windowClass{};
      windowClass.cbSize = sizeof windowClass;
      windowClass.lpfnWndProc = Procedure;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = L"SortwiseTestExplorer";
      return RegisterClassExW(&windowClass) != 0;
    }();
    EXPECT_TRUE(registered);
    FWindow = CreateWindowExW(0, L"SortwiseTestExplorer", L"Inbox - Outlook", Explorer ? WS_OVERLAPPEDWINDOW | WS_VISIBLE : 0,
                              40, 40, 400, 300, Explorer ? nullptr : HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TActionWindow() { DestroyWindow(FWindow); }
  HWND Handle() const { return FWindow; }
  // A click on the window's "Sortwise" button, as the mouse makes it; Wait false posts it.
  void Click(bool Wait) const {
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP})
      if (Wait)
        SendMessageW(FWindow, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(20, 20));
      else
        PostMessageW(FWindow, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(20, 20));
  }

 private:
  static LRESULT CALLBACK Procedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
    auto* self = reinterpret_cast<TActionWindow*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (self != nullptr && (Message == WM_LBUTTONUP || Message == WM_APP)) {
      self->FAction();
      return 0;
    }
    return DefWindowProcW(Window, Message, WParam, LParam);
  }

  std::function<void()> FAction;
  HWND FWindow = nullptr;
};

// 2026-11-30 12:00 and 2026-11-01 12:00 as OLE dates: mail from "now" and from a month before.
constexpr double kOld = 46327.5;

// Calls the ribbon callback Name of Ribbon with one object argument, as the host does.
HRESULT InvokeCallback(IDispatch* Ribbon, const std::u16string& Name, IDispatch* Argument, TVariant& Result) {
  LPOLESTR name = const_cast<LPOLESTR>(reinterpret_cast<const wchar_t*>(Name.c_str()));
  DISPID id = 0;
  EXPECT_EQ(Ribbon->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_DISPATCH;
  argument.pdispVal = Argument;
  DISPPARAMS params = {&argument, nullptr, 1, 0};
  return Ribbon->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, Result.put(), nullptr, nullptr);
}

class SortwiseAddInTest : public testing::Test {
 protected:
  void SetUp() override {
    FWork = std::filesystem::temp_directory_path() / ("sortwise-addin-test-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::remove_all(FWork);
    // A "%" in the user's folder must not disturb the rules file's name.
    FAppData = FWork / "100%s user";
    FLocalAppData = FWork / "local";
    SetEnvironmentVariableW(L"AppData", FAppData.wstring().c_str());
    SetEnvironmentVariableW(L"LocalAppData", FLocalAppData.wstring().c_str());
    SetEnvironmentVariableW(L"SORTWISE_AUTO_DELAY_MS", L"0");
    Mailbox = outlook::TMemoryOutlook::Create(Profile());
    const auto store = Mailbox->AddStore(u"Mailbox");
    Inbox = store->AddFolder(u"Inbox");
    Projects = store->AddFolder(u"Projects");
    Served = standin::CreateOutlookApplication(Mailbox->Application(), true);
    Running = standin::CreateOutlookApplication(Mailbox->Application(), false);
    Server.emplace(Running.get());
    standin::ModelStats().GuardPrompts = 0;
    standin::ModelStats().CallsFromOtherThreads = 0;
    AddIn = brv::TbrvComObject::Create<swo::TbrvSortwiseAddIn>();
    AddIn->AddRef();
  }
  void TearDown() override {
    if (AddIn != nullptr) AddIn->Release();
    Server.reset();
    brv::platform::SetDebugSink({});
    SetEnvironmentVariableW(L"SORTWISE_AUTO_DELAY_MS", nullptr);
    std::filesystem::remove_all(FWork);
  }

  // The Outlook profile the add-in runs in.
  virtual std::u16string Profile() const { return u"Work"; }
  std::filesystem::path RulesFolder() const { return FAppData / "Brevanta" / "Sortwise"; }
  std::filesystem::path RulesFile() const { return RulesFolder() / "Work.xml"; }
  // Rules that send mail from ann@example.com to Projects, with these settings.
  void WriteRules(std::initializer_list<std::pair<std::u16string, std::u16string>> Settings) {
    WriteRules(Settings, RulesFile());
  }
  void WriteRules(std::initializer_list<std::pair<std::u16string, std::u16string>> Settings,
                  const std::filesystem::path& File) {
    const std::unique_ptr<swo::TSortwise> rules(swo::TSortwise::Create());
    rules->SetApplication_(Mailbox->Application());
    rules->Add(*Projects)->Add(u"ann@example.com");
    for (const auto& [name, value] : Settings) rules->Config().SetValue(name, value);
    std::filesystem::create_directories(File.parent_path());
    rules->Save(File.u16string());
  }
  // The addresses of the first folder of the rules in File.
  static std::vector<std::u16string> AddressesIn(const std::filesystem::path& File) {
    const std::unique_ptr<swo::TSortwise> saved(swo::TSortwise::Create());
    saved->Load(File.u16string());
    std::vector<std::u16string> addresses;
    if (saved->Count() == 0 || saved->Items(0)->Count() == 0) return addresses;
    const auto* folder = saved->Items(0)->Items(0);
    for (int32_t i = 0; i < folder->Count(); ++i) addresses.push_back(folder->Items(i)->Address());
    return addresses;
  }
  // An edit as the editor makes it: an address added to the first folder.
  void AddAddress(const std::u16string& Address) { AddIn->Sortwise().Items(0)->Items(0)->Add(Address); }
  // Starts up afresh on the rules of WriteRules({}) and edits them: Address added.
  void StartUpAndAdd(const std::u16string& Address) {
    std::filesystem::remove_all(FWork);
    WriteRules({});
    ASSERT_NO_FATAL_FAILURE(StartUp());
    AddAddress(Address);
  }
  // The running Outlook of an Office whose type library registration is damaged: all of it
  // (only IDispatch crosses apartments) or the part of mail.
  void ServeWith(standin::TTypeLibrary TypeLibrary) {
    Server.reset();
    Server.emplace(Running.get(), TypeLibrary);
  }
  void AddMail(std::u16string Subject, double Received,
               outlook::TMemoryItemKind Kind = outlook::TMemoryItemKind::Mail,
               std::u16string Sender = u"ann@example.com") {
    TMemoryItemData data;
    data.Kind = Kind;
    data.Subject = std::move(Subject);
    data.Sender.Type = u"SMTP";
    data.Sender.Address = std::move(Sender);
    data.ReceivedTime = Received;
    Inbox->AddItem(std::move(data));
  }
  std::vector<std::u16string> Subjects(const outlook::Ref<outlook::TMemoryFolder>& Folder) const {
    std::vector<std::u16string> subjects;
    for (const auto& item : Folder->Contents()) subjects.push_back(item->Data().Subject);
    return subjects;
  }

  // The debugger output's lines, from any thread, from now on.
  void CollectDebugLines() {
    brv::platform::SetDebugSink([this](std::u16string_view Line) {
      const std::lock_guard<std::mutex> hold(FLinesLock);
      FLines.emplace_back(Line);
    });
  }
  std::vector<std::u16string> DebugLines() {
    const std::lock_guard<std::mutex> hold(FLinesLock);
    return FLines;
  }
  // What Outlook would have objected to: the guard's prompts, calls outside its thread.
  void ExpectNothingOutlookRefuses() {
    EXPECT_EQ(standin::ModelStats().GuardPrompts.load(), 0u) << "Outlook would have asked the user";
    EXPECT_EQ(standin::ModelStats().CallsFromOtherThreads.load(), 0u);
  }
  // Connects, loads the ribbon and completes the start-up, as Outlook does.
  void StartUp() {
    ASSERT_EQ(Connect(), S_OK);
    LoadRibbon();
    ASSERT_EQ(Start(), S_OK);
  }
  // Starts up, serves Outlook's thread until the automatic run has ended (the button shown, off
  // and on again), and shuts down.
  void RunTheAutomaticCleanUp() {
    ASSERT_NO_FATAL_FAILURE(StartUp());
    ASSERT_TRUE(PumpUntil([&] { return Ribbon.States.size() >= 3; }));
    Disconnect();
  }
  uint64_t ItemsFetched() const { return Mailbox->Calls(outlook::TMemoryCall::ItemsItem); }

  IDTExtensibility2* Connection() { return static_cast<IDTExtensibility2*>(AddIn); }
  HRESULT Connect() { return Connection()->OnConnection(Served.get(), ext_cm_Startup, &ComAddIn, nullptr); }
  HRESULT Start() { return Connection()->OnStartupComplete(nullptr); }
  void Disconnect() {
    EXPECT_EQ(Connection()->OnBeginShutdown(nullptr), S_OK);
    EXPECT_EQ(Connection()->OnDisconnection(ext_dm_HostShutdown, nullptr), S_OK);
  }
  std::u16string Markup() {
    TComPtr<IRibbonExtensibility> ribbon;
    EXPECT_EQ(AddIn->QueryInterface(__uuidof(IRibbonExtensibility), ribbon.put_void()), S_OK);
    TBstr markup;
    EXPECT_EQ(ribbon->GetCustomUI(TBstr(u"Microsoft.Outlook.Explorer").get(), markup.put()), S_OK);
    return markup.Text();
  }
  // Calls a ribbon callback by name with one object argument, as the host does.
  HRESULT Call(const std::u16string& Name, IDispatch* Argument) {
    TVariant result;
    return Call(Name, Argument, result);
  }
  HRESULT Call(const std::u16string& Name, IDispatch* Argument, TVariant& Result) {
    TComPtr<IDispatch> ribbon;
    EXPECT_EQ(AddIn->QueryInterface(__uuidof(IRibbonExtensibility), ribbon.put_void()), S_OK);
    return InvokeCallback(ribbon.get(), Name, Argument, Result);
  }
  void LoadRibbon() { ASSERT_EQ(Call(u"RibbonOnLoad", &Ribbon), S_OK); }
  // Presses the button as the host does, by its onAction callback.
  HRESULT Press() {
    brv::test::TFakeRibbonControl control(AddIn->Button()->Id());
    return Call(AddIn->Button()->Id() + u".onAction", &control);
  }
  // What the host reads from the button's getVisible callback.
  bool ShownByTheRibbon() {
    brv::test::TFakeRibbonControl control(AddIn->Button()->Id());
    TVariant result;
    EXPECT_EQ(Call(AddIn->Button()->Id() + u".getVisible", &control, result), S_OK);
    return result.get().vt == VT_BOOL && result.get().boolVal != VARIANT_FALSE;
  }
  // Presses the button while Person acts on a thread of its own; every editor still open when
  // Person is done is closed, so that the press returns whatever happened.
  template <class F>
  HRESULT PressWhile(F&& Person) {
    std::atomic<bool> returned{false};
    std::thread person([&] {
      Person(returned);
      CloseEditors();
    });
    const HRESULT result = Press();
    returned = true;
    person.join();
    return result;
  }
  // Started with an automatic run due for an old mail, an hour per delay unit: a cancellation
  // that waited for the delay would hang the test.
  void StartWithAPendingRun() {
    SetEnvironmentVariableW(L"SORTWISE_AUTO_DELAY_MS", L"3600000");
    WriteRules({{u"Auto.Enabled", u"True"}, {u"Auto.Filter", u"0"}});
    AddMail(u"Old", kOld);
    ASSERT_NO_FATAL_FAILURE(StartUp());
  }
  // The one refresh is the start-up's, which shows the button.
  void ExpectNoRun() {
    EXPECT_EQ(Ribbon.States, std::vector<bool>{true}) << "the button was disabled for a run";
    EXPECT_EQ(Subjects(Inbox), std::vector<std::u16string>{u"Old"});
  }
  // Serves this thread's messages (the worker's Outlook calls, the button's changes) until
  // Done or ten seconds have passed.
  template <class F>
  bool PumpUntil(F&& Done) {
    const ULONGLONG end = GetTickCount64() + 10000;
    while (!Done()) {
      if (GetTickCount64() > end) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return true;
  }

  brv::test::TApartment Apartment;
  std::filesystem::path FWork, FAppData, FLocalAppData;
  outlook::Ref<outlook::TMemoryOutlook> Mailbox;
  outlook::Ref<outlook::TMemoryFolder> Inbox, Projects;
  TComPtr<IDispatch> Served, Running;
  std::optional<standin::TOutlookServer> Server;
  swo::TbrvSortwiseAddIn* AddIn = nullptr;
  brv::test::TFakeComAddIn ComAddIn;
  TRecordingRibbon Ribbon{AddIn};

 private:
  std::mutex FLinesLock;
  std::vector<std::u16string> FLines;
};

TEST_F(SortwiseAddInTest, StartUpLoadsTheProfilesRulesAndShowsTheButton) {
  WriteRules({});
  ASSERT_EQ(Connect(), S_OK);
  ASSERT_EQ(Start(), S_OK);
  EXPECT_EQ(std::filesystem::path(AddIn->Filename()), RulesFile());
  EXPECT_EQ(AddIn->Sortwise().Count(), 1);
  const std::u16string markup = Markup();
  EXPECT_NE(markup.find(u"label=\"Brevanta\""), std::u16string::npos) << brv::Utf16ToUtf8(markup);
  ASSERT_NE(AddIn->Button(), nullptr);
  EXPECT_EQ(AddIn->Button()->Caption(), u"Sortwise");
  EXPECT_EQ(AddIn->Button()->Hint(), u"Brevanta Outlook Sortwise");
  EXPECT_EQ(AddIn->Button()->Size(), brv::ocsLarge);
  EXPECT_NE(markup.find(u"id=\"" + AddIn->Button()->Id() + u"\""), std::u16string::npos);
  Disconnect();
  EXPECT_EQ(AddIn->Button(), nullptr);
}

TEST_F(SortwiseAddInTest, AHostAskingForTheMarkupRightAfterConnectingGetsTheButton) {
  ASSERT_EQ(Connect(), S_OK);
  ASSERT_NE(AddIn->Button(), nullptr);
  EXPECT_NE(Markup().find(u"id=\"" + AddIn->Button()->Id() + u"\""), std::u16string::npos);
  // Without a rules file the sorter starts empty and no run starts.
  ASSERT_EQ(Start(), S_OK);
  EXPECT_EQ(AddIn->Sortwise().Count(), 0);
  EXPECT_FALSE(AddIn->Sortwise().Config().GetAsBoolean(swo::kAutoEnabled));
  Disconnect();
}

// A rules file that cannot be read is the user's: the start-up goes on without rules and says
// why in the debugger output, the button explains it, no editor opens, no automatic run starts,
// and nothing is ever saved over the file.
TEST_F(SortwiseAddInTest, ABrokenRulesFileIsReportedExplainedByTheButtonAndNeverSavedOver) {
  std::filesystem::create_directories(RulesFile().parent_path());
  const std::string broken = "<Sortwise><configuration><value name=\"Auto.Enabled\">True</value>";
  std::ofstream(RulesFile(), std::ios::binary) << broken;
  AddMail(u"Old", kOld);
  CollectDebugLines();
  ASSERT_NO_FATAL_FAILURE(StartUp());
  const std::vector<std::u16string> lines = DebugLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind(u"Sortwise: the rules could not be read", 0), 0u) << brv::Utf16ToUtf8(lines[0]);
  EXPECT_NE(lines[0].find(u"Work.xml"), std::u16string::npos) << brv::Utf16ToUtf8(lines[0]);
  EXPECT_TRUE(ShownByTheRibbon());
  EXPECT_EQ(AddIn->Sortwise().Count(), 0);

  std::vector<std::u16string> boxes;
  size_t editors = 0;
  EXPECT_EQ(PressWhile([&](std::atomic<bool>& Returned) {
              AnswerBoxesUntil(
                  [&] {
                    editors = std::max(editors, Shown(L"TSortwiseForm").size());
                    return Returned.load();
                  },
                  boxes);
            }),
            S_OK);
  EXPECT_EQ(editors, 0u);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find(RulesFile().u16string()), std::u16string::npos) << brv::Utf16ToUtf8(boxes[0]);
  EXPECT_NE(boxes[0].find(u"leaves this file as it is"), std::u16string::npos) << brv::Utf16ToUtf8(boxes[0]);
  Disconnect();
  std::ifstream in(RulesFile(), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), broken);
  EXPECT_EQ(Ribbon.States, std::vector<bool>{true}) << "an automatic run started without rules";
}

TEST_F(SortwiseAddInTest, TheAutomaticRunMovesOnlyOldMailWithTheButtonDisabledMeanwhile) {
  WriteRules({{u"Auto.Enabled", u"True"}, {u"Auto.Filter", u"7"}});
  AddMail(u"Old", kOld);
  AddMail(u"New", 47000.0);  // 2028: never older than the cut-off
  ASSERT_NO_FATAL_FAILURE(StartUp());
  ASSERT_TRUE(PumpUntil([&] { return Ribbon.States.size() >= 3; }));
  EXPECT_EQ(Ribbon.States, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(Subjects(Projects), std::vector<std::u16string>{u"Old"});
  EXPECT_EQ(Subjects(Inbox), std::vector<std::u16string>{u"New"});
  Disconnect();
}

TEST_F(SortwiseAddInTest, AnEmptyAutoFilterStopsTheRunBeforeAnyMailWithOneDebuggerLine) {
  WriteRules({{u"Auto.Enabled", u"True"}});
  AddMail(u"Old", kOld);
  std::vector<std::u16string> lines;
  brv::platform::SetDebugSink([&](std::u16string_view Line) { lines.emplace_back(Line); });
  ASSERT_NO_FATAL_FAILURE(RunTheAutomaticCleanUp());
  EXPECT_EQ(Ribbon.States, (std::vector<bool>{true, false, true}));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind(u"Sortwise: the automatic clean-up did not start: ", 0), 0u) << brv::Utf16ToUtf8(lines[0]);
  EXPECT_NE(lines[0].find(u"Auto.Filter"), std::u16string::npos);
  EXPECT_EQ(Subjects(Inbox), std::vector<std::u16string>{u"Old"});
}

TEST_F(SortwiseAddInTest, ShuttingDownDuringTheDelayEndsTheWorkerAtOnceWithoutARun) {
  StartWithAPendingRun();
  Disconnect();
  ExpectNoRun();
}

TEST_F(SortwiseAddInTest, PressingTheButtonCancelsThePendingRunOpensTheEditorAndSavesOnClose) {
  StartWithAPendingRun();
  std::filesystem::remove_all(RulesFile().parent_path());
  // A person closes the editor once it shows.
  std::thread person([] {
    for (int tries = 0; tries < 1000; ++tries, Sleep(10))
      if (HWND editor = FindWindowW(L"TSortwiseForm", L"Brevanta Outlook Sortwise"); editor && IsWindowVisible(editor)) {
        PostMessageW(editor, WM_CLOSE, 0, 0);
        return;
      }
  });
  brv::test::TFakeRibbonControl control(AddIn->Button()->Id());
  EXPECT_EQ(Call(AddIn->Button()->Id() + u".onAction", &control), S_OK);
  person.join();
  // The closed editor's rules were saved, the folder made anew; the run never came.
  EXPECT_TRUE(std::filesystem::exists(RulesFile()));
  Disconnect();
  ExpectNoRun();
}

// Started with an automatic run over a thousand old mails, caught at its very beginning: the
// worker's calls need this thread, which serves them only while it waits.
class SortwiseAddInMidRunTest : public SortwiseAddInTest {
 protected:
  static constexpr size_t kMails = 1000;
  void StartARunOverManyMails() {
    WriteRules({{u"Auto.Enabled", u"True"}, {u"Auto.Filter", u"0"}});
    for (size_t i = 0; i < kMails; ++i) AddMail(u"Old", kOld);
    ASSERT_NO_FATAL_FAILURE(StartUp());
    // The button, shown at the start-up, goes off as the run begins.
    ASSERT_TRUE(PumpUntil([&] { return Ribbon.States.size() >= 2; }));
  }
};

TEST_F(SortwiseAddInMidRunTest, AClickStopsTheWalkAfterTheItemInHandAndThenOpensTheEditor) {
  StartARunOverManyMails();
  uint64_t fetchedWhenShown = 0, callsWhenShown = 0;
  std::thread person([&] {
    for (int tries = 0; tries < 6000; ++tries, Sleep(10))
      if (HWND editor = FindWindowW(L"TSortwiseForm", L"Brevanta Outlook Sortwise"); editor && IsWindowVisible(editor)) {
        fetchedWhenShown = ItemsFetched();
        callsWhenShown = Mailbox->TotalCalls();
        PostMessageW(editor, WM_CLOSE, 0, 0);
        return;
      }
  });
  const uint64_t fetchedAtClick = ItemsFetched();
  brv::test::TFakeRibbonControl control(AddIn->Button()->Id());
  EXPECT_EQ(Call(AddIn->Button()->Id() + u".onAction", &control), S_OK);
  person.join();
  // At most the item in hand was finished before the editor showed; Outlook heard nothing more
  // while it was open, and the mail after it stayed.
  EXPECT_LE(fetchedWhenShown - fetchedAtClick, 1u);
  EXPECT_EQ(callsWhenShown, Mailbox->TotalCalls());
  EXPECT_GT(Inbox->ItemCount(), kMails / 2);
  EXPECT_EQ(Inbox->ItemCount() + Projects->ItemCount(), kMails);
  ASSERT_TRUE(PumpUntil([&] { return Ribbon.States.size() >= 3; }));
  EXPECT_EQ(Ribbon.States, (std::vector<bool>{true, false, true}));
  Disconnect();
  ExpectNothingOutlookRefuses();
}

TEST_F(SortwiseAddInMidRunTest, AShutDownStopsTheWalkAfterTheItemInHand) {
  StartARunOverManyMails();
  const uint64_t fetchedAtShutDown = ItemsFetched();
  Disconnect();
  EXPECT_LE(ItemsFetched() - fetchedAtShutDown, 1u);
  EXPECT_GT(Inbox->ItemCount(), kMails / 2);
  EXPECT_EQ(Inbox->ItemCount() + Projects->ItemCount(), kMails);
  ExpectNothingOutlookRefuses();
}

// Outlook trusts only the application it handed to the add-in, and a damaged Office marshals
// nothing but IDispatch: either way the worker moves exactly the mail up to the cut-off
// without a guard prompt, every call reaches Outlook's own thread, and the items that are not
// mail get their "ERROR: " lines.
class SortwiseAddInTypeLibraryTest : public SortwiseAddInTest, public testing::WithParamInterface<standin::TTypeLibrary> {};

TEST_P(SortwiseAddInTypeLibraryTest, TheAutomaticRunReadsSendersThroughTheTrustedApplication) {
  if (GetParam() != standin::TTypeLibrary::Whole) ServeWith(GetParam());
  WriteRules({{u"Auto.Enabled", u"True"}, {u"Auto.Filter", u"7"}});
  AddMail(u"Old", kOld);
  AddMail(u"Invitation", kOld, outlook::TMemoryItemKind::MeetingRequest);
  AddMail(u"New", 47000.0);  // 2028: never older than the cut-off
  AddMail(u"Undeliverable", kOld, outlook::TMemoryItemKind::Report);
  CollectDebugLines();
  ASSERT_NO_FATAL_FAILURE(RunTheAutomaticCleanUp());
  EXPECT_EQ(Subjects(Projects), std::vector<std::u16string>{u"Old"});
  EXPECT_EQ(Subjects(Inbox), (std::vector<std::u16string>{u"Invitation", u"New", u"Undeliverable"}));
  EXPECT_EQ(DebugLines(), (std::vector<std::u16string>{u"ERROR: 4::Undeliverable", u"ERROR: 2::Invitation"}));
  ExpectNothingOutlookRefuses();
}

INSTANTIATE_TEST_SUITE_P(Office, SortwiseAddInTypeLibraryTest,
                         testing::Values(standin::TTypeLibrary::Whole, standin::TTypeLibrary::WithoutMailItem,
                                         standin::TTypeLibrary::Missing),
                         [](const testing::TestParamInfo<standin::TTypeLibrary>& Info) {
                           switch (Info.param) {
                             case standin::TTypeLibrary::Whole: return "TypeLibraryRegistered";
                             case standin::TTypeLibrary::WithoutMailItem: return "TypeLibraryWithoutMailItem";
                             default: return "NoTypeLibrary";
                           }
                         });

// The editor's Run button and its inbox collection run on Outlook's thread: they too read every
// sender through the handed application, never the running one.
TEST_F(SortwiseAddInTest, TheEditorsRunAndInboxCollectionMakeNoGuardPrompt) {
  WriteRules({});
  AddMail(u"From Ann", kOld);
  AddMail(u"From Bob", kOld, outlook::TMemoryItemKind::Mail, u"bob@example.com");
  ASSERT_EQ(Connect(), S_OK);
  ASSERT_EQ(Start(), S_OK);
  EXPECT_EQ(swo::GetInboxAddresses(AddIn->Sortwise()), std::vector<std::u16string>{u"bob@example.com"});
  AddIn->Sortwise().Execute(nullptr);
  EXPECT_EQ(Subjects(Projects), std::vector<std::u16string>{u"From Ann"});
  ExpectNothingOutlookRefuses();
  Disconnect();
}

// What the worker writes when an error ends its run names the product, the step and the
// system's reason with its code.
TEST_F(SortwiseAddInTest, AnInboxThatCannotBeReadIsReportedReadably) {
  WriteRules({{u"Auto.Enabled", u"True"}, {u"Auto.Filter", u"0"}});
  AddMail(u"Old", kOld);
  Mailbox->InjectFault(outlook::TMemoryCall::ItemsCount, brv::kE_NOINTERFACE);
  CollectDebugLines();
  ASSERT_NO_FATAL_FAILURE(RunTheAutomaticCleanUp());
  const std::vector<std::u16string> lines = DebugLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind(u"Sortwise: the automatic clean-up could not read the inbox: ", 0), 0u)
      << brv::Utf16ToUtf8(lines[0]);
  EXPECT_NE(lines[0].find(u"0x80004002"), std::u16string::npos) << brv::Utf16ToUtf8(lines[0]);
}

TEST_F(SortwiseAddInTest, ReleasingAConnectedAddInShutsItDownBeforeItGoes) {
  StartWithAPendingRun();
  // The host lets go without disconnecting: the worker must end before the sorter goes, or it
  // would wake up an hour later in a freed object (or the release would wait that hour).
  ComAddIn.Object.reset();
  EXPECT_EQ(std::exchange(AddIn, nullptr)->Release(), 0u);
  ExpectNoRun();
}

TEST_F(SortwiseAddInTest, TheButtonShowsOnlyOnceTheStartUpHasLoadedTheRulesInEitherMarkupOrder) {
  WriteRules({});
  // The host asks for the ribbon right after connecting: the button is there, hidden, and a
  // click that comes anyway opens nothing.
  ASSERT_EQ(Connect(), S_OK);
  LoadRibbon();
  EXPECT_FALSE(ShownByTheRibbon());
  int editors = -1;
  EXPECT_EQ(PressWhile([&](std::atomic<bool>& Returned) {
              WaitFor([&] { return Returned || !Shown(L"TSortwiseForm").empty(); });
              editors = static_cast<int>(Shown(L"TSortwiseForm").size());
            }),
            S_OK);
  EXPECT_EQ(editors, 0);
  // The start-up shows it, and the host is told to read it again.
  const int invalidations = Ribbon.Invalidations;
  ASSERT_EQ(Start(), S_OK);
  EXPECT_GT(Ribbon.Invalidations, invalidations);
  EXPECT_TRUE(ShownByTheRibbon());
  EXPECT_EQ(AddIn->Sortwise().Count(), 1);
  Disconnect();

  // The host asks after the start-up: shown from the first reading.
  ASSERT_EQ(Connect(), S_OK);
  ASSERT_EQ(Start(), S_OK);
  LoadRibbon();
  EXPECT_TRUE(ShownByTheRibbon());
  Disconnect();
}

TEST_F(SortwiseAddInTest, ASecondExplorersClickWhileTheEditorIsOpenOpensNothing) {
  WriteRules({});
  ASSERT_NO_FATAL_FAILURE(StartUp());
  // Two explorer windows of Outlook's thread, each with the button.
  std::vector<HRESULT> results;
  const auto press = [&] { results.push_back(Press()); };
  TActionWindow first(true, press), second(true, press);
  SetForegroundWindow(first.Handle());
  bool secondEnabledMeanwhile = true, firstEnabledMeanwhile = true;
  size_t editorsAfterTheSecondClick = 0, resultsAfterTheSecondClick = 0;
  std::thread person([&] {
    const HWND editor = WaitForEditor();
    if (editor == nullptr) return;
    secondEnabledMeanwhile = IsWindowEnabled(second.Handle()) != FALSE;
    firstEnabledMeanwhile = IsWindowEnabled(first.Handle()) != FALSE;
    // A click that reaches the disabled window all the same: its press returns at once, or it
    // opens a second editor.
    second.Click(false);
    WaitFor([&] { return results.size() == 1 || Shown(L"TSortwiseForm").size() > 1; });
    resultsAfterTheSecondClick = results.size();
    editorsAfterTheSecondClick = Shown(L"TSortwiseForm").size();
    CloseEditors();
  });
  first.Click(true);
  person.join();
  EXPECT_FALSE(secondEnabledMeanwhile) << "the other explorer stays usable under the editor";
  EXPECT_FALSE(firstEnabledMeanwhile);
  EXPECT_EQ(resultsAfterTheSecondClick, 1u) << "the second click returned while the editor was open";
  EXPECT_EQ(editorsAfterTheSecondClick, 1u);
  EXPECT_EQ(results, (std::vector<HRESULT>{S_OK, S_OK}));
  EXPECT_TRUE(IsWindowEnabled(first.Handle()));
  EXPECT_TRUE(IsWindowEnabled(second.Handle()));
  Disconnect();
}

TEST_F(SortwiseAddInTest, ARulesFileThatCannotBeWrittenIsShownAndWrittenAtTheNextClose) {
  WriteRules({});
  ASSERT_NO_FATAL_FAILURE(StartUp());
  // The rules folder is a file now: neither the folder nor the rules file can be made.
  const std::filesystem::path folder = RulesFile().parent_path();
  std::filesystem::remove_all(folder);
  std::ofstream(folder) << "in the way";
  // Whatever the system says when a file is made in it.
  const std::wstring probe = (folder / "probe").wstring();
  EXPECT_EQ(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
  wchar_t reason[512] = {};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, reason, 512, nullptr);
  std::u16string expectedReason(brv::Trim(brv::platform::FromWide(reason)));

  std::vector<std::u16string> boxes;
  const auto closeAndAnswer = [&](std::atomic<bool>& Returned) { CloseTheEditorAndAnswerBoxes(Returned, boxes); };
  EXPECT_EQ(PressWhile(closeAndAnswer), S_OK);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].find(AddIn->Filename()), std::u16string::npos) << brv::Utf16ToUtf8(boxes[0]);
  EXPECT_FALSE(expectedReason.empty());
  EXPECT_NE(boxes[0].find(expectedReason), std::u16string::npos) << brv::Utf16ToUtf8(boxes[0]);
  // The rules stay, and the next close writes them.
  EXPECT_EQ(AddIn->Sortwise().Count(), 1);
  std::filesystem::remove(folder);
  boxes.clear();
  EXPECT_EQ(PressWhile(closeAndAnswer), S_OK);
  EXPECT_TRUE(boxes.empty());
  const std::unique_ptr<swo::TSortwise> saved(swo::TSortwise::Create());
  saved->Load(RulesFile().u16string());
  ASSERT_EQ(saved->Count(), 1);
  EXPECT_EQ(saved->Items(0)->Items(0)->Items(0)->Address(), u"ann@example.com");
  Disconnect();
}

TEST_F(SortwiseAddInTest, TheEditorOutlivesAHostThatLetsGoOfTheAddInMeanwhileAndItsRulesAreSaved) {
  WriteRules({});
  ASSERT_NO_FATAL_FAILURE(StartUp());
  std::filesystem::remove(RulesFile());
  // Served in the editor's loop: the host disconnects and drops every reference it holds.
  std::atomic<bool> letGo{false};
  TActionWindow host(false, [&] {
    Disconnect();
    ComAddIn.Object.reset();
    std::exchange(AddIn, nullptr)->Release();
    letGo = true;
  });
  // The host's own press, through the one reference it has: the add-in's.
  IDispatch* ribbon = nullptr;
  ASSERT_EQ(AddIn->QueryInterface(__uuidof(IRibbonExtensibility), reinterpret_cast<void**>(&ribbon)), S_OK);
  ribbon->Release();
  const std::u16string buttonId = AddIn->Button()->Id();
  std::thread person([&] {
    if (WaitForEditor() == nullptr) return;
    PostMessageW(host.Handle(), WM_APP, 0, 0);
    WaitFor([&] { return letGo.load(); });
    CloseEditors();
  });
  brv::test::TFakeRibbonControl control(buttonId);
  TVariant result;
  const HRESULT pressed = InvokeCallback(ribbon, buttonId + u".onAction", &control, result);
  person.join();
  EXPECT_TRUE(letGo);
  EXPECT_EQ(pressed, S_OK);
  EXPECT_TRUE(std::filesystem::exists(RulesFile())) << "the rules edited meanwhile are saved";
}

// Rules whose save failed at the close are saved again at shut-down; where that fails too they
// go to a recovery copy, and the user is told once, with both files named.
TEST_F(SortwiseAddInTest, RulesNotSavedAtTheCloseAreSavedAtShutDownOrKeptInARecoveryCopy) {
  for (const bool refusedAtShutDown : {false, true}) {
    SCOPED_TRACE(refusedAtShutDown ? "refused at shut-down too" : "writable again at shut-down");
    ASSERT_NO_FATAL_FAILURE(StartUpAndAdd(u"bob@example.com"));
    // The rules folder is a file now: the save at the close is refused.
    std::filesystem::remove_all(RulesFolder());
    std::ofstream(RulesFolder()) << "in the way";
    std::vector<std::u16string> boxes;
    EXPECT_EQ(PressWhile([&](std::atomic<bool>& Returned) { CloseTheEditorAndAnswerBoxes(Returned, boxes); }), S_OK);
    ASSERT_EQ(boxes.size(), 1u) << "the failed close is shown";
    if (!refusedAtShutDown) std::filesystem::remove(RulesFolder());

    boxes.clear();
    std::atomic<bool> shutDown{false};
    std::thread person([&] { AnswerBoxesUntil([&] { return shutDown.load(); }, boxes); });
    Disconnect();
    shutDown = true;
    person.join();

    const std::filesystem::path recoveryFolder = FLocalAppData / "Brevanta" / "Sortwise";
    if (!refusedAtShutDown) {
      EXPECT_TRUE(boxes.empty());
      EXPECT_EQ(AddressesIn(RulesFile()), (std::vector<std::u16string>{u"ann@example.com", u"bob@example.com"}));
      EXPECT_FALSE(std::filesystem::exists(recoveryFolder));
      continue;
    }
    std::vector<std::filesystem::path> copies;
    if (std::filesystem::exists(recoveryFolder))
      for (const auto& entry : std::filesystem::directory_iterator(recoveryFolder)) copies.push_back(entry.path());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].filename().u16string().rfind(u"Work (recovered ", 0), 0u) << copies[0];
    EXPECT_EQ(AddressesIn(copies[0]), (std::vector<std::u16string>{u"ann@example.com", u"bob@example.com"}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(AddIn->Filename()), std::u16string::npos) << brv::Utf16ToUtf8(boxes[0]);
    EXPECT_NE(boxes[0].find(copies[0].u16string()), std::u16string::npos) << brv::Utf16ToUtf8(boxes[0]);
    // What was in the way is as it was: nothing but the model goes to the rules file's place.
    std::ifstream in(RulesFolder());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "in the way");
  }
}

// Windows ends the session while the editor, or a dialog over it, is open: it asks every
// top-level window and may end the process as soon as WM_ENDSESSION has been answered.
TEST_F(SortwiseAddInTest, TheSessionEndingWithTheEditorOpenSavesTheRules) {
  for (const bool dialogOpen : {false, true}) {
    SCOPED_TRACE(dialogOpen ? "the settings dialog open" : "the editor open");
    ASSERT_NO_FATAL_FAILURE(StartUpAndAdd(u"carol@example.com"));
    std::filesystem::remove(RulesFile());
    std::vector<std::u16string> savedWhenEnded;
    bool existedWhenAsked = true;
    EXPECT_EQ(PressWhile([&](std::atomic<bool>&) {
                const HWND editor = WaitForEditor();
                if (editor == nullptr) return;
                HWND dialog = nullptr;
                if (dialogOpen) {
                  PostMessageW(FindWindowExW(editor, nullptr, L"BUTTON", L"Settings"), BM_CLICK, 0, 0);
                  WaitFor([&] {
                    dialog = GetLastActivePopup(editor);
                    return dialog != editor && IsWindowVisible(dialog);
                  });
                }
                // Every top-level window of Outlook's thread, as Windows asks them.
                const std::vector<HWND> windows = WindowsOfThread(GetWindowThreadProcessId(editor, nullptr));
                DWORD_PTR answer = 0;
                for (HWND window : windows)
                  SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
                existedWhenAsked = std::filesystem::exists(RulesFile());
                for (HWND window : windows)
                  SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
                if (std::filesystem::exists(RulesFile())) savedWhenEnded = AddressesIn(RulesFile());
                // The session went on after all (a test cannot end it): the person closes up.
                if (dialog != nullptr && dialog != editor) PostMessageW(dialog, WM_CLOSE, 0, 0);
              }),
              S_OK);
    EXPECT_FALSE(existedWhenAsked) << "saved before the session was sure to end";
    EXPECT_EQ(savedWhenEnded, (std::vector<std::u16string>{u"ann@example.com", u"carol@example.com"}));
    Disconnect();
  }
}

// Rules kept under the name an earlier version gave the profile's file are found; from then on
// they are saved under today's name, and the earlier file is left as it was.
class SortwiseAddInEarlierNameTest : public SortwiseAddInTest {
 protected:
  std::u16string Profile() const override { return u"Team 100%"; }
};

TEST_F(SortwiseAddInEarlierNameTest, RulesUnderTheEarlierFileNameAreReadAndSavedUnderTheNewOne) {
  const std::filesystem::path earlier = RulesFolder() / "Team 100%.xml", current = RulesFolder() / "Team 100%25.xml";
  WriteRules({{u"Auto.Enabled", u"True"}, {u"Auto.Filter", u"0"}}, earlier);
  const uintmax_t earlierSize = std::filesystem::file_size(earlier);
  const auto earlierTime = std::filesystem::last_write_time(earlier);
  AddMail(u"Old 1", kOld);
  AddMail(u"Old 2", kOld);
  CollectDebugLines();
  ASSERT_NO_FATAL_FAILURE(StartUp());
  ASSERT_TRUE(PumpUntil([&] { return Ribbon.States.size() >= 3; }));
  EXPECT_EQ(Subjects(Projects), (std::vector<std::u16string>{u"Old 2", u"Old 1"}));
  EXPECT_EQ(std::filesystem::path(AddIn->Filename()), current);
  const std::vector<std::u16string> lines = DebugLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines[0].find(earlier.u16string()), std::u16string::npos) << brv::Utf16ToUtf8(lines[0]);
  AddAddress(u"dave@example.com");
  std::vector<std::u16string> boxes;
  EXPECT_EQ(PressWhile([&](std::atomic<bool>& Returned) { CloseTheEditorAndAnswerBoxes(Returned, boxes); }), S_OK);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(AddressesIn(current), (std::vector<std::u16string>{u"ann@example.com", u"dave@example.com"}));
  EXPECT_EQ(std::filesystem::file_size(earlier), earlierSize);
  EXPECT_EQ(std::filesystem::last_write_time(earlier), earlierTime);
  EXPECT_EQ(AddressesIn(earlier), std::vector<std::u16string>{u"ann@example.com"});
  Disconnect();
}

// A host may disconnect the add-in and connect the same object again (the COM Add-ins dialog):
// the new connection has its automatic run, whatever cancelled the last one's.
TEST_F(SortwiseAddInTest, AReconnectionRunsTheAutomaticCleanUpAgain) {
  WriteRules({{u"Auto.Enabled", u"True"}, {u"Auto.Filter", u"0"}});
  for (const std::u16string subject : {u"First", u"Second"}) {
    AddMail(subject, kOld);
    ASSERT_NO_FATAL_FAILURE(StartUp());
    EXPECT_TRUE(PumpUntil([&] { return Inbox->ItemCount() == 0; })) << brv::Utf16ToUtf8(subject) << " was not moved";
    Disconnect();
  }
  EXPECT_EQ(Subjects(Projects), (std::vector<std::u16string>{u"First", u"Second"}));
}

// A window that Outlook's thread opens while the editor is open (a new explorer, an inspector)
// is kept out of reach like the ones that were there, and usable again once the editor closes.
TEST_F(SortwiseAddInTest, AWindowOpenedWhileTheEditorIsOpenIsDisabledUntilItCloses) {
  WriteRules({});
  ASSERT_NO_FATAL_FAILURE(StartUp());
  std::unique_ptr<TActionWindow> opened;
  // Served in the editor's loop, as Outlook's own work is.
  TActionWindow outlookThread(false, [&] { opened = std::make_unique<TActionWindow>(true, [] {}); });
  bool enabledMeanwhile = true, activeMeanwhile = true;
  EXPECT_EQ(PressWhile([&](std::atomic<bool>&) {
              const HWND editor = WaitForEditor();
              if (editor == nullptr) return;
              SendMessageW(outlookThread.Handle(), WM_APP, 0, 0);
              SendMessageW(editor, WM_NULL, 0, 0);  // what was posted meanwhile is handled
              enabledMeanwhile = opened && IsWindowEnabled(opened->Handle());
              activeMeanwhile = opened && GetForegroundWindow() == opened->Handle();
            }),
            S_OK);
  ASSERT_TRUE(opened);
  EXPECT_FALSE(enabledMeanwhile);
  EXPECT_FALSE(activeMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(opened->Handle()));
  Disconnect();
}

// A busy Outlook refuses the worker's calls for a while (its main thread's message filter, here
// this thread's): the run waits for it, and a click or a shut-down ends the wait at once.
class SortwiseAddInBusyTest : public SortwiseAddInTest {
 protected:
  void TearDown() override {
    SetEnvironmentVariableW(L"SORTWISE_BUSY_PATIENCE_MS", nullptr);
    SortwiseAddInTest::TearDown();
  }
  void StartARunOver(size_t Mails) {
    WriteRules({{u"Auto.Enabled", u"True"}, {u"Auto.Filter", u"0"}});
    for (size_t i = 0; i < Mails; ++i) AddMail(u"Old", kOld);
    CollectDebugLines();
    ASSERT_NO_FATAL_FAILURE(StartUp());
  }
};

TEST_F(SortwiseAddInBusyTest, AnOutlookBusyForAWhileInTheMiddleOfTheRunStillGetsEveryOldMailMoved) {
  // A mail takes the worker some 40 ms across apartments under Wine: Outlook turns busy mid-run.
  constexpr size_t kMails = 40;
  const standin::TBusyFilter busy(300, 1500);
  ASSERT_NO_FATAL_FAILURE(StartARunOver(kMails));
  EXPECT_TRUE(PumpUntil([&] { return Ribbon.States.size() >= 3; }));
  EXPECT_GT(busy.Refused(), 0u) << "Outlook was never busy during the run";
  EXPECT_EQ(Projects->ItemCount(), kMails);
  EXPECT_EQ(DebugLines(), std::vector<std::u16string>{});
  Disconnect();
  ExpectNothingOutlookRefuses();
}

TEST_F(SortwiseAddInBusyTest, AnOutlookBusyBeyondThePatienceEndsTheRunWithOneLine) {
  SetEnvironmentVariableW(L"SORTWISE_BUSY_PATIENCE_MS", L"300");
  const standin::TBusyFilter busy(0, 8000);
  ASSERT_NO_FATAL_FAILURE(StartARunOver(5));
  ASSERT_TRUE(PumpUntil([&] { return Ribbon.States.size() >= 3; }));
  const std::vector<std::u16string> lines = DebugLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind(u"Sortwise: the automatic clean-up ", 0), 0u) << brv::Utf16ToUtf8(lines[0]);
  EXPECT_NE(lines[0].find(u"Outlook was busy: it refused every call for 1 second (0x80010001)"), std::u16string::npos)
      << brv::Utf16ToUtf8(lines[0]);
  EXPECT_EQ(Projects->ItemCount(), 0u);
  Disconnect();
}

TEST_F(SortwiseAddInBusyTest, AShutDownEndsTheWaitForABusyOutlookAtOnce) {
  const ULONGLONG busyUntil = GetTickCount64() + 30000;
  const standin::TBusyFilter busy(0, 30000);
  ASSERT_NO_FATAL_FAILURE(StartARunOver(5));
  // The worker waits for Outlook (the patience is a minute)...
  ASSERT_TRUE(PumpUntil([&] { return busy.Refused() > 0; }));
  // ...and the shut-down's cancel ends the wait, not the end of Outlook's busy while.
  Disconnect();
  EXPECT_LT(GetTickCount64(), busyUntil) << "the shut-down waited until Outlook was no longer busy";
  EXPECT_EQ(DebugLines(), std::vector<std::u16string>{}) << "a cancel is no failure";
  EXPECT_EQ(Projects->ItemCount(), 0u);
}

// What Outlook and Windows read from the file itself: the name, the version, the icon and the
// common controls manifest.
TEST(SortwiseDll, CarriesItsNameVersionIconAndManifest) {
  const wchar_t* const file = reinterpret_cast<const wchar_t*>(SORTWISE_ADDIN_DLL);
  HMODULE module = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  const wchar_t* name = nullptr;
  const int length = LoadStringW(module, 100, reinterpret_cast<LPWSTR>(&name), 0);
  EXPECT_EQ(std::wstring(name, static_cast<size_t>(length)), L"Brevanta Outlook Sortwise Add-In");
  EXPECT_NE(FindResourceW(module, L"APPICON", MAKEINTRESOURCEW(14)), nullptr);  // RT_GROUP_ICON
  EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24)), nullptr);  // RT_MANIFEST
  FreeLibrary(module);

  std::vector<char> info(GetFileVersionInfoSizeW(file, nullptr));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(GetFileVersionInfoW(file, 0, static_cast<DWORD>(info.size()), info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  for (const wchar_t* key : {L"\\StringFileInfo\\040904B0\\FileDescription", L"\\StringFileInfo\\040904B0\\ProductName"}) {
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), key, reinterpret_cast<void**>(&text), &size)) << key;
    EXPECT_STREQ(text, L"Brevanta Outlook Sortwise Add-In");
  }
}

}  // namespace
