#include "bench_world.h"

#include <algorithm>
#include <random>

#include "foundation/text.h"

namespace bench {

namespace {
constexpr int kFolders = 20;
constexpr int kWildcards = 10;

std::u16string Text(const std::string& Value) { return brv::Utf8ToUtf16(Value); }
}  // namespace

std::u16string SenderAddress(int I) {
  return Text("sender" + std::to_string(I) + "@domain" + std::to_string(I % 97) + ".example");
}

void FillInbox(outlook::TMemoryFolder& Inbox, int Mails, int Entries) {
  std::mt19937 random(42);
  for (int m = 0; m < Mails; ++m) {
    outlook::TMemoryItemData data;
    data.Sender.Type = u"SMTP";
    const unsigned roll = random() % 10;
    if (roll < 5) {
      data.Sender.Address = SenderAddress(static_cast<int>(random() % static_cast<unsigned>(std::max(Entries, 1))));
      data.Subject = Text("Known sender " + std::to_string(m));
    } else if (roll < 6) {
      data.Sender.Address = Text("stranger" + std::to_string(m) + "@elsewhere.example");
      data.Subject = Text("Re: keyword" + std::to_string(random() % kWildcards) + " report");
    } else {
      data.Sender.Address = Text("stranger" + std::to_string(m) + "@elsewhere.example");
      data.Subject = Text("Nothing to sort " + std::to_string(m));
    }
    Inbox.AddItem(std::move(data));
  }
}

TWorld MakeWorld(int Mails, int Entries, bool Wildcards) {
  TWorld world;
  world.Outlook = outlook::TMemoryOutlook::Create(u"Bench");
  const auto mailbox = world.Outlook->AddStore(u"Mailbox");
  const auto archive = world.Outlook->AddStore(u"Archive");
  world.Inbox = mailbox->AddFolder(u"Inbox");
  world.Sorter.reset(swo::TSortwise::Create());
  world.Sorter->SetApplication_(world.Outlook->Application());
  swo::TSwoFolder* folders[kFolders];
  for (int f = 0; f < kFolders; ++f)
    folders[f] = world.Sorter->Add(*(f % 2 ? archive : mailbox)->AddFolder(Text("Folder " + std::to_string(f))));
  for (int e = 0; e < Entries; ++e) folders[e % kFolders]->Add(SenderAddress(e));
  if (Wildcards)
    for (int w = 0; w < kWildcards; ++w)
      folders[w]->Add(u"*")->SetValue(std::u16string_view(u"Subject"), Text("*keyword" + std::to_string(w) + " *"));
  FillInbox(*world.Inbox, Mails, Entries);
  return world;
}

void RenewInbox(TWorld& World, int Mails, int Entries, int64_t Round) {
  World.Inbox->Remove();
  World.Inbox = World.Outlook->Stores().front()->AddFolder(u"Inbox " + brv::Utf8ToUtf16(std::to_string(Round)));
  World.Outlook->SetDefaultInbox(World.Inbox);
  FillInbox(*World.Inbox, Mails, Entries);
}

}  // namespace bench
