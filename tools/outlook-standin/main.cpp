// outlook-standin: plays Outlook for the add-in tests and the demo.
//   outlook-standin [add-in options]
//   outlook-standin --mailbox FILE [--no-type-library] [--save FILE] [--cleanup CONFIG [--calls]]
//                   [--busy-after MS --busy-for MS] [add-in options]
// add-in options: --markup-at-connection, the ribbon actions --press BUTTON-ID,
// --press-label LABEL and --wait MS in the order given, and --editor ACTION[,ACTION...] with
// --editor-shot FILE for the rule editor that a press opens.
// With --mailbox it serves Outlook's object model over that mailbox (as the running
// "Outlook.Application") and hands it to the add-ins; with --cleanup it runs one clean-up
// through COM instead of loading add-ins; --save writes the mailbox back afterwards.
// --no-type-library plays an Office whose type library registration is damaged: only
// IDispatch crosses apartments. --busy-after and --busy-for play a busy Outlook: from MS after it
// serves, for MS, its main thread's message filter refuses every call from other apartments and
// processes (SERVERCALL_REJECTED); the last lines count them ("refused calls N"). Like Outlook, only the application handed to the add-ins is
// trusted: each guarded read through the running one prints "guard prompt MEMBER", and the
// count follows at the end ("guard prompts N"); a call on a thread other than the main one
// prints "called from another thread MEMBER" and makes the exit code 1.
// Other processes: with --mailbox, once its Outlook is registered the stand-in prints
// "serving process=PID" (PID: its Windows process id); from then on other processes of the same
// Wine prefix find it (GetActiveObject, CoCreateInstance), and their calls are served while it
// waits (--wait MS; without add-ins too). It is closed as Outlook is, through its main window:
// `taskkill /pid PID` (without /f) or a WM_CLOSE ends the wait early ("close requested"), the
// actions still to come are dropped, and it shuts down as usual: --save, the last lines, exit 0.
#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "addin_host.h"
#include "busy_filter_win.h"
#include "cleanup_run_win.h"
#include "foundation/exception.h"
#include "foundation/text.h"
#include "host/memory_store_file.h"
#include "host_output.h"
#include "main_window_win.h"
#include "model_object_win.h"
#include "object_model_win.h"
#include "outlook_server_win.h"

namespace {

struct TOptions {
  standin::THostOptions Host;
  std::u16string Mailbox, Save, Cleanup;
  bool Calls = false;
  bool NoTypeLibrary = false;
  std::optional<unsigned long> BusyAfter, BusyFor;
};

// The store's count of each Outlook operation, one "calls NAME COUNT" line each.
void PrintCalls(const outlook::TMemoryOutlook& Mailbox) {
  for (size_t i = 0; i < outlook::kMemoryCallCount; ++i) {
    const auto call = static_cast<outlook::TMemoryCall>(i);
    std::printf("calls %s %llu\n", brv::Utf16ToUtf8(outlook::TMemoryCallName(call)).c_str(),
                static_cast<unsigned long long>(Mailbox.Calls(call)));
  }
}

int Serve(const TOptions& Options) {
  const auto mailbox = outlook::LoadMailbox(Options.Mailbox);
  int result = 0;
  standin::SetModelReport(standin::PrintLine);
  {
    // The add-ins get the trusted application; what other apartments and programs find
    // running, or create, is the untrusted one.
    const brv::TComPtr<IDispatch> trusted = standin::CreateOutlookApplication(mailbox->Application(), true);
    const brv::TComPtr<IDispatch> untrusted = standin::CreateOutlookApplication(mailbox->Application(), false);
    const standin::TOutlookServer server(untrusted.get(), Options.NoTypeLibrary ? standin::TTypeLibrary::Missing
                                                                              : standin::TTypeLibrary::Whole);
    // From here on other processes reach this Outlook; their calls are served while it waits.
    standin::PrintLine("serving process=" + std::to_string(GetCurrentProcessId()));
    std::optional<standin::TBusyFilter> busy;
    if (Options.BusyFor) busy.emplace(*Options.BusyAfter, *Options.BusyFor);
    // An Outlook without add-ins still serves its mailbox.
    standin::THostOptions host = Options.Host;
    host.RequireAddIns = false;
    result = Options.Cleanup.empty() ? standin::RunAddIns(host, trusted.get()) : standin::RunCleanUp(Options.Cleanup);
    if (busy) standin::PrintLine("refused calls " + std::to_string(busy->Refused()));
  }
  standin::SetModelReport({});
  const standin::TModelStats& stats = standin::ModelStats();
  standin::PrintLine("guard prompts " + std::to_string(stats.GuardPrompts.load()));
  if (stats.CallsFromOtherThreads.load() != 0) result = 1;
  if (Options.Calls) PrintCalls(*mailbox);
  if (!Options.Save.empty()) outlook::SaveMailbox(*mailbox, Options.Save);
  return result;
}

int Run(const TOptions& Options) {
  try {
    const standin::TMainWindow window;
    return Options.Mailbox.empty() ? standin::RunAddIns(Options.Host) : Serve(Options);
  } catch (const brv::Exception& e) {
    std::printf("error %s\n", brv::Utf16ToUtf8(e.Message()).c_str());
  } catch (const std::exception& e) {
    std::printf("error %s\n", e.what());
  }
  return 1;
}

// A number of milliseconds: decimal digits only, at most a day.
std::optional<unsigned long> ReadMilliseconds(std::string_view Text) {
  if (Text.empty() || Text.size() > 8) return std::nullopt;
  unsigned long value = 0;
  for (const char c : Text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  if (value > 86400000) return std::nullopt;
  return value;
}

int Usage(const std::string& Problem) {
  if (!Problem.empty()) std::fprintf(stderr, "outlook-standin: %s\n", Problem.c_str());
  std::fprintf(
      stderr,
      "usage: outlook-standin [ADD-IN OPTIONS]\n"
      "       outlook-standin --mailbox FILE [--no-type-library] [--save FILE] [--cleanup CONFIG [--calls]]\n"
      "                       [--busy-after MS --busy-for MS] [ADD-IN OPTIONS]\n"
      "ADD-IN OPTIONS: [--markup-at-connection] [--press BUTTON-ID | --press-label LABEL | --wait MS]...\n"
      "                [--editor ACTION[,ACTION...] [--editor-shot FILE]]   (ACTION: run, close)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  bool usage = false;
  std::string problem;
  bool editorGiven = false;
  for (int i = 1; i < argc && !usage; ++i) {
    const bool hasValue = i + 1 < argc && argv[i + 1][0] != '\0';
    using TKind = standin::THostAction::TKind;
    if (std::strcmp(argv[i], "--markup-at-connection") == 0) {
      options.Host.MarkupAtConnection = true;
    } else if (std::strcmp(argv[i], "--press") == 0 && hasValue) {
      options.Host.Actions.push_back({TKind::Press, brv::Utf8ToUtf16(argv[++i])});
    } else if (std::strcmp(argv[i], "--press-label") == 0 && hasValue) {
      options.Host.Actions.push_back({TKind::PressLabel, brv::Utf8ToUtf16(argv[++i])});
    } else if (std::strcmp(argv[i], "--wait") == 0 && hasValue) {
      const std::optional<unsigned long> ms = ReadMilliseconds(argv[++i]);
      if (!ms) {
        problem = std::string("--wait takes milliseconds (0 to 86400000), not '") + argv[i] + "'";
        usage = true;
      } else {
        options.Host.Actions.push_back({TKind::Wait, u"", *ms});
      }
    } else if (std::strcmp(argv[i], "--editor") == 0 && hasValue && !editorGiven) {
      editorGiven = true;
      std::optional<std::vector<standin::TEditorAction>> actions =
          standin::ReadEditorActions(argv[++i], problem);
      if (actions) {
        options.Host.Editor.Actions = std::move(*actions);
      } else {
        problem = "--editor: " + problem;
        usage = true;
      }
    } else if (std::strcmp(argv[i], "--editor-shot") == 0 && hasValue && options.Host.Editor.Shot.empty()) {
      options.Host.Editor.Shot = brv::Utf8ToUtf16(argv[++i]);
    } else if (std::strcmp(argv[i], "--mailbox") == 0 && hasValue) {
      options.Mailbox = brv::Utf8ToUtf16(argv[++i]);
    } else if (std::strcmp(argv[i], "--save") == 0 && hasValue) {
      options.Save = brv::Utf8ToUtf16(argv[++i]);
    } else if (std::strcmp(argv[i], "--cleanup") == 0 && hasValue) {
      options.Cleanup = brv::Utf8ToUtf16(argv[++i]);
    } else if (std::strcmp(argv[i], "--calls") == 0) {
      options.Calls = true;
    } else if (std::strcmp(argv[i], "--no-type-library") == 0) {
      options.NoTypeLibrary = true;
    } else if ((std::strcmp(argv[i], "--busy-after") == 0 && !options.BusyAfter) ||
               (std::strcmp(argv[i], "--busy-for") == 0 && !options.BusyFor)) {
      std::optional<unsigned long>& value = argv[i][7] == 'a' ? options.BusyAfter : options.BusyFor;
      value = hasValue ? ReadMilliseconds(argv[++i]) : std::nullopt;
      if (!value) {
        problem = std::string(argv[i - (hasValue ? 1 : 0)]) + " takes milliseconds (0 to 86400000)";
        usage = true;
      }
    } else {
      problem = std::string("unknown, repeated or incomplete option '") + argv[i] + "'";
      usage = true;
    }
  }
  if (!usage && !options.Host.Editor.Shot.empty() && !editorGiven) {
    problem = "--editor-shot needs --editor: the editor must be closed for the press to return";
    usage = true;
  }
  if (!usage && options.BusyAfter.has_value() != options.BusyFor.has_value()) {
    problem = "--busy-after and --busy-for go together";
    usage = true;
  }
  if (usage ||
      (options.Mailbox.empty() && (!options.Save.empty() || !options.Cleanup.empty() || options.Calls ||
                                   options.NoTypeLibrary || options.BusyFor)))
    return Usage(problem);
  // Outlook's main thread is a single-threaded apartment.
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  const int result = Run(options);
  CoUninitialize();
  return result;
}
