// TbrvList<T>: a growable array of T references with an optional sorted mode kept by bisection;
// TbrvObjectList<T>: the same list able to destroy the objects it holds.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/exception.h"
#include "foundation/object.h"

namespace brv {

// Direction of a linear search.
enum class TDirection { FromBeginning, FromEnd };

template <class T>
class TbrvList : public TbrvObject {
 public:
  // Negative when L orders before R, 0 when equal, positive when after.
  using TCompareProc = std::function<int32_t(T* L, T* R)>;
  using TCompareFunc = std::function<int32_t(T* L, T* R)>;

  TbrvList() = default;
  ~TbrvList() override { TbrvList::Clear(); }

  int32_t Count() const { return FCount; }
  void SetCount(int32_t Value);
  // The storage size.
  int32_t Capacity() const { return static_cast<int32_t>(FItems.size()); }

  T* GetItem(int32_t Index) const;
  void SetItem(int32_t Index, T* Value);
  T* operator[](int32_t Index) const { return GetItem(Index); }

  int32_t Add(T* Item);
  void Insert(int32_t Index, T* Item);
  virtual void Delete(int32_t Index);
  int32_t Remove(T* Item) { return RemoveItem(Item, TDirection::FromBeginning); }
  virtual int32_t RemoveItem(T* Item, TDirection Direction);
  int32_t IndexOf(T* Item) { return IndexOfItem(Item, TDirection::FromBeginning); }
  virtual int32_t IndexOfItem(T* Item, TDirection Direction);
  int32_t IndexOfReference(T* Item, TDirection Direction) const;
  // Lower-bound bisection: Index receives the first position whose item does not order before
  // Item; the result tells whether an equal item is there.
  bool FindItem(T* Item, int32_t& Index, const TCompareFunc& CompareFunc = nullptr);
  // Quicksort with CompareFunc, or with Compare when none is given; not stable.
  void Sort(const TCompareFunc& CompareFunc = nullptr);
  // Empties the list and releases the storage; destroys nothing.
  virtual void Clear();

  // Many adds to a sorted list at once, in O(n log n) instead of a move of the later items per
  // add: between BeginBulkAdd and EndBulkAdd, Add appends (the list is out of order meanwhile, so
  // searches by key find nothing reliable); EndBulkAdd then puts the appended items where adding
  // them one by one would have, each in front of the items already there that compare equal.
  // Unsorted lists append anyway. A BeginBulkAdd while one is open changes nothing.
  void BeginBulkAdd() {
    if (!InBulkAdd()) FBulkStart = FCount;
  }
  void EndBulkAdd();
  bool InBulkAdd() const { return FBulkStart >= 0; }

  virtual int32_t Compare(T* L, T* R);
  // Orders references by address; distinct objects never compare equal.
  virtual int32_t DefaultCompare(T* L, T* R);

 protected:
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  void SetOnCompare(TCompareProc Value) { FOnCompare = std::move(Value); }

 private:
  // Raised directly, not through RaiseError: a range error has nothing to do with whatever COM
  // error object the thread holds, so it neither takes that object's text nor consumes it.
  [[noreturn]] static void RangeError() { throw EbrvList(kE_INVALIDARG); }
  void QuickSort(int32_t L, int32_t R, const TCompareFunc& Cmp);

  std::vector<T*> FItems;  // its size is the capacity; positions at or beyond FCount hold null
  int32_t FCount = 0;
  bool FSorted = false;
  TCompareProc FOnCompare;
  int32_t FBulkStart = -1;  // the first item appended by the open bulk add; -1 when none is open
};

template <class T>
class TbrvObjectList : public TbrvList<T> {
 public:
  explicit TbrvObjectList(bool OwnsObjects) : FOwnsObjects(OwnsObjects) {}
  ~TbrvObjectList() override { TbrvObjectList::Clear(); }

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  void Clear() override { Clear(FOwnsObjects); }
  // With FreeObjects, destroys the items from the last to the first; each position is empty
  // before its item's destructor runs.
  void Clear(bool FreeObjects);
  void Delete(int32_t Index) override;
  // Removes this very object, never an equal-comparing other one.
  int32_t RemoveItem(T* Item, TDirection Direction) override;

 private:
  bool FOwnsObjects;
};

// --- TbrvList<T> ---

template <class T>
void TbrvList<T>::SetCount(int32_t Value) {
  if (Value < 0) RangeError();
  // One growth step per call would leave Count beyond the storage; repeat it until it fits.
  while (Value > Capacity()) {
    const int32_t c = Capacity();
    FItems.resize(static_cast<size_t>(c > 64 ? c + c / 4 : c > 8 ? c + 16 : c + 4), nullptr);
  }
  FCount = Value;
  if (FBulkStart > FCount) FBulkStart = FCount;
}

template <class T>
T* TbrvList<T>::GetItem(int32_t Index) const {
  if (Index < 0 || Index >= FCount) RangeError();
  return FItems[static_cast<size_t>(Index)];
}

template <class T>
void TbrvList<T>::SetItem(int32_t Index, T* Value) {
  if (Index < 0 || Index >= FCount) RangeError();
  FItems[static_cast<size_t>(Index)] = Value;
}

template <class T>
int32_t TbrvList<T>::Add(T* Item) {
  int32_t Index = FCount;
  if (FSorted && !InBulkAdd()) FindItem(Item, Index);
  Insert(Index, Item);
  return Index;
}

template <class T>
void TbrvList<T>::Insert(int32_t Index, T* Item) {
  if (Index < 0 || Index > FCount) RangeError();
  SetCount(FCount + 1);
  for (int32_t i = FCount - 1; i > Index; --i) FItems[i] = FItems[i - 1];
  FItems[static_cast<size_t>(Index)] = Item;
  if (Index < FBulkStart) ++FBulkStart;
}

template <class T>
void TbrvList<T>::Delete(int32_t Index) {
  if (Index < 0 || Index >= FCount) RangeError();
  for (int32_t i = Index; i < FCount - 1; ++i) FItems[i] = FItems[i + 1];
  FItems[static_cast<size_t>(FCount - 1)] = nullptr;
  --FCount;
  if (Index < FBulkStart) --FBulkStart;
}

template <class T>
int32_t TbrvList<T>::RemoveItem(T* Item, TDirection Direction) {
  const int32_t Index = IndexOfItem(Item, Direction);
  if (Index >= 0) Delete(Index);
  return Index;
}

template <class T>
int32_t TbrvList<T>::IndexOfItem(T* Item, TDirection Direction) {
  if (FSorted) {
    int32_t Index = 0;
    return FindItem(Item, Index) ? Index : -1;
  }
  if (Direction == TDirection::FromBeginning) {
    for (int32_t i = 0; i < FCount; ++i)
      if (Compare(Item, FItems[i]) == 0) return i;
  } else {
    for (int32_t i = FCount - 1; i >= 0; --i)
      if (Compare(Item, FItems[i]) == 0) return i;
  }
  return -1;
}

template <class T>
int32_t TbrvList<T>::IndexOfReference(T* Item, TDirection Direction) const {
  if (Direction == TDirection::FromBeginning) {
    for (int32_t i = 0; i < FCount; ++i)
      if (FItems[i] == Item) return i;
  } else {
    for (int32_t i = FCount - 1; i >= 0; --i)
      if (FItems[i] == Item) return i;
  }
  return -1;
}

template <class T>
bool TbrvList<T>::FindItem(T* Item, int32_t& Index, const TCompareFunc& CompareFunc) {
  int32_t Lo = 0, Hi = FCount - 1;
  bool Found = false;
  while (Lo <= Hi) {
    const int32_t Mid = static_cast<int32_t>((static_cast<uint32_t>(Lo) + static_cast<uint32_t>(Hi)) >> 1);
    const int32_t C = CompareFunc ? CompareFunc(FItems[Mid], Item) : Compare(FItems[Mid], Item);
    if (C < 0) {
      Lo = Mid + 1;
    } else {
      Hi = Mid - 1;
      if (C == 0) Found = true;
    }
  }
  Index = Lo;
  return Found;
}

template <class T>
void TbrvList<T>::Sort(const TCompareFunc& CompareFunc) {
  if (FCount < 2) return;
  if (CompareFunc)
    QuickSort(0, FCount - 1, CompareFunc);
  else
    QuickSort(0, FCount - 1, [this](T* L, T* R) { return Compare(L, R); });
}

template <class T>
void TbrvList<T>::QuickSort(int32_t L, int32_t R, const TCompareFunc& Cmp) {
  int32_t I;
  do {
    I = L;
    int32_t J = R;
    T* const P = FItems[static_cast<size_t>((L + R) >> 1)];
    do {
      while (Cmp(FItems[I], P) < 0) ++I;
      while (Cmp(FItems[J], P) > 0) --J;
      if (I <= J) {
        if (I != J) std::swap(FItems[I], FItems[J]);
        ++I;
        --J;
      }
    } while (I <= J);
    if (L < J) QuickSort(L, J, Cmp);
    L = I;
  } while (I < R);
}

template <class T>
void TbrvList<T>::EndBulkAdd() {
  if (!InBulkAdd()) return;
  const int32_t start = std::min(FBulkStart, FCount);
  FBulkStart = -1;
  if (!FSorted) return;
  const auto first = FItems.begin(), last = first + FCount;
  const auto less = [this](T* L, T* R) { return Compare(L, R) < 0; };
  // One by one, each add goes in front of its equals: among equal keys the last added comes first.
  std::reverse(first + start, last);
  std::stable_sort(first + start, last, less);
  // ... and in front of the equal items that were there before the bulk add.
  std::rotate(first, first + start, last);
  std::inplace_merge(first, first + (FCount - start), last, less);
}

template <class T>
void TbrvList<T>::SetSorted(bool Value) {
  if (Value == FSorted) return;
  FSorted = Value;
  if (Value) Sort();
}

template <class T>
void TbrvList<T>::Clear() {
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) *it = nullptr;
  FItems.clear();
  FItems.shrink_to_fit();
  FCount = 0;
  if (InBulkAdd()) FBulkStart = 0;
}

template <class T>
int32_t TbrvList<T>::Compare(T* L, T* R) {
  return FOnCompare ? FOnCompare(L, R) : DefaultCompare(L, R);
}

template <class T>
int32_t TbrvList<T>::DefaultCompare(T* L, T* R) {
  const auto l = reinterpret_cast<uintptr_t>(L), r = reinterpret_cast<uintptr_t>(R);
  return l < r ? -1 : l > r ? 1 : 0;
}

// --- TbrvObjectList<T> ---

template <class T>
void TbrvObjectList<T>::Clear(bool FreeObjects) {
  if (FreeObjects) {
    for (int32_t i = this->Count() - 1; i >= 0; --i) {
      // The list may have shrunk meanwhile if a destructor removed other items.
      if (i >= this->Count()) continue;
      T* Item = this->GetItem(i);
      this->SetItem(i, nullptr);
      delete Item;
    }
  }
  TbrvList<T>::Clear();
}

template <class T>
void TbrvObjectList<T>::Delete(int32_t Index) {
  T* Item = this->GetItem(Index);
  TbrvList<T>::Delete(Index);
  if (FOwnsObjects) delete Item;
}

template <class T>
int32_t TbrvObjectList<T>::RemoveItem(T* Item, TDirection Direction) {
  const int32_t Index = this->IndexOfReference(Item, Direction);
  if (Index >= 0) Delete(Index);
  return Index;
}

}  // namespace brv
