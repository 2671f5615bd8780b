// TbrvComServer: the process-wide register of class factories, which owns them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/list.h"
#include "foundation/object.h"

namespace brv {

class TbrvComFactory;

class TbrvComServer : public TbrvObject {
 public:
  TbrvComServer() = default;
  ~TbrvComServer() override;

  // Destroys every factory, the last first.
  void Clear();
  // The position of the last-created factory for ClassId, or -1.
  int32_t IndexOf(const CLSID& ClassId) const;
  TbrvComFactory* Find(const CLSID& ClassId) const;
  // Appends Factory (Include) or removes it, searching from the end.
  void RegisterFactory(TbrvComFactory* Factory, bool Include);
  // All factories first to last (registering) or last to first (unregistering); a failed
  // registration unregisters everything and raises the first failure again.
  void UpdateRegistry(bool Register);

  int32_t Count() const { return FFactories.Count(); }
  TbrvComFactory* Factory(int32_t Index) const { return FFactories.GetItem(Index); }

 private:
  TbrvList<TbrvComFactory> FFactories;
};

// The process-wide server, created on first use and destroyed when the module unloads.
TbrvComServer& ComServer();
// The process-wide server if it exists, without creating it.
TbrvComServer* ExistingComServer();
// Destroys the process-wide server and forgets it (module unload).
void FreeComServer();

}  // namespace brv
