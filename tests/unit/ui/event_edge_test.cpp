// The handler edge: an error raised in an event handler becomes an error message box.
#include "ui/event_edge.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/exception.h"
#include "foundation/text.h"
#include "sorting/sortwise.h"

namespace swo {
namespace {

class TBoxes : public TErrorView {
 public:
  void ShowError(std::u16string_view Text) override {
    Shown.emplace_back(Text);
    if (Fail) throw std::runtime_error("no box");
  }
  std::vector<std::u16string> Shown;
  bool Fail = false;
};

TEST(EventEdge, AFullStopIsAppendedWhenTheLastCharacterIsAboveTheFullStop) {
  struct Case {
    std::u16string message, text;
  };
  const Case cases[] = {
      {u"Inbox cannot be added", u"Inbox cannot be added."},
      {u"Done.", u"Done."},
      {u"Really?", u"Really?."},  // "?" is above "."
      {u"Stop!", u"Stop!"},       // "!" is not
      {u"0x80004005", u"0x80004005."},
      {u"range 1-", u"range 1-"},
      {u"(none)", u"(none)"},
      {u"a/", u"a/."},
      {u"trailing ", u"trailing "},
      {u"caf\u00E9", u"caf\u00E9."},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorBoxText(c.message), c.text) << brv::Utf16ToUtf8(c.message);
}

TEST(EventEdge, AHandlersErrorIsShownOnceAndGoesNoFurther) {
  struct Case {
    const char* what;
    void (*raise)();
    std::vector<std::u16string> shown;
  };
  const Case cases[] = {
      {"nothing", [] {}, {}},
      {"a plain message",
       [] { throw brv::Exception(u"Wildcard address requires filter properties"); },
       {u"Wildcard address requires filter properties."}},
      {"a sorter error",
       [] { throw ESortwise(brv::kE_FAIL, u"Inbox cannot be added"); },
       {u"Inbox cannot be added."}},
      {"the silent abort", [] { throw brv::EbrvAbort(); }, {}},
      {"out of memory", [] { throw std::bad_alloc(); }, {u"Out of memory."}},
      {"a standard error", [] { throw std::runtime_error("disk full"); }, {u"disk full."}},
      {"anything else", [] { throw 42; }, {u"Unexpected error."}},
  };
  for (const Case& c : cases) {
    TBoxes boxes;
    EXPECT_EQ(HandleEvent(boxes, c.raise), c.shown.empty() && std::string(c.what) != "the silent abort")
        << c.what;
    EXPECT_EQ(boxes.Shown, c.shown) << c.what;
  }
}

TEST(EventEdge, ABoxThatCannotBeShownDoesNotEscapeEither) {
  TBoxes boxes;
  boxes.Fail = true;
  EXPECT_FALSE(HandleEvent(boxes, [] { throw brv::Exception(u"first"); }));
  EXPECT_EQ(boxes.Shown.size(), 1u);
}

}  // namespace
}  // namespace swo
