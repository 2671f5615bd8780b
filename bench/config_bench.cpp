// Loading and saving configuration files of 1k, 10k and 100k address entries. The add-in loads
// its file while Outlook starts, and Outlook disables add-ins that start slowly.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench_world.h"

namespace bench {
namespace {

std::u16string TempFile(const char* Name) {
  return (std::filesystem::temp_directory_path() / Name).u16string();
}

void BM_LoadConfig(benchmark::State& State) {
  const int entries = static_cast<int>(State.range(0));
  const std::u16string file = TempFile("sortwise-bench-load.xml");
  MakeWorld(0, entries).Sorter->Save(file);
  const std::unique_ptr<swo::TSortwise> sorter(swo::TSortwise::Create());
  for (auto _ : State) sorter->Load(file);
  State.counters["entries"] = entries;
  std::filesystem::remove(std::filesystem::path(file));
}

void BM_SaveConfig(benchmark::State& State) {
  const int entries = static_cast<int>(State.range(0));
  const std::u16string file = TempFile("sortwise-bench-save.xml");
  const TWorld world = MakeWorld(0, entries);
  for (auto _ : State) world.Sorter->Save(file);
  State.counters["bytes"] = static_cast<double>(std::filesystem::file_size(std::filesystem::path(file)));
  std::filesystem::remove(std::filesystem::path(file));
}

BENCHMARK(BM_LoadConfig)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveConfig)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
