#include "host_output.h"

#include <cstdio>
#include <mutex>

namespace standin {

void PrintLine(const std::string& Line) {
  static std::mutex lock;
  const std::lock_guard<std::mutex> hold(lock);
  std::printf("%s\n", Line.c_str());
  std::fflush(stdout);
}

}  // namespace standin
