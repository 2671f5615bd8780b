// Where the sorter finds Outlook besides the reference handed over to it (which serves the
// main thread): the running instance, a new instance for threads other than the main thread,
// and which thread is the main one. The add-in's source hands other threads Outlook's own
// application, marshalled; for callers without one, COM finds Outlook (GetActiveObject,
// CoCreateInstance); tests and the command-line tool answer from the substitute store.
#pragma once

#include "host/outlook.h"

namespace swo {

class TSwoApplicationSource {
 public:
  virtual ~TSwoApplicationSource() = default;
  // The running Outlook, or null when none runs. Raises (an EbrvObject) when the running object
  // does not answer the query for _Application.
  virtual outlook::Ref<outlook::_Application> GetActiveApplication() = 0;
  // A new instance for the calling thread; raises an EbrvObject when it cannot be created.
  virtual outlook::Ref<outlook::_Application> CreateApplication() = 0;
  // True on the process's main thread.
  virtual bool IsMainThread() = 0;
};

}  // namespace swo
