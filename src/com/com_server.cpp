#include "com/com_server.h"

#include <exception>
#include <utility>

#include "com/com_factory.h"

namespace brv {

namespace {

TbrvComServer* GComServer = nullptr;

// The module's finalisation: the server and its factories go when the module unloads.
struct TComServerFinalizer {
  ~TComServerFinalizer() { FreeComServer(); }
} GComServerFinalizer;

}  // namespace

TbrvComServer& ComServer() {
  if (GComServer == nullptr) GComServer = new TbrvComServer();
  return *GComServer;
}

TbrvComServer* ExistingComServer() { return GComServer; }

void FreeComServer() {
  // Factories look for the server while they go, and must find it gone.
  delete std::exchange(GComServer, nullptr);
}

TbrvComServer::~TbrvComServer() { Clear(); }

void TbrvComServer::Clear() {
  for (int32_t i = FFactories.Count() - 1; i >= 0; --i) {
    if (i >= FFactories.Count()) continue;
    TbrvComFactory* const factory = FFactories.GetItem(i);
    FFactories.Delete(i);
    delete factory;
  }
  FFactories.Clear();
}

int32_t TbrvComServer::IndexOf(const CLSID& ClassId) const {
  for (int32_t i = FFactories.Count() - 1; i >= 0; --i)
    if (IsEqualGUID(FFactories.GetItem(i)->ClassId(), ClassId)) return i;
  return -1;
}

TbrvComFactory* TbrvComServer::Find(const CLSID& ClassId) const {
  const int32_t index = IndexOf(ClassId);
  return index < 0 ? nullptr : FFactories.GetItem(index);
}

void TbrvComServer::RegisterFactory(TbrvComFactory* Factory, bool Include) {
  if (Include) {
    FFactories.Add(Factory);
    return;
  }
  const int32_t index = FFactories.IndexOfReference(Factory, TDirection::FromEnd);
  if (index >= 0) FFactories.Delete(index);
}

void TbrvComServer::UpdateRegistry(bool Register) {
  if (!Register) {
    for (int32_t i = FFactories.Count() - 1; i >= 0; --i) FFactories.GetItem(i)->UpdateRegistry(false);
    return;
  }
  try {
    for (int32_t i = 0; i < FFactories.Count(); ++i) FFactories.GetItem(i)->UpdateRegistry(true);
  } catch (...) {
    const std::exception_ptr failure = std::current_exception();
    try {
      UpdateRegistry(false);
    } catch (...) {
    }
    std::rethrow_exception(failure);
  }
}

}  // namespace brv
