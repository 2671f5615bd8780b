// outlook-standin: plays Outlook for the add-in tests.
//   outlook-standin [--markup-at-connection] [--press BUTTON-ID]...
#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "addin_host.h"
#include "foundation/text.h"

int main(int argc, char** argv) {
  standin::THostOptions options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--markup-at-connection") == 0) {
      options.MarkupAtConnection = true;
    } else if (std::strcmp(argv[i], "--press") == 0 && i + 1 < argc) {
      options.Presses.push_back(brv::Utf8ToUtf16(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: outlook-standin [--markup-at-connection] [--press BUTTON-ID]...\n");
      return 2;
    }
  }
  // Outlook's main thread is a single-threaded apartment.
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  const int result = standin::RunAddIns(options);
  CoUninitialize();
  return result;
}
