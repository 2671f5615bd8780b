#include <gtest/gtest.h>

#include "cleanup_test_support.h"
#include "foundation/text.h"
#include "sorting/matching.h"

namespace swo::test {
namespace {

using outlook::TMemoryCall;
using outlook::TMemoryProperty;
using outlook::TMemoryValue;

class MatchingTest : public CleanupTest {
 protected:
  // A mail in the inbox with these categories, subject and a custom property "Project".
  Ref<outlook::TMemoryItem> AddMail(std::u16string Subject, std::u16string Categories = {},
                                    TMemoryValue Project = TMemoryValue::Text(u"Apollo")) {
    TMemoryItemData data = Mail(std::move(Subject), u"bob@example.com");
    data.Categories = std::move(Categories);
    data.Custom.push_back(TMemoryProperty{u"Project", std::move(Project)});
    return Inbox->AddItem(std::move(data));
  }
  bool Accepts(TSwoEntry* Entry, const Ref<outlook::TMemoryItem>& Item) {
    return MatchEntry(Entry, AsSeen(Item).get()) == Entry;
  }
};

TEST_F(MatchingTest, PatternFormsFollowTheRulesOfTheirStars) {
  struct Case {
    std::u16string filter, pattern, subject, categories;
    bool matches;
  };
  const Case cases[] = {
      {u"Subject", u"*invoice*", u"Your Invoice 42", u"", true},
      {u"Subject", u"invoice*", u"Invoice 42", u"", true},
      {u"Subject", u"invoice*", u"Your Invoice", u"", false},
      {u"Subject", u"*invoice", u"Your Invoice", u"", true},
      {u"Subject", u"*invoice", u"Invoice 42", u"", false},
      {u"Subject", u"invoice", u"INVOICE", u"", true},
      {u"Subject", u"invoice", u"Invoice 42", u"", false},
      {u"Subject", u"*", u"anything", u"", true},
      {u"Subject", u"in*ce", u"invoice", u"", false},         // a star in the middle is a character
      {u"Subject", u"in*ce", u"IN*CE", u"", true},
      {u"Subject", u"*42*", u"*42*", u"", true},               // equal to the whole pattern
      {u"Subject", u"caf\u00E9", u"CAF\u00C9", u"", false},   // only a-z fold
      {u"Subject", u"caf\u00E9", u"caf\u00E9", u"", true},
      {u"Categories", u"blue", u"x", u"Red; Blue", true},
      {u"categories", u"blue", u"x", u"Red;Blue ", true},      // the filter name folds A-Z too
      {u"Categories", u"blue", u"x", u"Light Blue", false},
      {u"Categories", u"*BLUE*", u"x", u"Light Blue", true},
      {u"Categories", u"red", u"x", u" ;;\tRed\t;", true},       // empty parts, tabs trimmed
      {u"Project", u"apollo", u"x", u"", true},                 // a custom property
      {u"Project", u"gemini", u"x", u"", false},
      {u"Missing", u"*", u"x", u"", false},                     // no such property at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(brv::Utf16ToUtf8(c.filter + u" " + c.pattern + u" on " + c.subject + u" / " + c.categories));
    TSwoEntry* entry = Rule(Friends, u"bob@example.com");
    entry->SetValue(std::u16string_view(c.filter), c.pattern);
    EXPECT_EQ(Accepts(entry, AddMail(c.subject, c.categories)), c.matches);
    delete entry;
  }
}

TEST_F(MatchingTest, TheStarsOfTwoStarPatternsNeedAText) {
  // "**" has an empty middle, so it needs a value that begins or ends with "*" (or is "**").
  EXPECT_FALSE(MatchPattern(u"ANYTHING", u"**", false));
  EXPECT_TRUE(MatchPattern(u"*ANYTHING", u"**", false));
  EXPECT_TRUE(MatchPattern(u"ANYTHING*", u"**", false));
  EXPECT_TRUE(MatchPattern(u"", u"*", false));
  EXPECT_TRUE(MatchPattern(u"", u"", false));   // equal before the empty pattern is refused
  EXPECT_FALSE(MatchPattern(u"X", u"", false));
  EXPECT_TRUE(MatchPattern(u"A", u"A*", false));
}

TEST_F(MatchingTest, EntriesWithoutFiltersOrWithoutMailAcceptAndNoEntryRefuses) {
  TSwoEntry* plain = Rule(Friends, u"bob@example.com");
  EXPECT_EQ(MatchEntry(plain, nullptr), plain);
  EXPECT_EQ(MatchEntry(plain, AsSeen(AddMail(u"x")).get()), plain);
  EXPECT_EQ(MatchEntry(nullptr, AsSeen(AddMail(u"y")).get()), nullptr);
  TSwoEntry* filtered = Rule(Friends, u"bob@example.com", {{u"Subject", u"never"}});
  EXPECT_EQ(MatchEntry(filtered, nullptr), filtered);
}

TEST_F(MatchingTest, StopsAtTheFirstFilterThatFails) {
  TSwoEntry* entry = Rule(Friends, u"bob@example.com", {{u"Subject", u"nope"}, {u"Project", u"apollo"}});
  const auto mail = AddMail(u"Hello");
  const auto seen = AsSeen(mail);
  Outlook->ResetCalls();
  EXPECT_EQ(MatchEntry(entry, seen.get()), nullptr);
  // Subject is built in: the custom lookup finds nothing, the built-in one finds it. Project is
  // never asked for.
  EXPECT_EQ(Outlook->Calls(TMemoryCall::UserPropertiesFind), 2u);
  EXPECT_EQ(Outlook->Calls(TMemoryCall::UserPropertyValueText), 1u);

  TSwoEntry* both = Rule(Friends, u"bob@example.com", {{u"Subject", u"hello"}, {u"Project", u"apollo"}});
  EXPECT_TRUE(Accepts(both, mail));
}

TEST_F(MatchingTest, ANullValueAndFailingOutlookCallsRaise) {
  TSwoEntry* entry = Rule(Friends, u"bob@example.com", {{u"Project", u"*"}});
  const auto nullProject = AddMail(u"x", u"", TMemoryValue());
  EXPECT_THROW(MatchEntry(entry, AsSeen(nullProject).get()), brv::EbrvObject);

  const auto mail = AddMail(u"y");
  const auto seen = AsSeen(mail);
  Outlook->InjectFault(TMemoryCall::UserPropertiesFind, *mail);
  EXPECT_THROW(MatchEntry(entry, seen.get()), brv::EbrvObject);
}

}  // namespace
}  // namespace swo::test
