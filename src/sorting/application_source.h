// Where the sorter finds Outlook besides the reference the add-in hands over: the running
// instance, a new instance for threads other than the main thread, and which thread is the
// main one. On Windows this is COM (GetActiveObject, CoCreateInstance); tests and the
// command-line tool answer from the substitute store.
#pragma once

#include "host/outlook.h"

namespace swo {

class TSwoApplicationSource {
 public:
  virtual ~TSwoApplicationSource() = default;
  // The running Outlook, or null when none runs. Raises ESortwise when the running object does
  // not answer the query for _Application.
  virtual outlook::Ref<outlook::_Application> GetActiveApplication() = 0;
  // A new instance for the calling thread; raises ESortwise when it cannot be created.
  virtual outlook::Ref<outlook::_Application> CreateApplication() = 0;
  // True on the process's main thread.
  virtual bool IsMainThread() = 0;
};

}  // namespace swo
