// Finding Outlook through COM: the running object from the running object table, a new
// instance through the registered class object, which thread is the main one, and a clean-up
// on a worker thread in the multithreaded apartment that obtains its own reference.
#include <gtest/gtest.h>

#include <thread>

#include "cleanup_test_support.h"
#include "dispatch_fakes.h"
#include "host/outlook_com_source.h"
#include "host/outlook_dispatch.h"
#include "object_model_win.h"
#include "outlook_server_win.h"

namespace swo::test {
namespace {

// Runs Work on a thread of the multithreaded apartment while this thread, a single-threaded
// apartment serving Outlook, keeps taking the calls that come in.
void OnWorker(const std::function<void()>& Work) {
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(done, nullptr);
  std::thread worker([&] {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    Work();
    CoUninitialize();
    SetEvent(done);
  });
  while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  worker.join();
  CloseHandle(done);
}

class ComSourceTest : public CleanupTest {
 protected:
  ComSourceTest() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~ComSourceTest() override { CoUninitialize(); }

  brv::TComPtr<IDispatch> Model = standin::CreateOutlookApplication(Outlook->Application());
  std::shared_ptr<TOutlookComSource> Source = std::make_shared<TOutlookComSource>();
};

TEST_F(ComSourceTest, WithoutARunningOutlookTheMainThreadKeepsTheAddInsReference) {
  EXPECT_EQ(Source->GetActiveApplication(), nullptr);
  EXPECT_TRUE(Source->IsMainThread());
  bool workerIsMain = true;
  std::thread([&] { workerIsMain = Source->IsMainThread(); }).join();
  EXPECT_FALSE(workerIsMain);
  const auto handed = outlook::WrapApplication(Model.get());
  Sorter->SetApplication_(handed);
  Sorter->SetApplicationSource(Source);
  EXPECT_EQ(Sorter->Application_(), handed);
}

TEST_F(ComSourceTest, TheRunningOutlookIsFoundAndUsedOnTheMainThread) {
  const standin::TOutlookServer server(Model.get());
  const auto running = Source->GetActiveApplication();
  ASSERT_NE(running, nullptr);
  Outlook->ResetCalls();
  EXPECT_EQ(running->Session()->CurrentProfileName(), u"Test profile");
  EXPECT_EQ(Outlook->Calls(outlook::TMemoryCall::ApplicationSession), 1u);

  Sorter->SetApplication_(nullptr);
  Sorter->SetApplicationSource(Source);
  Rule(Friends, u"anna@example.com");
  Inbox->AddItem(Mail(u"for friends", u"anna@example.com"));
  Sorter->Execute(nullptr);
  EXPECT_EQ(Subjects(Friends), (std::vector<std::u16string>{u"for friends"}));
}

TEST_F(ComSourceTest, ARunningObjectThatIsNotOutlookRaises) {
  const auto stranger = outlook::test::TFakeObject::Make();
  DWORD cookie = 0;
  ASSERT_EQ(RegisterActiveObject(static_cast<IDispatch*>(stranger.get()), outlook::CLSID_OutlookApplication, ACTIVEOBJECT_STRONG, &cookie),
            S_OK);
  try {
    Source->GetActiveApplication();
    ADD_FAILURE() << "a running object without _Application was taken";
  } catch (const brv::EbrvObject& e) {
    EXPECT_EQ(e.ErrorCode(), brv::kE_NOINTERFACE);
  }
  RevokeActiveObject(cookie, nullptr);
}

TEST_F(ComSourceTest, AWorkerRunObtainsItsOwnReferenceThroughCom) {
  const standin::TOutlookServer server(Model.get());
  Rule(Friends, u"anna@example.com");
  Rule(Invoices, u"*", {{u"Subject", u"*invoice*"}});
  // The reference handed over belongs to the main thread; the worker must not use it.
  const auto other = TMemoryOutlook::Create(u"other");
  Sorter->SetApplication_(other->Application());
  Sorter->SetApplicationSource(Source);
  Inbox->AddItem(Mail(u"hi", u"anna@example.com"));
  Inbox->AddItem(Mail(u"your invoice", u"shop@example.com"));
  Inbox->AddItem(Mail(u"stays", u"eve@example.com"));
  std::u16string failure;
  std::u16string createdProfile;
  OnWorker([&] {
    try {
      Sorter->Execute(nullptr);
      createdProfile = Source->CreateApplication()->Session()->CurrentProfileName();
    } catch (const brv::Exception& e) {
      failure = e.Message();
    }
  });
  EXPECT_EQ(failure, u"");
  EXPECT_EQ(Subjects(Friends), (std::vector<std::u16string>{u"hi"}));
  EXPECT_EQ(Subjects(Invoices), (std::vector<std::u16string>{u"your invoice"}));
  EXPECT_EQ(Subjects(Inbox), (std::vector<std::u16string>{u"stays"}));
  EXPECT_EQ(createdProfile, u"Test profile");
  EXPECT_EQ(other->TotalCalls(), 0u);
}

}  // namespace
}  // namespace swo::test
