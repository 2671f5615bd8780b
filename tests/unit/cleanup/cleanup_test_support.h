// A substitute mailbox with a sorter attached, for the tests of registration, matching and the
// clean-up run.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/memory_store.h"
#include "platform/debug_output.h"
#include "sorting/sortwise.h"

#include "../host/small_mailbox.h"

#ifdef SORTWISE_THROUGH_COM
#include "outlook_com_fixture.h"
#endif

namespace swo::test {

using outlook::Ref;
using outlook::TMemoryFolder;
using outlook::TMemoryItemData;
using outlook::TMemoryOutlook;

// A mail with a subject and an SMTP sender.
inline TMemoryItemData Mail(std::u16string Subject, std::u16string Address) {
  TMemoryItemData data;
  data.Subject = std::move(Subject);
  data.Sender.Type = u"SMTP";
  data.Sender.Address = std::move(Address);
  return data;
}

// "\\Mailbox" with "Inbox" (the default inbox) and the folders "Friends" and "Invoices", a
// sorter bound to it, and the debugger output collected in Lines.
class CleanupTest : public ::testing::Test, protected TSmallMailbox {
 protected:
  CleanupTest() {
#ifdef SORTWISE_THROUGH_COM
    Sorter->SetApplication_(ThroughCom(Outlook));
#else
    Sorter->SetApplication_(Outlook->Application());
#endif
    brv::platform::SetDebugSink([this](std::u16string_view Line) { Lines.emplace_back(Line); });
  }
  ~CleanupTest() override { brv::platform::SetDebugSink({}); }

  // An address entry for Folder with the given filters (name, pattern).
  TSwoEntry* Rule(const Ref<TMemoryFolder>& Folder, std::u16string Address,
                  std::initializer_list<std::pair<std::u16string, std::u16string>> Filters = {}) {
    TSwoEntry* entry = Sorter->Add(*Folder)->Add(Address);
    for (const auto& [name, pattern] : Filters) entry->SetValue(std::u16string_view(name), pattern);
    return entry;
  }

  // The mail item of an inbox item as the sorter sees it: the store's own object, or through
  // COM the adapter's, fetched by its position.
  outlook::Ref<outlook::_MailItem> AsSeen(const Ref<outlook::TMemoryItem>& Item) {
#ifdef SORTWISE_THROUGH_COM
    const auto contents = Inbox->Contents();
    const auto position = std::find(contents.begin(), contents.end(), Item) - contents.begin() + 1;
    const auto seen = Sorter->Inbox_()->Items()->Item(static_cast<int32_t>(position))->QueryMailItem();
    Outlook->ResetCalls();
    return seen;
#else
    return Item;
#endif
  }

  // The subjects of Folder's items in position order.
  static std::vector<std::u16string> Subjects(const Ref<TMemoryFolder>& Folder) {
    std::vector<std::u16string> subjects;
    for (const auto& item : Folder->Contents()) subjects.push_back(item->Data().Subject);
    return subjects;
  }

  std::vector<std::u16string> Lines;
};

}  // namespace swo::test
