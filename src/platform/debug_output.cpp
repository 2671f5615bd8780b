#include "platform/debug_output.h"

namespace brv::platform {

// The platform's own channel, in debug_output_win.cpp or debug_output_portable.cpp.
void WriteDebugChannel(std::u16string_view Line);

namespace {
TDebugSink& Sink() {
  static TDebugSink sink;
  return sink;
}
}  // namespace

void DebugOutput(std::u16string_view Line) {
  if (Sink())
    Sink()(Line);
  else
    WriteDebugChannel(Line);
}

void SetDebugSink(TDebugSink Sink_) { Sink() = std::move(Sink_); }

}  // namespace brv::platform
