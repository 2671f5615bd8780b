// The typed list's bulk add, which the configuration loader fills the model's sorted lists with:
// whatever happens meanwhile, it must end in the order that adding one by one gives.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "foundation/list.h"

namespace brv {
namespace {

struct TItem {
  int Key;
  int Id;
};

class TItemList : public TbrvObjectList<TItem> {
 public:
  TItemList() : TbrvObjectList(false) {
    SetSorted(true);
    SetOnCompare([](TItem* L, TItem* R) { return L->Key - R->Key; });
  }
};

std::vector<int> Ids(const TItemList& List) {
  std::vector<int> ids;
  for (int32_t i = 0; i < List.Count(); ++i) ids.push_back(List.GetItem(i)->Id);
  return ids;
}

TEST(ListBulkAdd, EndsInTheOrderThatAddingOneByOneGives) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    std::vector<std::unique_ptr<TItem>> items;
    TItemList bulk, single;
    auto add = [&] {
      items.push_back(
          std::make_unique<TItem>(TItem{static_cast<int>(random() % 5), static_cast<int>(items.size())}));
      bulk.Add(items.back().get());
      single.Add(items.back().get());
    };
    // Items already there, with keys the bulk add repeats.
    for (int i = 0; i < 8; ++i) add();
    bulk.BeginBulkAdd();
    for (int step = 0; step < 60; ++step) {
      const unsigned what = random() % 4;
      if (what == 0 && single.Count() > 0) {
        // Leaving (by identity) and coming back, as a loaded child does for the key it read.
        TItem* item = single.GetItem(static_cast<int32_t>(random() % static_cast<unsigned>(single.Count())));
        bulk.RemoveItem(item, TDirection::FromEnd);
        single.RemoveItem(item, TDirection::FromBeginning);
        if (random() % 2 == 0) {
          bulk.Add(item);
          single.Add(item);
        }
      } else {
        add();
      }
    }
    bulk.EndBulkAdd();
    EXPECT_EQ(Ids(bulk), Ids(single)) << "seed " << seed;
    EXPECT_FALSE(bulk.InBulkAdd());
    // Afterwards the list is sorted as ever: adds and searches work as before.
    add();
    EXPECT_EQ(Ids(bulk), Ids(single)) << "seed " << seed;
    EXPECT_EQ(bulk.IndexOf(items.back().get()), single.IndexOf(items.back().get()));
  }
}

TEST(ListBulkAdd, AddAppendsUntilTheEnd) {
  TItem a{2, 0}, b{1, 1}, c{2, 2};
  TItemList list;
  list.BeginBulkAdd();
  list.BeginBulkAdd();  // already open: changes nothing
  EXPECT_EQ(list.Add(&a), 0);
  EXPECT_EQ(list.Add(&b), 1);
  EXPECT_EQ(list.Add(&c), 2);
  EXPECT_EQ(Ids(list), (std::vector<int>{0, 1, 2}));
  list.EndBulkAdd();
  EXPECT_EQ(Ids(list), (std::vector<int>{1, 2, 0}));
  list.EndBulkAdd();  // none open: changes nothing
  EXPECT_EQ(Ids(list), (std::vector<int>{1, 2, 0}));
}

}  // namespace
}  // namespace brv
