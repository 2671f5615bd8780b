// outlook-standin: plays Outlook for the add-in tests.
//   outlook-standin [--markup-at-connection] [--press BUTTON-ID]...
//   outlook-standin --mailbox FILE [--save FILE] [--cleanup CONFIG [--calls]] [add-in options]
// With --mailbox it serves Outlook's object model over that mailbox (as the running
// "Outlook.Application") and hands it to the add-ins; with --cleanup it runs one clean-up
// through COM instead of loading add-ins; --save writes the mailbox back afterwards.
#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "addin_host.h"
#include "cleanup_run_win.h"
#include "foundation/exception.h"
#include "foundation/text.h"
#include "host/memory_store_file.h"
#include "object_model_win.h"
#include "outlook_server_win.h"

namespace {

struct TOptions {
  standin::THostOptions Host;
  std::u16string Mailbox, Save, Cleanup;
  bool Calls = false;
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
  {
    const brv::TComPtr<IDispatch> application = standin::CreateOutlookApplication(mailbox->Application());
    const standin::TOutlookServer server(application.get());
    result = Options.Cleanup.empty() ? standin::RunAddIns(Options.Host, application.get())
                                     : standin::RunCleanUp(Options.Cleanup);
  }
  if (Options.Calls) PrintCalls(*mailbox);
  if (!Options.Save.empty()) outlook::SaveMailbox(*mailbox, Options.Save);
  return result;
}

int Run(const TOptions& Options) {
  if (Options.Mailbox.empty()) return standin::RunAddIns(Options.Host);
  try {
    return Serve(Options);
  } catch (const brv::Exception& e) {
    std::printf("error %s\n", brv::Utf16ToUtf8(e.Message()).c_str());
  } catch (const std::exception& e) {
    std::printf("error %s\n", e.what());
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  bool usage = false;
  for (int i = 1; i < argc && !usage; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--markup-at-connection") == 0) {
      options.Host.MarkupAtConnection = true;
    } else if (std::strcmp(argv[i], "--press") == 0 && hasValue) {
      options.Host.Presses.push_back(brv::Utf8ToUtf16(argv[++i]));
    } else if (std::strcmp(argv[i], "--mailbox") == 0 && hasValue) {
      options.Mailbox = brv::Utf8ToUtf16(argv[++i]);
    } else if (std::strcmp(argv[i], "--save") == 0 && hasValue) {
      options.Save = brv::Utf8ToUtf16(argv[++i]);
    } else if (std::strcmp(argv[i], "--cleanup") == 0 && hasValue) {
      options.Cleanup = brv::Utf8ToUtf16(argv[++i]);
    } else if (std::strcmp(argv[i], "--calls") == 0) {
      options.Calls = true;
    } else {
      usage = true;
    }
  }
  if (usage || (options.Mailbox.empty() && (!options.Save.empty() || !options.Cleanup.empty() || options.Calls))) {
    std::fprintf(stderr,
                 "usage: outlook-standin [--markup-at-connection] [--press BUTTON-ID]...\n"
                 "       outlook-standin --mailbox FILE [--save FILE] [--cleanup CONFIG [--calls]]\n");
    return 2;
  }
  // Outlook's main thread is a single-threaded apartment.
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  const int result = Run(options);
  CoUninitialize();
  return result;
}
