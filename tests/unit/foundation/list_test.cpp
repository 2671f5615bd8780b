#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "foundation/list.h"
#include "os/error_info.h"

namespace brv {
namespace {

struct TItem : TbrvObject {
  explicit TItem(int Key = 0, std::vector<int>* Log = nullptr) : Key(Key), Log(Log) {}
  ~TItem() override {
    if (Log != nullptr) Log->push_back(Key);
  }
  int Key;
  std::vector<int>* Log;
};

// The owners' view of a list: sorted mode and the comparison handler, by key.
class TKeyList : public TbrvObjectList<TItem> {
 public:
  explicit TKeyList(bool Sorted = true, int* Calls = nullptr) : TbrvObjectList<TItem>(false) {
    SetOnCompare([Calls](TItem* L, TItem* R) {
      if (Calls != nullptr) ++*Calls;
      return L->Key < R->Key ? -1 : L->Key > R->Key ? 1 : 0;
    });
    SetSorted(Sorted);
  }
  using TbrvList<TItem>::SetSorted;
  using TbrvList<TItem>::Sorted;
};

std::vector<int> Keys(const TbrvList<TItem>& List) {
  std::vector<int> keys;
  for (int32_t i = 0; i < List.Count(); ++i) keys.push_back(List[i]->Key);
  return keys;
}

TEST(List, GrowsByTheFixedSteps) {
  TbrvList<TItem> list;
  TItem item;
  std::vector<int32_t> capacities;
  for (int i = 0; i < 147; ++i) {
    list.Add(&item);
    if (capacities.empty() || capacities.back() != list.Capacity()) capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int32_t>{4, 8, 12, 28, 44, 60, 76, 95, 118, 147}));
}

TEST(List, SetCountAddsNullPositionsAndKeepsCountWithinTheStorage) {
  TbrvList<TItem> list;
  list.SetCount(3);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Capacity(), 4);
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(list[i], nullptr);
  list.SetCount(40);  // more than one step at once
  EXPECT_GE(list.Capacity(), 40);
  EXPECT_EQ(list[39], nullptr);
  TItem a;
  list.SetItem(39, &a);
  list.SetCount(1);  // lowering neither clears nor destroys
  list.SetCount(40);
  EXPECT_EQ(list[39], &a);
}

TEST(List, RangeErrorsRaiseInvalidArgumentAndChangeNothing) {
  TItem a(1), b(2);
  TbrvList<TItem> list;
  list.Add(&a);
  list.Add(&b);
  const struct {
    const char* name;
    std::function<void()> call;
  } cases[] = {
      {"GetItem(-1)", [&] { list.GetItem(-1); }},
      {"GetItem(Count)", [&] { list.GetItem(2); }},
      {"SetItem(Count)", [&] { list.SetItem(2, &a); }},
      {"SetItem(-1)", [&] { list.SetItem(-1, &a); }},
      {"Delete(Count)", [&] { list.Delete(2); }},
      {"Delete(-1)", [&] { list.Delete(-1); }},
      {"Insert(Count + 1)", [&] { list.Insert(3, &a); }},
      {"Insert(-1)", [&] { list.Insert(-1, &a); }},
      {"SetCount(-1)", [&] { list.SetCount(-1); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // An error object left on the thread by an unrelated call neither becomes the list's
    // message nor gets lost.
    ASSERT_TRUE(os::SetThreadErrorDescription(u"Outlook could not open the store."));
    try {
      c.call();
      ADD_FAILURE() << "no error";
    } catch (const EbrvList& e) {
      EXPECT_EQ(e.ErrorCode(), kE_INVALIDARG);
      EXPECT_EQ(e.Message(), EbrvList::ErrorMessage(kE_INVALIDARG));
    }
    EXPECT_EQ(os::TakeThreadErrorDescription(),
              std::optional<std::u16string>(u"Outlook could not open the store."));
    EXPECT_EQ(Keys(list), (std::vector<int>{1, 2}));
  }
  list.Insert(2, &a);  // Insert at Count appends
  EXPECT_EQ(Keys(list), (std::vector<int>{1, 2, 1}));
}

TEST(List, DeleteLeavesANullBehindAndKeepsTheStorageWhileClearReleasesIt) {
  TItem a(1), b(2), c(3);
  TbrvList<TItem> list;
  for (TItem* item : {&a, &b, &c}) list.Add(item);
  list.Delete(0);
  EXPECT_EQ(Keys(list), (std::vector<int>{2, 3}));
  EXPECT_EQ(list.Capacity(), 4);
  list.SetCount(3);
  EXPECT_EQ(list[2], nullptr);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(List, SortedAddInsertsAtTheLowerBoundInFrontOfEqualKeys) {
  TItem first(5), second(5), low(1), high(9);
  TKeyList list;
  EXPECT_EQ(list.Add(&first), 0);
  EXPECT_EQ(list.Add(&high), 1);
  EXPECT_EQ(list.Add(&low), 0);
  EXPECT_EQ(list.Add(&second), 1);  // in front of the equal one added before
  EXPECT_EQ(list[1], &second);
  EXPECT_EQ(list[2], &first);

  int32_t index = -1;
  TItem probe(5);
  EXPECT_TRUE(list.FindItem(&probe, index));
  EXPECT_EQ(index, 1);
  TItem missing(7);
  EXPECT_FALSE(list.FindItem(&missing, index));
  EXPECT_EQ(index, 3);
}

TEST(List, IndexOfItemFindsTheFirstEqualWhenSortedAndHonoursTheDirectionWhenNot) {
  TItem a(5), b(5), c(1), probe(5);
  TKeyList sorted;
  for (TItem* item : {&a, &b, &c}) sorted.Add(item);
  EXPECT_EQ(sorted.IndexOfItem(&probe, TDirection::FromBeginning), 1);
  EXPECT_EQ(sorted.IndexOfItem(&probe, TDirection::FromEnd), 1);

  TKeyList unsorted(false);
  for (TItem* item : {&a, &c, &b}) unsorted.Add(item);
  EXPECT_EQ(unsorted.IndexOfItem(&probe, TDirection::FromBeginning), 0);
  EXPECT_EQ(unsorted.IndexOfItem(&probe, TDirection::FromEnd), 2);
  TItem none(8);
  EXPECT_EQ(unsorted.IndexOf(&none), -1);
}

TEST(List, WithoutAHandlerOnlyTheSameObjectCompareEqual) {
  TItem a(1), b(1);
  TbrvList<TItem> list;
  list.Add(&a);
  EXPECT_EQ(list.IndexOf(&b), -1);
  EXPECT_EQ(list.IndexOf(&a), 0);
  EXPECT_EQ(list.DefaultCompare(&a, &a), 0);
  EXPECT_EQ(list.DefaultCompare(nullptr, nullptr), 0);
  EXPECT_NE(list.DefaultCompare(&a, &b), 0);
  EXPECT_EQ(list.DefaultCompare(&a, &b), -list.DefaultCompare(&b, &a));
}

TEST(List, SortOrdersAnyInputAndNeverComparesFewerThanTwoItems) {
  int calls = 0;
  TKeyList list(false, &calls);
  list.Sort();
  TItem one(1);
  list.Add(&one);
  list.Sort();
  EXPECT_EQ(calls, 0);
  list.Clear();

  std::mt19937 random(7);
  for (int size : {2, 3, 17, 100, 1000}) {
    std::vector<std::unique_ptr<TItem>> items;
    for (int i = 0; i < size; ++i) items.push_back(std::make_unique<TItem>(static_cast<int>(random() % 50)));
    TKeyList unsorted(false);
    for (auto& item : items) unsorted.Add(item.get());
    unsorted.Sort();
    std::vector<int> expected = Keys(unsorted);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Keys(unsorted), expected) << size << " items";
    // A closure given to Sort wins over the list's own comparison.
    unsorted.Sort([](TItem* L, TItem* R) { return R->Key - L->Key; });
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(Keys(unsorted), expected) << size << " items, descending";
  }
}

TEST(List, SwitchingSortedOnSortsAtOnceAndOffKeepsTheOrder) {
  int calls = 0;
  TItem a(3), b(1), c(2);
  TKeyList list(false, &calls);
  for (TItem* item : {&a, &b, &c}) list.Add(item);
  list.SetSorted(true);
  EXPECT_EQ(Keys(list), (std::vector<int>{1, 2, 3}));
  calls = 0;
  list.SetSorted(true);
  EXPECT_EQ(calls, 0);
  list.SetSorted(false);
  EXPECT_FALSE(list.Sorted());
  EXPECT_EQ(Keys(list), (std::vector<int>{1, 2, 3}));
}

TEST(List, ExceptionsOfTheComparisonPassThroughAdd) {
  TbrvObjectList<TItem> dummy(false);
  struct TThrowing : TbrvObjectList<TItem> {
    TThrowing() : TbrvObjectList<TItem>(false) {
      SetOnCompare([](TItem*, TItem*) -> int32_t { throw std::runtime_error("compare failed"); });
      SetSorted(true);
    }
  } list;
  TItem a(1), b(2);
  list.Add(&a);
  EXPECT_THROW(list.Add(&b), std::runtime_error);
  EXPECT_EQ(list.Count(), 1);
}

TEST(ObjectList, ClearFreesFromTheLastToTheFirstWithEachPositionAlreadyEmpty) {
  std::vector<int> log;
  struct TSelfRemoving : TItem {
    TSelfRemoving(int Key, std::vector<int>* Log, TbrvObjectList<TItem>* List) : TItem(Key, Log), List(List) {}
    ~TSelfRemoving() override { Removed = List->Remove(this); Log->push_back(Removed); }
    TbrvObjectList<TItem>* List;
    int32_t Removed = 0;
  };
  TbrvObjectList<TItem> list(false);
  for (int key : {1, 2, 3}) list.Add(new TSelfRemoving(key, &log, &list));
  list.Clear(true);
  // Each destructor found nothing to remove (-1) before the base destructor logged the key.
  EXPECT_EQ(log, (std::vector<int>{-1, 3, -1, 2, -1, 1}));
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(ObjectList, OwnershipDecidesWhetherRemovalAndDestructionFreeTheItems) {
  std::vector<int> log;
  {
    TbrvObjectList<TItem> owning(true);
    owning.Add(new TItem(1, &log));
    owning.Add(new TItem(2, &log));
    owning.Add(new TItem(3, &log));
    owning.Delete(0);
    EXPECT_EQ(log, (std::vector<int>{1}));
    std::unique_ptr<TItem> dropped(owning[0]);
    owning.SetItem(0, new TItem(4, &log));  // the replaced item is dropped, not destroyed
    EXPECT_EQ(log, (std::vector<int>{1}));
  }
  EXPECT_EQ(log, (std::vector<int>{1, 2, 3, 4}));  // 2 by its holder, then the list from the end

  log.clear();
  TItem kept(7, &log);
  {
    TbrvObjectList<TItem> plain(false);
    plain.Add(&kept);
    plain.Delete(0);
    plain.Add(&kept);
  }
  EXPECT_TRUE(log.empty());
}

TEST(ObjectList, RemoveItemOfAnOwningListRemovesByIdentity) {
  TItem earlier(5), given(5), other(1);
  TKeyList list;
  for (TItem* item : {&given, &earlier, &other}) list.Add(item);
  ASSERT_EQ(list[1], &earlier);
  EXPECT_EQ(list.RemoveItem(&given, TDirection::FromBeginning), 2);
  EXPECT_EQ(list.IndexOfReference(&earlier, TDirection::FromEnd), 1);
  EXPECT_EQ(list.RemoveItem(&given, TDirection::FromEnd), -1);

  // A plain list removes the first equal item instead.
  struct TPlain : TbrvList<TItem> {
    TPlain() { SetOnCompare([](TItem* L, TItem* R) { return L->Key - R->Key; }); }
  } plain;
  for (TItem* item : {&earlier, &given}) plain.Add(item);
  EXPECT_EQ(plain.Remove(&given), 0);
  EXPECT_EQ(plain[0], &given);
}

}  // namespace
}  // namespace brv
