// Lets a test run code as if memory had run out: while a TFailingAllocations lives, every
// operator new of the program fails (the throwing forms raise std::bad_alloc, the nothrow forms
// return null). The program's operator new and delete are replaced for this, on malloc and free.
#pragma once

namespace brv::test {

class TFailingAllocations {
 public:
  TFailingAllocations();
  ~TFailingAllocations();
  TFailingAllocations(const TFailingAllocations&) = delete;
  TFailingAllocations& operator=(const TFailingAllocations&) = delete;
};

}  // namespace brv::test
