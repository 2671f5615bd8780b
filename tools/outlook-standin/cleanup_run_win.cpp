// The clean-up run of --cleanup.
#include "cleanup_run_win.h"

#include <cstdio>
#include <memory>

#include "foundation/text.h"
#include "host/outlook_com_source.h"
#include "platform/debug_output.h"
#include "sorting/sortwise.h"

namespace standin {
namespace {

void PrintLine(std::u16string_view Line) {
  std::printf("%s\n", brv::Utf16ToUtf8(Line).c_str());
  std::fflush(stdout);
}

}  // namespace

int RunCleanUp(const std::u16string& ConfigFile) {
  const std::unique_ptr<swo::TSortwise> sorter(swo::TSortwise::Create());
  int result = 0;
  brv::platform::SetDebugSink(PrintLine);
  try {
    sorter->Load(ConfigFile);
    // No reference is handed over: the application must come from the running object.
    sorter->SetApplicationSource(std::make_shared<swo::TOutlookComSource>());
    sorter->Execute(nullptr);
  } catch (const brv::Exception& e) {
    PrintLine(u"error " + e.Message());
    result = 1;
  } catch (const std::exception& e) {
    PrintLine(u"error " + brv::Utf8ToUtf16(e.what()));
    result = 1;
  }
  brv::platform::SetDebugSink({});
  return result;
}

}  // namespace standin
