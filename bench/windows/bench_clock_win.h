// The benchmark programs' clock: the performance counter in milliseconds.
#pragma once

#include <windows.h>

namespace bench {

inline double NowMs() {
  static const double Frequency = [] {
    LARGE_INTEGER F;
    QueryPerformanceFrequency(&F);
    return static_cast<double>(F.QuadPart);
  }();
  LARGE_INTEGER T;
  QueryPerformanceCounter(&T);
  return static_cast<double>(T.QuadPart) * 1000.0 / Frequency;
}

}  // namespace bench
