// TbrvComObject: the base of every object handed to a COM client. Stand-alone, aggregated or
// contained; reference counting, interface queries and ISupportErrorInfo go through the
// replaceable ComAddRef, ComRelease and ComQueryInterface.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string_view>
#include <utility>

#include "foundation/object.h"

namespace brv {

// How an object is being built: the controller (null for a stand-alone object) and whether
// interface queries go to it.
struct TbrvComControl {
  IUnknown* Controller = nullptr;
  bool Aggregated = false;
};

class TbrvComObject : public TbrvObject, public ISupportErrorInfo {
 public:
  // Stand-alone: destroys itself when its count drops to zero.
  template <class T, class... Args>
  static T* Create(Args&&... args) {
    return Construct<T>(TbrvComControl{}, std::forward<Args>(args)...);
  }
  // Queries go to Controller, counts to both; the owner destroys it. A null Controller gives
  // a stand-alone object.
  template <class T, class... Args>
  static T* CreateAggregated(IUnknown* Controller, Args&&... args) {
    return Construct<T>(TbrvComControl{Controller, Controller != nullptr}, std::forward<Args>(args)...);
  }
  // Own interface map, counts to both; the owner destroys it.
  template <class T, class... Args>
  static T* CreateContained(IUnknown* Controller, Args&&... args) {
    return Construct<T>(TbrvComControl{Controller, false}, std::forward<Args>(args)...);
  }

  int32_t RefCount() const { return FRefCount.load(std::memory_order_acquire); }
  // The controlling object with a reference added, or null.
  IUnknown* Controller() const;
  bool Aggregated() const { return FAggregated; }
  bool AutoDestroy() const { return FAutoDestroy; }

  // Adds to the controller's count (if any), then to the own count; returns the own count.
  virtual ULONG ComAddRef();
  // Drops the own count (destroying a stand-alone object at zero), then the controller's.
  virtual ULONG ComRelease();
  // The controller's answer when aggregated; otherwise the own interface map's.
  virtual HRESULT ComQueryInterface(REFIID IID, void** Obj);

  // Runs while the object is still whole, just before it is destroyed: the place for clean-up
  // that needs the descendants' virtual operations.
  virtual void BeforeDestruction() {}
  // Destroys the object: BeforeDestruction, then the destructors, with the count held at
  // kDestroyingRefCount meanwhile. Owners of aggregated and contained objects destroy them
  // through it too.
  void ReleaseObject() override;
  static constexpr int32_t kDestroyingRefCount = INT32_MAX / 2;

  // The interface map: the most derived class answers first and defers the rest to its base.
  // Returns the interface or null; adds no reference.
  virtual void* GetInterface(REFIID IID);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID IID, void** Obj) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // S_OK for every interface in the map: each one publishes COM error objects.
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID IID) override;

 protected:
  explicit TbrvComObject(const TbrvComControl& Control)
      : FController(Control.Controller),
        FAggregated(Control.Aggregated),
        FAutoDestroy(Control.Controller == nullptr) {}

 private:
  template <class T, class... Args>
  static T* Construct(const TbrvComControl& Control, Args&&... args) {
    T* object = new T(Control, std::forward<Args>(args)...);
    object->FRefCount.fetch_sub(1, std::memory_order_acq_rel);
    return object;
  }

  std::atomic<int32_t> FRefCount{1};
  IUnknown* FController;  // not counted: the controller owns this object
  bool FAggregated;
  bool FAutoDestroy;
};

// Adds Interfaces to Base and routes their IUnknown methods to the object's replaceable
// operations; a descendant still answers them in GetInterface.
template <class Base, class... Interfaces>
class TbrvComImplements : public Base, public Interfaces... {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID IID, void** Obj) override {
    return Base::QueryInterface(IID, Obj);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return Base::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return Base::Release(); }

 protected:
  using Base::Base;
};

// A class reference: the class's name and its aggregated constructor.
struct TbrvComClass {
  std::u16string_view ClassName;
  TbrvComObject* (*CreateAggregated)(IUnknown* Controller) = nullptr;

  template <class T>
  static constexpr TbrvComClass Of(std::u16string_view Name) {
    return {Name, [](IUnknown* Controller) -> TbrvComObject* {
              return TbrvComObject::CreateAggregated<T>(Controller);
            }};
  }
};

}  // namespace brv
