// The entry index: every address entry of the model keyed by its address, compared without
// regard to case in the user's locale, sorted, duplicates accepted. The clean-up run builds one
// per run and searches it by bisection.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace swo {

class TSwoEntry;

class TSwoEntryIndex {
 public:
  // Adds a line at the lower bound of Text: in front of every line whose text compares equal,
  // so of equal addresses the one added last stands first.
  void AddObject(std::u16string Text, TSwoEntry* Entry);
  // Number of lines.
  int32_t Count() const;
  // The text and the entry of the line at Index (0..Count-1; outside is a programming error).
  const std::u16string& Strings(int32_t Index) const;
  TSwoEntry* Objects(int32_t Index) const;
  // Whether the entry of the line at Index had property filters when it was added. The run
  // asks this first: most entries have none, and their objects need not be read.
  bool HasFilters(int32_t Index) const;
  // Position of the first line whose text compares equal to Text, or -1.
  int32_t IndexOf(std::u16string_view Text) const;

 private:
  struct TLine {
    std::string Key;  // the text's locale sort key: compared many times, made once
    std::u16string Text;
    TSwoEntry* Entry;
    bool HasFilters;
  };
  // Lines added since the last lookup are ordered in one go when the index is next read: a
  // line-by-line insertion would move the whole index for every entry.
  void Settle() const;

  mutable std::vector<TLine> FLines;    // ordered
  mutable std::vector<TLine> FPending;  // in the order added
  // The first eight key bytes of each line, side by side: a run looks up every mail's sender,
  // and the bisection then reads one small array instead of a string per step.
  mutable std::vector<uint64_t> FPrefixes;
};

}  // namespace swo
