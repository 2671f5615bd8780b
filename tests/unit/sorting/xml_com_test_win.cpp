// The MSXML seam's COM rule: it works on any thread and leaves the thread's COM state as it
// found it (Wine-only: the portable seam has no COM).
#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <thread>

#include "platform/xml.h"

namespace brv::platform {
namespace {

constexpr DWORD kNoCom = ~DWORD{0};

// Runs Body on a new thread after initialising COM there in Model (kNoCom: not at all).
template <class F>
void OnThread(DWORD Model, F Body) {
  std::thread thread([&] {
    const bool initialised = Model != kNoCom && SUCCEEDED(CoInitializeEx(nullptr, Model));
    Body();
    if (initialised) CoUninitialize();
  });
  thread.join();
}

std::u16string ParseAndRead() {
  const TbrvXmlDocument doc = TbrvXmlDocument::Parse("<r a=\"1\">x</r>", u"t.xml");
  return *doc.DocumentElement().Attribute(u"a") + *doc.DocumentElement().Text();
}

TEST(XmlComTest, WorksOnAThreadWithoutComAndUninitialisesWhatItInitialised) {
  HRESULT during = E_FAIL, after = E_FAIL;
  std::u16string read;
  OnThread(kNoCom, [&] {
    {
      const TbrvXmlDocument doc = TbrvXmlDocument::Parse("<r/>", u"t.xml");
      // While a document lives, its thread has COM (in an apartment of the seam's choice).
      during = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
      if (SUCCEEDED(during)) CoUninitialize();
    }
    read = ParseAndRead();
    // Afterwards the thread is back to no COM at all: any model may be chosen.
    after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(after)) CoUninitialize();
  });
  EXPECT_EQ(during, S_FALSE);
  EXPECT_EQ(after, S_OK);
  EXPECT_EQ(read, u"1x");
}

TEST(XmlComTest, UsesTheCallersApartmentWhateverItsModel) {
  for (const DWORD model : {COINIT_APARTMENTTHREADED, COINIT_MULTITHREADED}) {
    std::u16string read;
    HRESULT after = E_FAIL;
    OnThread(model, [&] {
      read = ParseAndRead();
      // The caller's own initialisation is still there, in its model.
      after = CoInitializeEx(nullptr, model);
      if (SUCCEEDED(after)) CoUninitialize();
    });
    EXPECT_EQ(read, u"1x") << model;
    EXPECT_EQ(after, S_FALSE) << model;
  }
}

}  // namespace
}  // namespace brv::platform
