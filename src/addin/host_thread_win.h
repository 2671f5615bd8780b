// Work handed to the host's thread from any other: the add-in's worker changes the ribbon
// button only through here, because the host's ribbon object belongs to the host's thread.
#pragma once

#include <windows.h>

#include <functional>

namespace swo {

class THostThreadQueue {
 public:
  // Made on the host's thread: a message-only window of that thread receives the work.
  THostThreadQueue();
  // On the host's thread; work still queued is dropped.
  ~THostThreadQueue();
  THostThreadQueue(const THostThreadQueue&) = delete;
  THostThreadQueue& operator=(const THostThreadQueue&) = delete;

  // Queues Work to run on the host's thread the next time it dispatches messages, in the order
  // queued; returns at once. False when it could not be queued. Work must not raise.
  bool Post(std::function<void()> Work) noexcept;

 private:
  static LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) noexcept;
  HWND FWindow = nullptr;
};

}  // namespace swo
