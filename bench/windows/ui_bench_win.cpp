// How long the rule editor's window takes, under Wine or Windows, to fill its address list with
// the 10,000 entries of one folder and its tree with 1,000 target folders (first fill when the
// window opens, and a refresh). Prints the median and the slowest of several runs, in ms.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench_clock_win.h"
#include "foundation/text.h"
#include "host/memory_store.h"
#include "sorting/sortwise.h"
#include "ui/main_window_win.h"

namespace {

constexpr int kRuns = 7;

std::u16string Text(const std::string& Value) { return brv::Utf8ToUtf16(Value); }

using bench::NowMs;

struct TWorld {
  outlook::Ref<outlook::TMemoryOutlook> Outlook;
  std::unique_ptr<swo::TSortwise> Sorter;
  swo::TSwoFolder* Big = nullptr;
  swo::TSwoFolder* Small = nullptr;
};

// 1,000 target folders: 50 top folders of one store with 19 subfolders each; the first of them
// holds 10,000 address entries, the second one.
TWorld MakeWorld() {
  TWorld World;
  World.Outlook = outlook::TMemoryOutlook::Create(u"Bench");
  const auto Store = World.Outlook->AddStore(u"Mailbox");
  Store->AddFolder(u"Inbox");
  World.Sorter.reset(swo::TSortwise::Create());
  World.Sorter->SetApplication_(World.Outlook->Application());
  std::vector<swo::TSwoFolder*> Folders;
  for (int Top = 0; Top < 50; ++Top) {
    const auto Parent = Store->AddFolder(Text("Project " + std::to_string(Top)));
    Folders.push_back(World.Sorter->Add(*Parent));
    for (int Sub = 0; Sub < 19; ++Sub)
      Folders.push_back(World.Sorter->Add(*Parent->AddFolder(Text("Topic " + std::to_string(Sub)))));
  }
  World.Big = Folders[0];
  World.Small = Folders[1];
  for (int E = 0; E < 10000; ++E)
    World.Big->Add(Text("sender" + std::to_string(E) + "@domain" + std::to_string(E % 97) + ".example"));
  World.Small->Add(u"one@domain.example");
  return World;
}

struct TTimes {
  std::vector<double> TreeFirstFill, TreeRefresh, ListFill;
};

// Times the window's own work on its thread, then closes it.
class TTimedWindow final : public swo::TfrmMain {
 public:
  TTimedWindow(TWorld& World, TTimes& Times) : TfrmMain(*World.Sorter), FWorld(World), FTimes(Times) {}

 protected:
  void OnShow() override {
    double Start = NowMs();
    TfrmMain::OnShow();
    FTimes.TreeFirstFill.push_back(NowMs() - Start);
    Start = NowMs();
    Presenter().tbRefreshClick();
    FTimes.TreeRefresh.push_back(NowMs() - Start);
    Presenter().SetFolder(FWorld.Small);
    Start = NowMs();
    Presenter().SetFolder(FWorld.Big);
    FTimes.ListFill.push_back(NowMs() - Start);
    Close();
  }

 private:
  TWorld& FWorld;
  TTimes& FTimes;
};

void Report(const char* What, std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  std::printf("%-44s %9.1f %9.1f\n", What, Values[Values.size() / 2], Values.back());
}

}  // namespace

int main() {
  TWorld World = MakeWorld();
  TTimes Times;
  for (int Run = 0; Run < kRuns; ++Run) {
    TTimedWindow Window(World, Times);
    Window.ShowModal(nullptr);
  }
  std::printf("%-44s %9s %9s\n", "rule editor, 7 runs", "median ms", "max ms");
  Report("tree: first fill, 1,000 folders", Times.TreeFirstFill);
  Report("tree: refresh, 1,000 folders", Times.TreeRefresh);
  Report("address list: fill, 10,000 entries", Times.ListFill);
  return 0;
}
