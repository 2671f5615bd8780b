// Helpers shared by the host tests: building small mailboxes and catching the errors they raise.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/exception.h"
#include "foundation/text.h"
#include "host/memory_store.h"

namespace outlook::test {

// A file of the source tree by its path relative to the root; under Windows (Wine) the Unix
// path is reached through drive Z:.
inline std::u16string SourceFile(std::string_view Relative) {
  std::string path = std::string(SORTWISE_SOURCE_DIR) + "/" + std::string(Relative);
#ifdef _WIN32
  if (path.starts_with("/")) path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
#endif
  return brv::Utf8ToUtf16(path);
}

// Runs Body and returns the error of type E it raises; fails the test if it raises none.
template <class E = brv::EbrvObject, class Body>
E Raised(Body&& Run) {
  try {
    Run();
  } catch (const E& e) {
    return e;
  }
  ADD_FAILURE() << "nothing was raised";
  return E(brv::kS_FALSE, u"nothing was raised");
}

// A mail with a subject and an SMTP sender.
inline TMemoryItemData Mail(std::u16string Subject, std::u16string Address = u"bob@example.com") {
  TMemoryItemData data;
  data.Subject = std::move(Subject);
  data.Sender.Type = u"SMTP";
  data.Sender.Address = std::move(Address);
  return data;
}

// The subjects of a folder's items through its Items collection, in position order.
inline std::vector<std::u16string> Subjects(MAPIFolder& Folder) {
  std::vector<std::u16string> subjects;
  const auto items = Folder.Items();
  for (int32_t i = 1; i <= items->Count(); ++i) subjects.push_back(items->Item(i)->Subject());
  return subjects;
}

// "\\Mailbox" with an "Inbox" (the default inbox by its name) holding mails A to E, and a
// folder "Inbox\Target".
class MailboxTest : public ::testing::Test {
 protected:
  MailboxTest() {
    for (const char16_t* subject : {u"A", u"B", u"C", u"D", u"E"}) Inbox->AddItem(Mail(subject));
  }

  Ref<TMemoryOutlook> Outlook = TMemoryOutlook::Create(u"Test profile");
  Ref<TMemoryFolder> Store = Outlook->AddStore(u"Mailbox");
  Ref<TMemoryFolder> Inbox = Store->AddFolder(u"Inbox");
  Ref<TMemoryFolder> Target = Inbox->AddFolder(u"Target");
};

}  // namespace outlook::test
