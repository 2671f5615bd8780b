// The debugger output channel: where failures of single mails and of the automatic clean-up go.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace brv::platform {

// Writes one line to the debugger output (OutputDebugStringW on Windows; standard error
// elsewhere), or to the installed sink.
void DebugOutput(std::u16string_view Line);

// Receives every line instead of the platform's channel; an empty sink restores the channel.
// Tests and the command-line tool install one. Not for use while other threads write lines.
using TDebugSink = std::function<void(std::u16string_view Line)>;
void SetDebugSink(TDebugSink Sink);

}  // namespace brv::platform
