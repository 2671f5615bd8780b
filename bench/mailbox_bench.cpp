// Loading mailbox files of 1k to 100k folders or stores: many siblings under one folder, many
// stores, and a folder of many mails for comparison. Names come in ascending, descending or
// shuffled order, so a loader that is fast only for one order shows it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "host/memory_store_file.h"

namespace bench {
namespace {

enum TOrder : int64_t { kAscending, kDescending, kShuffled };

// N names that differ only in a number, in the given order.
std::vector<std::string> Names(int64_t N, int64_t Order) {
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(N));
  for (int64_t i = 0; i < N; ++i) names.push_back("Folder " + std::to_string(1000000 + i));
  if (Order == kDescending) std::reverse(names.begin(), names.end());
  if (Order == kShuffled) std::shuffle(names.begin(), names.end(), std::mt19937(42));
  return names;
}

// One store whose inbox holds N sibling folders.
std::string SiblingFolders(int64_t N, int64_t Order) {
  std::string xml = R"(<?xml version="1.0"?><mailbox><store name="S"><folder name="Inbox">)";
  for (const std::string& name : Names(N, Order)) xml += "<folder name=\"" + name + "\"/>";
  return xml + "</folder></store></mailbox>";
}

// N stores with an inbox each.
std::string Stores(int64_t N, int64_t Order) {
  std::string xml = R"(<?xml version="1.0"?><mailbox>)";
  for (const std::string& name : Names(N, Order))
    xml += "<store name=\"" + name + "\"><folder name=\"Inbox\"/></store>";
  return xml + "</mailbox>";
}

// One inbox of N mails.
std::string Mails(int64_t N, int64_t) {
  std::string xml = R"(<?xml version="1.0"?><mailbox><store name="S"><folder name="Inbox">)";
  for (int64_t i = 0; i < N; ++i)
    xml += "<mail subject=\"Mail " + std::to_string(i) +
           "\" received=\"2026-11-02 08:12:40\"><sender type=\"SMTP\" address=\"a" +
           std::to_string(i % 1000) + "@example.com\"/></mail>";
  return xml + "</folder></store></mailbox>";
}

template <std::string (*Make)(int64_t, int64_t)>
void BM_LoadMailbox(benchmark::State& State) {
  const int64_t count = State.range(0);
  const std::string xml = Make(count, State.range(1));
  for (auto _ : State) benchmark::DoNotOptimize(outlook::ParseMailbox(xml, u"bench.xml"));
  State.counters["per_element"] =
      benchmark::Counter(static_cast<double>(count),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  State.counters["bytes"] = static_cast<double>(xml.size());
}

void Shapes(benchmark::internal::Benchmark* Bench) {
  Bench->ArgNames({"n", "order"});
  for (const int64_t n : {1000, 10000, 100000})
    for (const int64_t order : {kAscending, kDescending, kShuffled}) Bench->Args({n, order});
  Bench->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_LoadMailbox<SiblingFolders>)->Name("BM_LoadMailbox/siblings")->Apply(Shapes);
BENCHMARK(BM_LoadMailbox<Stores>)->Name("BM_LoadMailbox/stores")->Apply(Shapes);
BENCHMARK(BM_LoadMailbox<Mails>)
    ->Name("BM_LoadMailbox/mails")
    ->ArgNames({"n", "order"})
    ->Args({1000, 0})
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
