// TRankedList<T>: the item list of a folder. Positions behave like an array's (removing one
// shifts the later ones down by one), but taking the item at a position and removing an item
// cost O(log n), so that a clean-up run over a large folder stays linear-logarithmic.
//
// A Fenwick tree counts the occupied slots; removed slots stay empty until more than half of
// the slots are empty. T provides size_t& RankedSlot(), the slot it sits in, kept by the list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace outlook {

template <class T>
class TRankedList {
 public:
  size_t Count() const { return FCount; }

  // The item at Position, 0 <= Position < Count().
  const std::shared_ptr<T>& At(size_t Position) const { return FSlots[SlotOf(Position + 1)]; }

  void Append(std::shared_ptr<T> Item) {
    const size_t index = FSlots.size() + 1;
    // The new node covers the slots (index - lowbit(index), index]: itself and older ones.
    const size_t lowbit = index & (~index + 1);
    FTree.push_back(1 + Prefix(index - 1) - Prefix(index - lowbit));
    Item->RankedSlot() = FSlots.size();
    FSlots.push_back(std::move(Item));
    ++FCount;
  }

  // Removes Item, which must be in this list (Contains).
  void Remove(T& Item) {
    const size_t slot = Item.RankedSlot();
    std::shared_ptr<T> keep = std::move(FSlots[slot]);  // Item lives until the list is consistent
    for (size_t i = slot + 1; i <= FSlots.size(); i += i & (~i + 1)) --FTree[i - 1];
    --FCount;
    if (FSlots.size() > 64 && FCount < FSlots.size() / 2) Compact();
  }

  bool Contains(T& Item) const {
    const size_t slot = Item.RankedSlot();
    return slot < FSlots.size() && FSlots[slot].get() == &Item;
  }

  // Calls Visit for each item in position order.
  template <class F>
  void ForEach(F&& Visit) const {
    for (const auto& item : FSlots)
      if (item) Visit(item);
  }

 private:
  // Occupied slots among the first Index slots.
  size_t Prefix(size_t Index) const {
    size_t sum = 0;
    for (; Index > 0; Index &= Index - 1) sum += FTree[Index - 1];
    return sum;
  }

  // The slot of the Rank-th occupied slot (1-based rank).
  size_t SlotOf(size_t Rank) const {
    size_t pos = 0;
    size_t step = 1;
    while (step * 2 <= FSlots.size()) step *= 2;
    for (; step > 0; step /= 2) {
      if (pos + step <= FSlots.size() && FTree[pos + step - 1] < Rank) {
        pos += step;
        Rank -= FTree[pos - 1];
      }
    }
    return pos;
  }

  void Compact() {
    std::vector<std::shared_ptr<T>> slots;
    slots.reserve(FCount);
    for (auto& item : FSlots)
      if (item) {
        item->RankedSlot() = slots.size();
        slots.push_back(std::move(item));
      }
    FSlots = std::move(slots);
    FTree.assign(FSlots.size(), 1);
    for (size_t i = 1; i <= FTree.size(); ++i)
      if (const size_t parent = i + (i & (~i + 1)); parent <= FTree.size()) FTree[parent - 1] += FTree[i - 1];
  }

  std::vector<std::shared_ptr<T>> FSlots;
  std::vector<size_t> FTree;
  size_t FCount = 0;
};

}  // namespace outlook
