#include <gtest/gtest.h>

#include <new>
#include <optional>
#include <stdexcept>

#include "failing_allocation.h"
#include "foundation/exception.h"
#include "foundation/text.h"
#include "os/error_info.h"
#include "os/os_error.h"

namespace brv {
namespace {

// The thread's COM error object is shared state: every test starts and ends without one.
class ErrorTest : public ::testing::Test {
 protected:
  void SetUp() override { os::TakeThreadErrorDescription(); }
  void TearDown() override { os::TakeThreadErrorDescription(); }
};

// Runs Body and returns the exception of type E it raises; fails the test if it raises none.
template <class E, class Body>
E Raised(Body body) {
  try {
    body();
  } catch (const E& e) {
    return e;
  }
  ADD_FAILURE() << "nothing was raised";
  return E(kE_FAIL, u"not raised");
}

TEST_F(ErrorTest, MessageOfAKnownCodeIsTheSystemTextWithoutTrailingPunctuation) {
  const EbrvObject e(kE_INVALIDARG);
  const std::u16string system = os::SystemMessageText(kE_INVALIDARG);
  ASSERT_FALSE(e.Message().empty());
  EXPECT_EQ(system.substr(0, e.Message().size()), e.Message());
  for (const char16_t c : system.substr(e.Message().size())) EXPECT_TRUE(c == u'.' || c <= u' ');
  const char16_t last = e.Message().back();
  EXPECT_NE(last, u'.');
  EXPECT_GT(last, u' ');
  EXPECT_EQ(EbrvObject::ErrorMessage(kE_INVALIDARG), e.Message());
}

TEST_F(ErrorTest, MessageOfACodeWithoutSystemTextIsItsHexForm) {
  EXPECT_EQ(EbrvObject(static_cast<TbrvResult>(0x8FFF1234)).Message(), u"0x8FFF1234");
  EXPECT_EQ(EbrvObject(static_cast<TbrvResult>(0xA00000AB), u"").Message(), u"0xA00000AB");
  EXPECT_EQ(EbrvObject(kE_FAIL, u"own text").Message(), u"own text");
  EXPECT_STREQ(EbrvObject(kE_FAIL, u"caf\u00E9").what(), "caf\xC3\xA9");
}

TEST_F(ErrorTest, CheckPassesSuccessCodesAndRaisesTheTypeItIsCalledOn) {
  EXPECT_EQ(EbrvObject::Check(kS_OK), 0);
  EXPECT_EQ(EbrvObject::Check(kS_FALSE), 1);
  EXPECT_EQ(Raised<EbrvObject>([] { EbrvObject::Check(kE_FAIL); }).ErrorCode(), kE_FAIL);

  // A handler for a base type catches the derived type that Check raised.
  const auto raise = [] { EbrvComFactory::Check(kE_NOINTERFACE); };
  EXPECT_THROW(raise(), EbrvComFactory);
  EXPECT_EQ(Raised<EbrvComObject>(raise).ErrorCode(), kE_NOINTERFACE);
  EXPECT_EQ(Raised<EbrvObject>(raise).ErrorCode(), kE_NOINTERFACE);
  EXPECT_THROW(EbrvList::Check(kE_INVALIDARG), EbrvList);
  try {
    EbrvComObject::Check(kE_FAIL);
  } catch (const EbrvComFactory&) {
    ADD_FAILURE() << "EbrvComObject::Check raised the derived type";
  } catch (const EbrvComObject&) {
  }
}

TEST_F(ErrorTest, CheckOfOperatingSystemCodesConvertsThem) {
  struct Case {
    uint32_t code;
    TbrvResult converted;
  };
  for (const Case c : {Case{5, static_cast<TbrvResult>(0x80070005)},
                       Case{0x12345, static_cast<TbrvResult>(0x80072345)},
                       Case{0xFFFFFFFF, static_cast<TbrvResult>(0x8007FFFF)}}) {
    EXPECT_EQ(ResultFromOsError(c.code), c.converted);
    EXPECT_EQ(Raised<EbrvObject>([&] { EbrvObject::Check(TbrvOsError{c.code}); }).ErrorCode(), c.converted);
  }
  EXPECT_EQ(EbrvObject::Check(TbrvOsError{0}), 0);
}

TEST_F(ErrorTest, CheckOfFalseRaisesTheLastErrorEvenWhenItIsZero) {
  EXPECT_EQ(EbrvObject::Check(true), 0);
  os::SetLastOsError(0);
  EXPECT_EQ(Raised<EbrvObject>([] { EbrvObject::Check(false); }).ErrorCode(), 0);
  os::SetLastOsError(5);
  EXPECT_EQ(Raised<EbrvObject>([] { EbrvObject::Check(false); }).ErrorCode(), static_cast<TbrvResult>(0x80070005));
  os::SetLastOsError(6);
  EXPECT_EQ(Raised<EbrvObject>([] { EbrvObject::CheckHandle(0); }).ErrorCode(), static_cast<TbrvResult>(0x80070006));
  os::SetLastOsError(0);
}

TEST_F(ErrorTest, IsHandleRejectsZeroAndTheInvalidHandleValue) {
  EXPECT_FALSE(EbrvObject::IsHandle(0));
  EXPECT_FALSE(EbrvObject::IsHandle(~uintptr_t{0}));
  EXPECT_TRUE(EbrvObject::IsHandle(4));
  EXPECT_EQ(EbrvObject::CheckHandle(4), 4u);
}

TEST_F(ErrorTest, IsFailedLooksAtBit31Only) {
  EXPECT_TRUE(EbrvObject::IsFailed(kE_FAIL));
  EXPECT_TRUE(EbrvObject::IsFailed(kAbortCode));
  EXPECT_FALSE(EbrvObject::IsFailed(kS_FALSE));
  EXPECT_FALSE(EbrvObject::IsFailed(0x7FFFFFFF));
  EXPECT_TRUE(EbrvObject::IsSucceeded(kS_FALSE));
}

TEST_F(ErrorTest, TheAbortCodeRaisesTheSilentAbort) {
  EXPECT_THROW(EbrvObject::Check(kAbortCode), EbrvAbort);
  EXPECT_THROW(EbrvList::RaiseError(kAbortCode), EbrvAbort);
  try {
    EbrvObject::Check(kAbortCode);
  } catch (const EbrvObject&) {
    ADD_FAILURE() << "the abort became an EbrvObject";
  } catch (const EbrvAbort&) {
  }
}

TEST_F(ErrorTest, RaiseErrorTakesTheMessageFromTheThreadsErrorObjectAndConsumesIt) {
  ASSERT_TRUE(os::SetThreadErrorDescription(u"The operation failed in Outlook."));
  const EbrvObject e = Raised<EbrvObject>([] { EbrvObject::Check(kE_FAIL); });
  EXPECT_EQ(e.Message(), u"The operation failed in Outlook.");
  EXPECT_FALSE(os::TakeThreadErrorDescription().has_value());
  // Without an error object the system text is used.
  EXPECT_EQ(Raised<EbrvObject>([] { EbrvObject::Check(kE_INVALIDARG); }).Message(),
            EbrvObject::ErrorMessage(kE_INVALIDARG));
}

TEST_F(ErrorTest, HandleSafeCallExceptionMapsEachKindAndPublishesItsMessage) {
  struct Case {
    const char* name;
    std::exception_ptr exception;
    TbrvResult result;
    std::u16string description;
  };
  const Case cases[] = {
      {"out of memory", std::make_exception_ptr(std::bad_alloc()), kE_OUTOFMEMORY, Utf8ToUtf16(std::bad_alloc().what())},
      {"list range", std::make_exception_ptr(EbrvList(kE_INVALIDARG)), kE_INVALIDARG, EbrvObject::ErrorMessage(kE_INVALIDARG)},
      {"own code", std::make_exception_ptr(EbrvComObject(static_cast<TbrvResult>(0x80040154), u"not registered")),
       static_cast<TbrvResult>(0x80040154), u"not registered"},
      {"other", std::make_exception_ptr(std::runtime_error("disk on fire")), kE_UNEXPECTED, u"disk on fire"},
      {"interface cast", std::make_exception_ptr(EbrvIntfCast()), kE_NOINTERFACE, u"Interface not supported"},
      {"not implemented", std::make_exception_ptr(EbrvNotImplemented(u"later")), kE_NOTIMPL, u"later"},
      {"abort", std::make_exception_ptr(EbrvAbort()), kAbortCode, u"Operation aborted"},
      {"not an exception object", std::make_exception_ptr(42), kE_UNEXPECTED, EbrvObject::ErrorMessage(kE_UNEXPECTED)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HandleSafeCallException(c.exception), c.result);
    EXPECT_EQ(os::TakeThreadErrorDescription().value_or(u"<none>"), c.description);
  }
}

TEST_F(ErrorTest, AnErrorCrossesACallBoundaryWithItsCodeAndMessage) {
  TbrvResult hr = 0;
  try {
    throw EbrvComFactory(static_cast<TbrvResult>(0x80070002), u"Rules file missing");
  } catch (...) {
    hr = HandleSafeCallException();
  }
  const EbrvComObject received = Raised<EbrvComObject>([&] { EbrvComObject::Check(hr); });
  EXPECT_EQ(received.ErrorCode(), static_cast<TbrvResult>(0x80070002));
  EXPECT_EQ(received.Message(), u"Rules file missing");
}

// A descendant that replaces class-level operations: Create, Check and the publishing at a COM
// boundary use the replacements.
class ECustom : public TbrvErrorClass<ECustom, EbrvObject> {
 public:
  using TbrvErrorClass::TbrvErrorClass;
  static std::u16string ErrorMessage(TbrvResult) { return u"custom text"; }
  static bool IsFailed(TbrvResult Status) { return Status != 0; }
  static void PublishError(const std::exception*, TbrvResult) {
    os::SetThreadErrorDescription(u"published by ECustom");
  }
};

TEST_F(ErrorTest, ReplacedClassLevelOperationsAreUsedByTheTypeThatReplacesThem) {
  EXPECT_EQ(ECustom(kE_FAIL).Message(), u"custom text");
  EXPECT_THROW(ECustom::Check(kS_FALSE), ECustom);
  EXPECT_FALSE(ECustom::IsSucceeded(kS_FALSE));
  EXPECT_EQ(EbrvObject::Check(kS_FALSE), kS_FALSE);

  EXPECT_EQ(HandleSafeCallException(std::make_exception_ptr(ECustom(kE_FAIL, u"x"))), kE_FAIL);
  EXPECT_EQ(os::TakeThreadErrorDescription().value_or(u""), u"published by ECustom");
}

// Publishing runs inside the catch handlers of COM methods: if it threw for lack of memory, the
// exception would leave through a frame the compiler did not build. It still sets an error
// object, without a description, so that the caller never reads an unrelated, older one.
TEST_F(ErrorTest, PublishingWhileMemoryRunsOutNeverThrowsAndLeavesNoOlderDescription) {
  constexpr char16_t kLong[] = u"a message longer than any short-string buffer";
  struct Case {
    const char* name;
    std::exception_ptr exception;
    TbrvResult result;
  };
  const Case cases[] = {
      {"own error", std::make_exception_ptr(EbrvComObject(kE_FAIL, kLong)), kE_FAIL},
      {"replaced publishing", std::make_exception_ptr(ECustom(kE_FAIL, kLong)), kE_FAIL},
      {"standard exception", std::make_exception_ptr(std::runtime_error(Utf16ToUtf8(kLong))), kE_UNEXPECTED},
      {"out of memory", std::make_exception_ptr(std::bad_alloc()), kE_OUTOFMEMORY},
      {"not an exception object", std::make_exception_ptr(42), kE_UNEXPECTED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(os::SetThreadErrorDescription(u"left over from an earlier call"));
    TbrvResult result = 0;
    bool threw = false;
    {
      const test::TFailingAllocations noMemory;
      try {
        result = HandleSafeCallException(c.exception);
      } catch (...) {
        threw = true;
      }
    }
    EXPECT_FALSE(threw);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(os::TakeThreadErrorDescription(), std::optional<std::u16string>(u""));
  }
}

}  // namespace
}  // namespace brv
