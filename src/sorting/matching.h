// Whether an address entry accepts a mail: every property filter of the entry must match the
// mail's property of that name.
#pragma once

#include <string_view>

#include "host/outlook.h"

namespace swo {

class TSwoEntry;

// Entry when it accepts Mail, else null. A null Entry gives null; a null Mail or an entry
// without filters gives Entry. Stops at the first filter that does not match, so later
// properties are not looked up. A property value that cannot be read as text, and any error of
// the Outlook calls, raises.
TSwoEntry* MatchEntry(TSwoEntry* Entry, outlook::_MailItem* Mail);

// One filter: V is the property's text already upper-cased (a-z only), P the pattern as written;
// the comparisons ignore the case of a-z only.
// The "Categories" rule applies when IsCategories is set.
bool MatchPattern(std::u16string_view V, std::u16string_view P, bool IsCategories);

}  // namespace swo
