// Commits the fault its argument names, for the test that a sanitizer's report ends a program of
// ours with the sanitizer exit code and not with one of the codes of a normal outcome.
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

volatile bool deeper = true;

int Recurse(int Depth) {
  volatile char frame[256];
  frame[0] = static_cast<char>(Depth);
  return deeper ? Recurse(Depth + 1) + frame[0] : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* fault = argc > 1 ? argv[1] : "";
  if (std::strcmp(fault, "heap-overflow") == 0) {
    volatile char* block = static_cast<char*>(std::calloc(8, 1));
    const int byte = block[8];
    std::free(const_cast<char*>(block));
    return byte;
  }
  if (std::strcmp(fault, "stack-overflow") == 0) return Recurse(0);
  if (std::strcmp(fault, "signed-overflow") == 0) {
    volatile int big = 0x7FFFFFFF;
    return big + argc;
  }
  if (std::strcmp(fault, "leak") == 0) {
    void* volatile lost = std::malloc(64);
    lost = nullptr;
    return lost == nullptr ? 0 : 1;
  }
  std::fprintf(stderr, "sanitizer_probe: unknown fault %s\n", fault);
  return 2;
}
