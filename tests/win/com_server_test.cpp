// The process-wide factory register: lookup, the registration walk and its undo, and ownership.
#include "com/com_server.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "com/com_factory.h"
#include "foundation/exception.h"

namespace brv {
namespace {

CLSID ClassNumber(uint32_t N) {
  return {N, 0x7A11, 0x4C0D, {0x9E, 0x21, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
}

// Logs its registration calls and its destruction; fails registration when told to.
class TLoggingFactory : public TbrvComFactory {
 public:
  TLoggingFactory(uint32_t N, std::vector<std::string>* Log, bool FailRegister = false)
      : TbrvComFactory(ClassNumber(N), TbrvComClass{}),
        FName(std::to_string(N)),
        FLog(Log),
        FFailRegister(FailRegister) {}
  ~TLoggingFactory() override { FLog->push_back("destroy " + FName); }
  void UpdateRegistry(bool Register) override {
    FLog->push_back((Register ? "register " : "unregister ") + FName);
    if (Register && FFailRegister) EbrvObject::RaiseError(static_cast<TbrvResult>(0x80070005));
  }

 private:
  std::string FName;
  std::vector<std::string>* FLog;
  bool FFailRegister;
};

class ComServerTest : public testing::Test {
 protected:
  void TearDown() override { FreeComServer(); }
  TLoggingFactory* Add(uint32_t N, bool FailRegister = false) {
    return TbrvInterfacedObject::Create<TLoggingFactory>(N, &Log, FailRegister);
  }
  std::vector<std::string> Log;
};

TEST_F(ComServerTest, FindReturnsTheLastFactoryCreatedForAClassAndNullForNone) {
  Add(1);
  TLoggingFactory* second = Add(1);
  EXPECT_EQ(ComServer().Find(ClassNumber(1)), second);
  EXPECT_EQ(ComServer().IndexOf(ClassNumber(1)), 1);
  EXPECT_EQ(ComServer().Find(ClassNumber(2)), nullptr);
  EXPECT_EQ(ComServer().IndexOf(ClassNumber(2)), -1);
}

TEST_F(ComServerTest, FailedRegistrationUnregistersAllInReverseAndRaisesTheFailure) {
  Add(1);
  Add(2, true);
  Add(3);
  try {
    ComServer().UpdateRegistry(true);
    FAIL() << "registration succeeded";
  } catch (const EbrvObject& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<TbrvResult>(0x80070005));
  }
  EXPECT_EQ(Log, (std::vector<std::string>{"register 1", "register 2", "unregister 3", "unregister 2",
                                           "unregister 1"}));
}

TEST_F(ComServerTest, UnregistrationRunsLastFirst) {
  Add(1);
  Add(2);
  ComServer().UpdateRegistry(false);
  EXPECT_EQ(Log, (std::vector<std::string>{"unregister 2", "unregister 1"}));
}

TEST_F(ComServerTest, FreeingTheServerDestroysEveryFactoryOnceLastFirst) {
  Add(1);
  Add(2);
  Add(3);
  FreeComServer();
  EXPECT_EQ(ExistingComServer(), nullptr);
  EXPECT_EQ(Log, (std::vector<std::string>{"destroy 3", "destroy 2", "destroy 1"}));
}

TEST_F(ComServerTest, DestroyedFactoryLeavesTheServer) {
  Add(1);
  delete Add(2);
  EXPECT_EQ(ComServer().Count(), 1);
  EXPECT_EQ(ComServer().Find(ClassNumber(2)), nullptr);
}

}  // namespace
}  // namespace brv
