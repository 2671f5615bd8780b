// Loading and saving configuration files of 1k, 10k and 100k address entries. The add-in loads
// its file while Outlook starts, and Outlook disables add-ins that start slowly.
//
// Besides the files the add-in writes (entries spread over 20 folders, in key order), loading is
// measured on shapes that hand-written or merged files take: one folder whose entries come in
// key order or in reverse key order, many sibling folders in one store, and many stores (which
// all have the same empty name). Every shape must load in O(n log n).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_world.h"

namespace bench {
namespace {

std::u16string TempFile(const char* Name) {
  return (std::filesystem::temp_directory_path() / Name).u16string();
}

enum class TShape { SortedEntries, ReversedEntries, SiblingFolders, Stores };

std::string Numbered(const char* Prefix, int N) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%07d", N);
  return Prefix + std::string(digits);
}

std::string Entry(int N) { return "<entry address=\"" + Numbered("sender", N) + "@example.com\"/>"; }

// A configuration file of Count address entries in the given shape, as a user or a tool might
// have written it (the add-in itself writes every list in key order).
std::string ConfigBytes(TShape Shape, int Count) {
  std::string xml = "<?xml version=\"1.0\"?>\n<Sortwise version=\"1.0\"><configuration/>";
  switch (Shape) {
    case TShape::SortedEntries:
    case TShape::ReversedEntries:
      xml += "<store name=\"\" id=\"STORE\"><folder name=\"Folder\" id=\"FOLDER\">";
      for (int i = 0; i < Count; ++i) xml += Entry(Shape == TShape::SortedEntries ? i : Count - 1 - i);
      xml += "</folder></store>";
      break;
    case TShape::SiblingFolders:
      xml += "<store name=\"\" id=\"STORE\">";
      for (int i = 0; i < Count; ++i)
        xml += "<folder name=\"" + Numbered("Folder ", Count - 1 - i) + "\" id=\"" + Numbered("F", i) +
               "\">" + Entry(i) + "</folder>";
      xml += "</store>";
      break;
    case TShape::Stores:
      for (int i = 0; i < Count; ++i)
        xml += "<store name=\"\" id=\"" + Numbered("S", i) + "\"><folder name=\"Folder\" id=\"F\">" +
               Entry(i) + "</folder></store>";
      break;
  }
  return xml + "</Sortwise>\n";
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

void BM_LoadConfigShape(benchmark::State& State, TShape Shape) {
  const int entries = static_cast<int>(State.range(0));
  const std::filesystem::path file(TempFile("sortwise-bench-shape.xml"));
  {
    const std::string bytes = ConfigBytes(Shape, entries);
    std::FILE* out = std::fopen(file.string().c_str(), "wb");
    if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
      State.SkipWithError("cannot write the configuration file");
      if (out != nullptr) std::fclose(out);
      return;
    }
    std::fclose(out);
  }
  const std::unique_ptr<swo::TSortwise> sorter(swo::TSortwise::Create());
  for (auto _ : State) sorter->Load(file.u16string());
  State.counters["entries"] = entries;
  std::filesystem::remove(file);
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
BENCHMARK_CAPTURE(BM_LoadConfigShape, sorted_entries, TShape::SortedEntries)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadConfigShape, reversed_entries, TShape::ReversedEntries)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadConfigShape, sibling_folders, TShape::SiblingFolders)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadConfigShape, stores, TShape::Stores)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveConfig)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
