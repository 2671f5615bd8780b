// Strict fakes for the COM tests: they count their references and answer only what a test
// gives them.
#pragma once

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <vector>

namespace brv::test {

// A controlling object: answers only the IIDs listed with itself, counts AddRef and Release,
// and records every IID it is asked for.
class TFakeOuter : public IUnknown {
 public:
  explicit TFakeOuter(std::vector<IID> Answers = {IID_IUnknown}) : FAnswers(std::move(Answers)) {}
  ~TFakeOuter() { EXPECT_EQ(Refs, 1) << "unbalanced references on the outer object"; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Obj) override {
    Queried.push_back(Iid);
    for (const IID& answer : FAnswers)
      if (IsEqualGUID(answer, Iid)) {
        *Obj = this;
        AddRef();
        return S_OK;
      }
    *Obj = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++Refs); }
  ULONG STDMETHODCALLTYPE Release() override {
    EXPECT_GT(Refs, 1) << "the outer object was released below its owner's reference";
    return static_cast<ULONG>(--Refs);
  }

  LONG Refs = 1;  // the owner's own reference
  std::vector<IID> Queried;

 private:
  std::vector<IID> FAnswers;
};

// Joins a single-threaded apartment for the lifetime of the scope.
class TApartment {
 public:
  TApartment() { FInitialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
  ~TApartment() {
    if (FInitialized) CoUninitialize();
  }

 private:
  bool FInitialized;
};

}  // namespace brv::test
