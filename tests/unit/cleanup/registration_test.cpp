#include <gtest/gtest.h>

#include <thread>

#include "cleanup_test_support.h"
#include "host/application_source.h"
#include "sorting/entry_index.h"

namespace swo::test {
namespace {

using RegistrationTest = CleanupTest;

TEST_F(RegistrationTest, AFolderIsRegisteredOnceUnderTheEntryOfItsStore) {
  TSwoFolder* friends = Sorter->Add(*Friends);
  ASSERT_NE(friends, nullptr);
  EXPECT_EQ(friends->Name(), u"Friends");
  EXPECT_EQ(friends->Id(), Friends->Id());
  EXPECT_EQ(friends->StoreId(), Store->StoreId());
  EXPECT_EQ(Sorter->Add(*Friends), friends);
  EXPECT_EQ(Sorter->Add(*Invoices)->Owner(), friends->Owner());
  EXPECT_EQ(Sorter->Count(), 1);

  const auto archive = Outlook->AddStore(u"Archive")->AddFolder(u"2025");
  TSwoFolder* old = Sorter->Add(*archive);
  EXPECT_EQ(Sorter->Count(), 2);
  EXPECT_EQ(old->StoreId(), archive->StoreId());
  EXPECT_EQ(old->Object_()->FolderPath(), u"\\\\Archive\\2025");
}

TEST_F(RegistrationTest, TheInboxCannotBeAddedButItsSubfoldersCan) {
  try {
    Sorter->Add(*Inbox);
    ADD_FAILURE() << "the inbox was added";
  } catch (const ESortwise& e) {
    EXPECT_EQ(e.ErrorCode(), brv::kE_FAIL);
    EXPECT_EQ(e.Message(), u"Inbox cannot be added");
  }
  // The store entry made on the way stays, without folders.
  ASSERT_EQ(Sorter->Count(), 1);
  EXPECT_EQ(Sorter->GetItem(0)->Count(), 0);
  EXPECT_NE(Sorter->Add(*Inbox->AddFolder(u"Newsletters")), nullptr);
}

TEST_F(RegistrationTest, PickingAFolderRegistersItAndCancellingRegistersNothing) {
  Outlook->QueuePick(*Invoices);
  Outlook->QueuePickCancel();
  TSwoFolder* picked = Sorter->Add();
  ASSERT_NE(picked, nullptr);
  EXPECT_EQ(picked->Name(), u"Invoices");
  EXPECT_EQ(Sorter->Add(), nullptr);
  EXPECT_EQ(Sorter->GetItem(0)->Count(), 1);
}

TEST_F(RegistrationTest, AFolderThatNoLongerExistsFailsToResolve) {
  TSwoFolder* friends = Sorter->Add(*Friends);
  Friends->Remove();
  EXPECT_THROW(friends->Object_(), brv::EbrvObject);
}

TEST_F(RegistrationTest, WithoutOutlookTheFolderOperationsSaySo) {
  std::unique_ptr<TSortwise> alone{TSortwise::Create()};
  EXPECT_EQ(alone->Application_(), nullptr);
  EXPECT_THROW(alone->Inbox_(), ESortwise);
  EXPECT_THROW(alone->Add(), ESortwise);
}

TEST_F(RegistrationTest, TheEntryListAddsEveryEntryInModelOrderToWhatIsThere) {
  Rule(Friends, u"abc");
  Rule(Invoices, u"abc");
  Rule(Invoices, u"zed");
  TSwoEntryIndex index;
  index.AddObject(u"abc", nullptr);
  Sorter->GetEntryList(index);
  ASSERT_EQ(index.Count(), 4);
  // Of equal addresses the entry added last (the later folder's) stands first.
  EXPECT_EQ(index.Objects(0)->Owner(), Sorter->Add(*Invoices));
  EXPECT_EQ(index.Objects(1)->Owner(), Sorter->Add(*Friends));
  EXPECT_EQ(index.Objects(2), nullptr);
  EXPECT_EQ(index.Strings(3), u"zed");
}

// Answers as the COM side would: a running instance or none, a new instance per request, and
// whether the caller is on the main thread.
class TScriptedSource : public TSwoApplicationSource {
 public:
  explicit TScriptedSource(Ref<TMemoryOutlook> Running, Ref<TMemoryOutlook> Created)
      : FRunning(std::move(Running)), FCreated(std::move(Created)), FMain(std::this_thread::get_id()) {}
  outlook::Ref<outlook::_Application> GetActiveApplication() override {
    return FRunning ? FRunning->Application() : nullptr;
  }
  outlook::Ref<outlook::_Application> CreateApplication() override {
    ++Created;
    return FCreated->Application();
  }
  bool IsMainThread() override { return std::this_thread::get_id() == FMain; }
  int Created = 0;

 private:
  Ref<TMemoryOutlook> FRunning, FCreated;
  std::thread::id FMain;
};

TEST_F(RegistrationTest, TheMainThreadUsesTheHandedApplicationOthersTheRunningOrANewInstance) {
  const auto running = TMemoryOutlook::Create(u"running");
  const auto created = TMemoryOutlook::Create(u"created");
  auto source = std::make_shared<TScriptedSource>(nullptr, created);
  Sorter->SetApplicationSource(source);
  // Main thread, nothing running: the add-in's reference.
  EXPECT_EQ(Sorter->Application_(), Outlook->Application());
  // A worker thread gets its own instance.
  outlook::Ref<outlook::_Application> onWorker;
  std::thread([&] { onWorker = Sorter->Application_(); }).join();
  EXPECT_EQ(onWorker, created->Application());
  EXPECT_EQ(source->Created, 1);
  // A running Outlook never replaces the handed reference on the main thread (Outlook trusts
  // only that one); it serves the other threads, and callers that were handed none.
  Sorter->SetApplicationSource(std::make_shared<TScriptedSource>(running, created));
  EXPECT_EQ(Sorter->Application_(), Outlook->Application());
  std::thread([&] { onWorker = Sorter->Application_(); }).join();
  EXPECT_EQ(onWorker, running->Application());
  Sorter->SetApplication_(nullptr);
  EXPECT_EQ(Sorter->Application_(), running->Application());
}

}  // namespace
}  // namespace swo::test
