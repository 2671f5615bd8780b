// The entry line: one address entry as one line of text, and back.
#include "foundation/exception.h"
#include "foundation/text.h"
#include "sorting/sortwise.h"
#include "ui/main_presenter.h"

namespace swo {

std::u16string TMainPresenter::FormatEntry(const TSwoEntry& AEntry) {
  std::u16string line = AEntry.Address();
  for (int32_t i = 0; i < AEntry.Count(); ++i) {
    const std::u16string name = AEntry.GetName(i);
    line += u' ';
    line += name;
    line += u":\"";
    line += AEntry.GetValue(std::u16string_view(name));
    line += u'"';
  }
  return line;
}

void TMainPresenter::ParseEntry(std::u16string& AText, TStrings& AProperties) {
  const size_t blank = AText.find(u' ');
  if (blank == std::u16string::npos) return;
  const std::u16string_view text = AText;
  bool quoted = false;
  size_t start = blank + 1;
  std::u16string name;
  for (size_t i = blank + 1; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (quoted) {
      if (c != u'"') continue;
      // The name is kept: a quoted value without a name of its own goes under the last one.
      const std::u16string_view value = text.substr(start, i - start);
      if (!name.empty() && !value.empty()) AProperties.SetValue(name, value);
      quoted = false;
      start = i + 1;
    } else if (c == u'"') {
      quoted = true;
      start = i + 1;
    } else if (c == u' ') {
      if (i == start) ++start;
    } else if (c == u':') {
      name = brv::Trim(text.substr(start, i - start));
      start = i + 1;
    }
  }
  AText.resize(blank);
}

void TMainPresenter::ReadEntryLine(std::u16string_view Text, std::u16string& Address, TStrings& Pairs) {
  Address = brv::Trim(Text);
  ParseEntry(Address, Pairs);
  if (Address == u"*" && Pairs.Count() == 0) throw brv::Exception(u"Wildcard address requires filter properties");
}

}  // namespace swo
