#include "host/ranked_list.h"

#include <gtest/gtest.h>

#include <random>

namespace outlook {
namespace {

struct Entry {
  explicit Entry(int V) : Value(V) {}
  size_t& RankedSlot() { return Slot; }
  int Value;
  size_t Slot = 0;
};

// Random appends and removals (also enough to make the list compact itself), checked step by
// step against a plain vector.
TEST(RankedList, BehavesLikeAVectorUnderAppendsAndRemovals) {
  TRankedList<Entry> list;
  std::vector<std::shared_ptr<Entry>> model;
  std::mt19937 random(20261210);
  int next = 0;
  for (int step = 0; step < 6000; ++step) {
    // Grow for a while, then shrink almost to nothing, then grow again.
    const bool growing = step < 2000 || step >= 4000;
    if (model.empty() || random() % 4 < (growing ? 3u : 1u)) {
      auto entry = std::make_shared<Entry>(next++);
      model.push_back(entry);
      list.Append(entry);
    } else {
      const size_t position = random() % model.size();
      ASSERT_TRUE(list.Contains(*model[position]));
      list.Remove(*model[position]);
      EXPECT_FALSE(list.Contains(*model[position]));
      model.erase(model.begin() + static_cast<ptrdiff_t>(position));
    }
    ASSERT_EQ(list.Count(), model.size());
    if (!model.empty()) {
      const size_t probe = random() % model.size();
      ASSERT_EQ(list.At(probe), model[probe]) << "step " << step;
    }
  }
  std::vector<std::shared_ptr<Entry>> all;
  list.ForEach([&](const std::shared_ptr<Entry>& e) { all.push_back(e); });
  EXPECT_EQ(all, model);
  for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(list.At(i), model[i]);
}

}  // namespace
}  // namespace outlook
