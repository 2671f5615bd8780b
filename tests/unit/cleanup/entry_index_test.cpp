#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sorting/entry_index.h"
#include "sorting/sortwise.h"

namespace swo {
namespace {

// Distinct entries, the one with number 3 with a filter.
class EntryIndex : public ::testing::Test {
 protected:
  EntryIndex() {
    for (int n = 0; n < 6; ++n) FEntries.push_back(FFolder->Add(u"entry"));
    FEntries[3]->SetValue(std::u16string_view(u"Subject"), u"x");
  }
  TSwoEntry* Entry(int n) { return FEntries[static_cast<size_t>(n)]; }

 private:
  std::unique_ptr<TSortwise> FSorter{TSortwise::Create()};
  TSwoFolder* FFolder = TSwoFolder::Create(TSwoStore::Create(FSorter.get(), u"S", u""), u"F", u"Folder");
  std::vector<TSwoEntry*> FEntries;
};

TEST_F(EntryIndex, KeepsEqualTextsNewestFirstAcrossLookups) {
  TSwoEntryIndex index;
  index.AddObject(u"bob@x", Entry(1));
  index.AddObject(u"anna@x", Entry(2));
  index.AddObject(u"BOB@x", Entry(3));
  EXPECT_EQ(index.IndexOf(u"Bob@X"), 1);
  EXPECT_EQ(index.Objects(1), Entry(3));
  EXPECT_EQ(index.Objects(2), Entry(1));
  // Lines added after a lookup still go in front of the equal ones already there.
  index.AddObject(u"bob@X", Entry(4));
  index.AddObject(u"carl@x", Entry(5));
  ASSERT_EQ(index.Count(), 5);
  EXPECT_EQ(index.IndexOf(u"bob@x"), 1);
  const TSwoEntry* expected[] = {Entry(2), Entry(4), Entry(3), Entry(1), Entry(5)};
  for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(index.Objects(i), expected[i]) << i;
  EXPECT_EQ(index.Strings(1), u"bob@X");
  // Whether an entry has filters is taken when it is added.
  EXPECT_TRUE(index.HasFilters(2));
  EXPECT_FALSE(index.HasFilters(1));
}

TEST_F(EntryIndex, ComparesWithoutCaseInTheLocaleAndFindsNothingForMissingTexts) {
  TSwoEntryIndex index;
  EXPECT_EQ(index.IndexOf(u"*"), -1);
  index.AddObject(u"m\u00FCller@example.de", Entry(1));
  index.AddObject(u"*", Entry(2));
  EXPECT_EQ(index.IndexOf(u"M\u00DCLLER@EXAMPLE.DE"), 1);
  EXPECT_EQ(index.IndexOf(u"*"), 0);
  EXPECT_EQ(index.IndexOf(u"mueller@example.de"), -1);
  EXPECT_EQ(index.IndexOf(u""), -1);
}

}  // namespace
}  // namespace swo
