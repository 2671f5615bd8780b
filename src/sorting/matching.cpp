#include "sorting/matching.h"

#include "foundation/text.h"
#include "sorting/sortwise.h"

namespace swo {

namespace {

// The comparisons see the pattern as upper-cased (a-z only) without making that copy: V is
// upper-cased already, so comparing V's code unit with the folded pattern unit is the same.
constexpr char16_t Fold(char16_t c) { return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c; }

bool EqualsAt(std::u16string_view V, size_t Pos, std::u16string_view M) {
  for (size_t k = 0; k < M.size(); ++k)
    if (V[Pos + k] != Fold(M[k])) return false;
  return true;
}

bool Contains(std::u16string_view V, std::u16string_view M) {
  for (size_t pos = 0; pos + M.size() <= V.size(); ++pos)
    if (EqualsAt(V, pos, M)) return true;
  return false;
}

bool StartsWith(std::u16string_view V, std::u16string_view M) { return M.size() <= V.size() && EqualsAt(V, 0, M); }

bool EndsWith(std::u16string_view V, std::u16string_view M) {
  return M.size() <= V.size() && EqualsAt(V, V.size() - M.size(), M);
}

bool AnyCategoryEquals(std::u16string_view V, std::u16string_view P) {
  size_t start = 0;
  for (;;) {
    const size_t end = V.find(u';', start);
    const std::u16string_view part = V.substr(start, end == std::u16string_view::npos ? end : end - start);
    if (brv::SameText(brv::Trim(part), P)) return true;
    if (end == std::u16string_view::npos) return false;
    start = end + 1;
  }
}

bool MatchFilter(outlook::UserProperties& Properties, std::u16string_view Name, std::u16string_view Pattern) {
  outlook::Ref<outlook::UserProperty> property = Properties.Find(Name, true);
  if (!property) property = Properties.Find(Name, false);
  if (!property) return false;
  std::u16string V = property->ValueText();
  for (char16_t& c : V) c = Fold(c);
  return MatchPattern(V, Pattern, brv::SameText(Name, u"Categories"));
}

}  // namespace

bool MatchPattern(std::u16string_view V, std::u16string_view P, bool IsCategories) {
  if (IsCategories && AnyCategoryEquals(V, P)) return true;
  if (V.size() == P.size() && EqualsAt(V, 0, P)) return true;
  if (P.empty()) return false;
  if (P.size() >= 2 && P.front() == u'*' && P.back() == u'*') {
    const std::u16string_view M = P.substr(1, P.size() - 2);
    if (!M.empty() && Contains(V, M)) return true;
  }
  if (P.front() == u'*') {
    const std::u16string_view M = P.substr(1);
    if (!M.empty() && EndsWith(V, M)) return true;
  }
  if (P.back() == u'*') {
    if (StartsWith(V, P.substr(0, P.size() - 1))) return true;
  }
  return false;
}

TSwoEntry* MatchEntry(TSwoEntry* Entry, outlook::_MailItem* Mail) {
  if (Entry == nullptr) return nullptr;
  if (Mail == nullptr || Entry->Count() == 0) return Entry;
  const outlook::Ref<outlook::UserProperties> properties = Mail->UserProperties();
  for (int32_t i = 0; i < Entry->Count(); ++i) {
    // A filter line is "name=value": the name ends at the first "=".
    const std::u16string_view line = Entry->Properties().GetLine(i);
    const size_t equals = line.find(u'=');
    const std::u16string_view name = line.substr(0, equals);
    const std::u16string_view pattern = equals == std::u16string_view::npos ? std::u16string_view() : line.substr(equals + 1);
    if (!MatchFilter(*properties, name, pattern)) return nullptr;
  }
  return Entry;
}

}  // namespace swo
