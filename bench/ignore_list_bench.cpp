// The ignore list's two tests over a list of 1,000,000 entries, 10,000 tests a run (half of
// them excluded items, a quarter folders holding an entry, a quarter neither), against a plain
// hash-set look-up of the same upper-cased items. Building the index from the list's text is
// measured on its own.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

#include "machine/text.h"
#include "model/ignore_index.h"

namespace {

constexpr int kEntries = 1'000'000;
constexpr int kTests = 10'000;

struct Lists {
  std::string text;                // the in-memory form: entries each followed by "|"
  std::vector<std::string> items;  // asked as a scan would, in another letter case
  std::unordered_set<std::string> plain;

  Lists() {
    char entry[96];
    for (int i = 0; i < kEntries; ++i) {
      std::snprintf(entry, sizeof entry, "C:\\Program Files\\Vendor%03d\\Product%04d\\file%06d.dll",
                    i % 997, i % 4999, i);
      text += entry;
      text += '|';
      plain.insert(machine::ToUpper(entry));
    }
    for (int t = 0; t < kTests; ++t) {
      const int i = (t * 7919) % kEntries;
      if (t % 2 == 0)
        std::snprintf(entry, sizeof entry,
                      "c:\\program files\\vendor%03d\\product%04d\\FILE%06d.DLL", i % 997, i % 4999,
                      i);
      else if (t % 4 == 1)
        std::snprintf(entry, sizeof entry, "c:\\program files\\vendor%03d\\product%04d", i % 997,
                      i % 4999);
      else
        std::snprintf(entry, sizeof entry, "c:\\program files\\elsewhere\\file%06d.dll", i);
      items.emplace_back(entry);
    }
  }
};

const Lists& TheLists() {
  static const Lists lists;
  return lists;
}

void BM_IndexBuild(benchmark::State& state) {
  const Lists& lists = TheLists();
  for (auto _ : state)
    benchmark::DoNotOptimize(model::IgnoreIndex(lists.text));
}
BENCHMARK(BM_IndexBuild)->Unit(benchmark::kMillisecond);

void BM_IgnoreListTests(benchmark::State& state) {
  const Lists& lists = TheLists();
  const model::IgnoreIndex index(lists.text);
  for (auto _ : state) {
    int found = 0;
    for (const std::string& item : lists.items)
      found += index.Contains(item) || index.HasEntryInside(item);
    benchmark::DoNotOptimize(found);
  }
  state.counters["per_test_us"] = benchmark::Counter(
      static_cast<double>(kTests),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_IgnoreListTests)->Unit(benchmark::kMillisecond);

// The baseline: one exact look-up per item, already folded, in a set of folded entries.
void BM_HashSetBaseline(benchmark::State& state) {
  const Lists& lists = TheLists();
  std::vector<std::string> folded;
  for (const std::string& item : lists.items)
    folded.push_back(machine::ToUpper(item));
  for (auto _ : state) {
    int found = 0;
    for (const std::string& item : folded)
      found += lists.plain.count(item) != 0;
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_HashSetBaseline)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
