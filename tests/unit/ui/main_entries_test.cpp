// The rule editor's address list: entry lines, adding, deleting and changing address entries,
// and the enabled states of the address buttons.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "main_window_test_support.h"
#include "sorting/strings.h"

namespace swo::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::string> Lines(const TStrings& Strings) {
  std::vector<std::string> lines;
  for (int32_t i = 0; i < Strings.Count(); ++i) lines.push_back(U8(Strings.GetLine(i)));
  return lines;
}

TEST(EntryLine, ParsingSplitsTheAddressFromTheNameValuePairs) {
  struct Case {
    std::u16string line;
    std::string address;
    std::vector<std::string> pairs;
  };
  const Case cases[] = {
      {u"abc@example.com", "abc@example.com", {}},
      {u"abc Categories:\"Red\"", "abc", {"Categories=Red"}},
      {u"abc Subject:\"Re: a b\"", "abc", {"Subject=Re: a b"}},  // blanks and ":" in a value
      {u"abc   My Prop :\"v\"", "abc", {"My Prop=v"}},           // blanks around a name go
      {u"abc x:\"\" y:\"2\"", "abc", {"y=2"}},                   // an empty value drops the pair
      {u"abc :\"1\" y:\"2\"", "abc", {"y=2"}},                   // so does an empty name
      {u"abc x:\"1\" \"2\"", "abc", {"x=2"}},                    // no name: the last one read
      {u"abc Cat:\"1\" cat:\"2\"", "abc", {"cat=2"}},            // a name again replaces
      {u"abc x:\"1\" y:\"2", "abc", {"x=1"}},                    // an open quote drops the pair
      {u"abc x:1", "abc", {}},                                   // values are quoted
      {u"abc def", "abc", {}},
      {u"* Importance:\"2\"", "*", {"Importance=2"}},
      {u"", "", {}},
  };
  for (const Case& c : cases) {
    std::u16string text = c.line;
    TStrings pairs;
    TMainPresenter::ParseEntry(text, pairs);
    EXPECT_EQ(U8(text), c.address) << U8(c.line);
    EXPECT_EQ(Lines(pairs), c.pairs) << U8(c.line);
  }
}

using MainEntriesTest = MainWindowTest;

TEST_F(MainEntriesTest, ChoosingAFolderFillsTheListAndTheButtonsFollowTheFolderTheEditAndTheRow) {
  TSwoFolder* friends = Sorter->Add(*Friends);
  friends->Add(u"zed@example.com");
  friends->Add(u"amy@example.com")->SetValue(std::u16string_view(u"Categories"), u"Red");
  friends->Add(u"amy@example.com");  // the same address twice: both are shown
  Sorter->Add(*Invoices);
  Show();
  Type(u"   ");  // blanks count as text
  EXPECT_FALSE(Presenter.Enabled(TMainControl::tbAddressAdd));

  Select(Node({u"\\\\Mailbox", u"Friends"}));
  EXPECT_THAT(RowTexts(),
              ElementsAre("amy@example.com", "amy@example.com Categories:\"Red\"", "zed@example.com"));
  EXPECT_TRUE(Presenter.Enabled(TMainControl::tbAddressAdd));
  EXPECT_TRUE(Presenter.Enabled(TMainControl::tbAddFromInbox));
  EXPECT_FALSE(Presenter.Enabled(TMainControl::tbAddressDelete));
  ClickRow(2);
  EXPECT_TRUE(Presenter.Enabled(TMainControl::tbAddressDelete));
  Type(u"");
  EXPECT_FALSE(Presenter.Enabled(TMainControl::tbAddressAdd));
  Type(u"x");

  // A node without a folder empties the list; the edit keeps its text.
  Select(Node({u"\\\\Mailbox"}));
  EXPECT_THAT(RowTexts(), IsEmpty());
  EXPECT_EQ(Presenter.EditText(), u"x");
  for (const TMainControl c :
       {TMainControl::tbAddressAdd, TMainControl::tbAddFromInbox, TMainControl::tbAddressDelete})
    EXPECT_FALSE(Presenter.Enabled(c));
}

TEST_F(MainEntriesTest, DeletingAnEntryAndAddingItsLineBackMakesAnEqualEntry) {
  TSwoFolder* friends = Sorter->Add(*Friends);
  const std::vector<std::vector<std::pair<std::u16string, std::u16string>>> filters = {
      {},
      {{u"Categories", u"Red; Blue"}},
      {{u"Subject", u"Re: budget: Q3"}, {u"My Flag", u"1"}, {u"Importance", u"2"}},
  };
  for (const auto& properties : filters) {
    TSwoEntry* entry = friends->Add(u"Bob.Smith@example.com");
    for (const auto& [name, value] : properties) entry->SetValue(std::u16string_view(name), value);
  }
  Show();
  Select(Node({u"\\\\Mailbox", u"Friends"}));
  for (int32_t row = 0; row < 3; ++row) {
    const std::u16string line = Presenter.Rows()[static_cast<size_t>(row)].Text;
    SCOPED_TRACE(U8(line));
    const TSwoEntry* before = friends->GetItem(row);
    const std::vector<std::string> properties = Lines(before->Properties());
    ClickRow(row);
    User([&] { Presenter.tbAddressDeleteClick(); });
    EXPECT_EQ(friends->Count(), 2);
    EXPECT_EQ(Presenter.EditText(), line);
    EXPECT_TRUE(Presenter.Enabled(TMainControl::tbAddressAdd));
    EXPECT_FALSE(Presenter.Enabled(TMainControl::tbAddressDelete));

    User([&] { Presenter.tbAddressAddClick(); });
    ASSERT_EQ(friends->Count(), 3);
    // Equal addresses: the entry added last stands first, and so does its row.
    const TSwoEntry* after = friends->GetItem(0);
    EXPECT_EQ(after->Address(), u"Bob.Smith@example.com");
    EXPECT_EQ(Lines(after->Properties()), properties);
    EXPECT_EQ(Presenter.Rows()[0].Text, line);
    EXPECT_EQ(Presenter.Rows()[0].Entry, after);
    EXPECT_EQ(Presenter.EditText(), u"");
    EXPECT_FALSE(Presenter.Enabled(TMainControl::tbAddressAdd));
  }
}

TEST_F(MainEntriesTest, AddedRowsTakeTheirEntrysPlaceAndTheSelectedRowStaysSelected) {
  TSwoFolder* friends = Sorter->Add(*Friends);
  friends->Add(u"b@example.com");
  friends->Add(u"d@example.com");
  Show();
  Select(Node({u"\\\\Mailbox", u"Friends"}));
  ClickRow(1);
  Type(u"  a@example.com  ");
  View.TakeLog();
  User([&] { Presenter.tbAddressAddClick(); });
  EXPECT_THAT(View.TakeLog(),
              ElementsAre("InsertRow 0 a@example.com", "SetEditText ", "SetEnabled tbAddressAdd off"));
  EXPECT_THAT(RowTexts(), ElementsAre("a@example.com", "b@example.com", "d@example.com"));
  EXPECT_EQ(Presenter.ItemIndex(), 2);
  Type(u"C@example.com");
  User([&] { Presenter.tbAddressAddClick(); });
  EXPECT_THAT(RowTexts(), ElementsAre("a@example.com", "b@example.com", "C@example.com", "d@example.com"));
  EXPECT_EQ(Presenter.Rows()[3].Entry, friends->GetItem(3));
  EXPECT_EQ(Presenter.ItemIndex(), 3);
}

TEST_F(MainEntriesTest, AWildcardNeedsFilterPropertiesAndBlanksAloneAddAnEmptyAddress) {
  TSwoFolder* friends = Sorter->Add(*Friends);
  Show();
  Select(Node({u"\\\\Mailbox", u"Friends"}));

  Type(u" * ");
  View.ExpectError(u"Wildcard address requires filter properties.");
  User([&] { Presenter.tbAddressAddClick(); });
  EXPECT_EQ(friends->Count(), 0);
  EXPECT_EQ(Presenter.EditText(), u" * ");

  Type(u"* Categories:\"Newsletter\"");
  User([&] { Presenter.tbAddressAddClick(); });
  ASSERT_EQ(friends->Count(), 1);
  EXPECT_EQ(friends->GetItem(0)->Address(), u"*");
  EXPECT_EQ(friends->GetItem(0)->GetValue(std::u16string_view(u"Categories")), u"Newsletter");

  Type(u"   ");
  EXPECT_TRUE(Presenter.Enabled(TMainControl::tbAddressAdd));
  User([&] { Presenter.tbAddressAddClick(); });
  ASSERT_EQ(friends->Count(), 2);
  EXPECT_EQ(friends->GetItem(0)->Address(), u"");
  EXPECT_THAT(RowTexts(), ElementsAre("", "* Categories:\"Newsletter\""));
}

}  // namespace
}  // namespace swo::test
