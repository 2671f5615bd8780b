// Fakes of the host's side of the ribbon: a ribbon that counts Invalidate calls, and callback
// arguments that are a ribbon, a control with an id, null, or something else.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "foundation/exception.h"
#include "office/callback.h"

namespace brv::test {

class TFakeRibbon : public TbrvRibbon {
 public:
  void Invalidate() override {
    ++Invalidations;
    if (Fail) EbrvObject::RaiseError(kE_FAIL);
  }
  int Invalidations = 0;
  bool Fail = false;
};

// An argument of one kind; asking it as another kind fails as a failed interface cast would.
class TFakeArgument : public TbrvCallbackArgument {
 public:
  static std::unique_ptr<TFakeArgument> Ribbon(std::shared_ptr<TbrvRibbon> Ribbon) {
    auto a = std::make_unique<TFakeArgument>();
    a->FRibbon = std::move(Ribbon);
    return a;
  }
  static std::unique_ptr<TFakeArgument> Control(std::u16string Id) {
    auto a = std::make_unique<TFakeArgument>();
    a->FControlId = std::move(Id);
    return a;
  }
  static std::unique_ptr<TFakeArgument> Null() {
    auto a = std::make_unique<TFakeArgument>();
    a->FNull = true;
    return a;
  }
  // Neither a ribbon nor a control.
  static std::unique_ptr<TFakeArgument> Other() { return std::make_unique<TFakeArgument>(); }

  std::shared_ptr<TbrvRibbon> AsRibbon() const override {
    if (FNull) return nullptr;
    if (!FRibbon) throw EbrvIntfCast();
    return FRibbon;
  }
  std::optional<std::u16string> ControlId() const override {
    if (FNull) return std::nullopt;
    if (!FControlId) throw EbrvIntfCast();
    return FControlId;
  }

 private:
  bool FNull = false;
  std::shared_ptr<TbrvRibbon> FRibbon;
  std::optional<std::u16string> FControlId;
};

template <class... Args>
TbrvCallbackParameters Parameters(Args&&... args) {
  TbrvCallbackParameters p;
  (p.push_back(std::forward<Args>(args)), ...);
  return p;
}

}  // namespace brv::test
