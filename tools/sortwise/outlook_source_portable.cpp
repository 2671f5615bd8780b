// Without COM there is no Outlook to reach.
#include "command_line.h"
#include "mail_source.h"

namespace sortwise_tool {

std::unique_ptr<TMailSource> ConnectOutlook() {
  throw TUsageError{u"--outlook needs the Windows build of sortwise (sortwise.exe beside Outlook)"};
}

}  // namespace sortwise_tool
