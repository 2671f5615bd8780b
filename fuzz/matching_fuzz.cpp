// The property-filter matcher, pattern against value. The input is three fields, one per line:
// the filter's property name, the pattern, and the property's value (the rest of the input).
// The oracle is the matching rule written out step by step on copies, with the standard
// library's searches; MatchPattern must agree with it, and so must MatchEntry for an address
// entry holding that filter and a mail holding that property. An entry takes only a filter the
// configuration file can store.
#include <memory>
#include <string>

#include "foundation/exception.h"
#include "foundation/text.h"
#include "fuzz_support.h"
#include "host/memory_store.h"
#include "sorting/matching.h"
#include "sorting/sortwise.h"

namespace {

bool Expected(std::u16string_view Value, std::u16string_view Pattern, bool IsCategories) {
  const std::u16string V = brv::UpperCase(Value), P = brv::UpperCase(Pattern);
  if (IsCategories) {
    for (size_t start = 0;;) {
      const size_t end = V.find(u';', start);
      const std::u16string_view part = std::u16string_view(V).substr(start, end - start);
      if (brv::Trim(part) == P) return true;
      if (end == std::u16string::npos) break;
      start = end + 1;
    }
  }
  if (V == P) return true;
  if (P.empty()) return false;
  const bool starred = P.front() == u'*', starredAtEnd = P.back() == u'*';
  if (starred && starredAtEnd && P.size() > 2 && V.find(P.substr(1, P.size() - 2)) != std::u16string::npos)
    return true;
  if (starred && P.size() > 1 && V.ends_with(P.substr(1))) return true;
  if (starredAtEnd && V.starts_with(P.substr(0, P.size() - 1))) return true;
  return false;
}

std::string Describe(std::u16string_view Name, std::u16string_view Pattern, std::u16string_view Value,
                     bool Result) {
  return "name \"" + fuzz::Utf8(Name) + "\", pattern \"" + fuzz::Utf8(Pattern) + "\", value \"" +
         fuzz::Utf8(Value) + "\": the matcher says " + (Result ? "match" : "no match");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const auto fields = fuzz::Fields(std::string_view(reinterpret_cast<const char*>(Data), Size), 3);
  const std::u16string name = brv::Utf8ToUtf16(fields[0]), pattern = brv::Utf8ToUtf16(fields[1]),
                       value = brv::Utf8ToUtf16(fields[2]);
  const bool isCategories = brv::SameText(name, u"Categories");
  const bool expected = Expected(value, pattern, isCategories);

  const bool matched = swo::MatchPattern(brv::UpperCase(value), pattern, isCategories);
  fuzz::Check(matched == expected, "MatchPattern follows the matching rule",
              [&] { return Describe(name, pattern, value, matched); });

  // A filter name cannot hold "=" (its line would split there): the configuration harness
  // covers such names.
  if (name.find(u'=') != std::u16string::npos) return 0;
  const auto outlook = outlook::TMemoryOutlook::Create();
  outlook::TMemoryItemData data;
  data.Custom.push_back(outlook::TMemoryProperty{name, outlook::TMemoryValue::Text(value)});
  const auto mail = outlook->AddStore(u"Store")->AddItem(std::move(data));
  const std::unique_ptr<swo::TSwoEntry> entry(swo::TSwoEntry::Create(nullptr, u"sender@example.com"));
  // A filter the configuration file could not store never enters the model.
  bool refused = false;
  try {
    entry->SetValue(std::u16string_view(name), pattern);  // an empty pattern adds no filter
  } catch (const brv::Exception&) {
    refused = true;
  }
  const bool storable = fuzz::IsXmlText(name) && fuzz::IsXmlText(pattern);
  fuzz::Check(refused == !storable, "an entry refuses exactly the filters a file cannot store", [&] {
    return "name \"" + fuzz::Utf8(name) + "\", pattern \"" + fuzz::Utf8(pattern) +
           "\": " + (refused ? "refused" : "taken");
  });
  if (refused) return 0;
  const bool accepted = swo::MatchEntry(entry.get(), mail.get()) == entry.get();
  fuzz::Check(accepted == (pattern.empty() || expected), "MatchEntry applies the filter",
              [&] { return Describe(name, pattern, value, accepted); });
  return 0;
}
