#include "failing_allocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> failing{false};

void* Allocate(std::size_t Size) noexcept {
  if (failing.load(std::memory_order_relaxed)) return nullptr;
  return std::malloc(Size == 0 ? 1 : Size);
}

void* AllocateOrThrow(std::size_t Size) {
  void* p = Allocate(Size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

namespace brv::test {

TFailingAllocations::TFailingAllocations() { failing.store(true); }
TFailingAllocations::~TFailingAllocations() { failing.store(false); }

}  // namespace brv::test

// Every plain form is replaced, so that memory from one of them is never handed to a
// sanitizer's or the runtime's own counterpart.
void* operator new(std::size_t Size) { return AllocateOrThrow(Size); }
void* operator new[](std::size_t Size) { return AllocateOrThrow(Size); }
void* operator new(std::size_t Size, const std::nothrow_t&) noexcept { return Allocate(Size); }
void* operator new[](std::size_t Size, const std::nothrow_t&) noexcept { return Allocate(Size); }
void operator delete(void* P) noexcept { std::free(P); }
void operator delete[](void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }
void operator delete[](void* P, std::size_t) noexcept { std::free(P); }
void operator delete(void* P, const std::nothrow_t&) noexcept { std::free(P); }
void operator delete[](void* P, const std::nothrow_t&) noexcept { std::free(P); }
