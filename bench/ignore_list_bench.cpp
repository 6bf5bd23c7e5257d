// The ignore list's two tests over a list of 1,000,000 entries, 10,000 tests a run (half of
// them excluded items, a quarter folders holding an entry, a quarter neither), against a plain
// hash-set look-up of the same upper-cased items. Building the index from the list's text is
// measured on its own.
// BM_AddToIgnoreList: one exclusion added to an ENoSignature.txt of 1,000,000 lines (appended
// and the list reloaded), against appending the same line to a file of that size, the floor.
// Counters add_ms and append_ms per addition, their ratio, and reload_ms: the list read whole
// once, as the first addition after another program changed the file reads it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "bench_machine.h"
#include "engine/definitions/ignore_list.h"
#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"
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

// The list's file in the program folder and, beside it, a file of the same size that only the
// baseline appends to.
struct AdditionScene {
  bench::BenchMachine bench_machine{"ignore"};
  machine::Machine& machine = bench_machine.machine();
  forms::HeadlessBackend backend;
  forms::Runtime runtime{backend, bench_machine.version().product_name};
  std::unique_ptr<model::App> app = model::MakeApp(machine, runtime);
  std::string list_file = machine.profile().program_folder + "\\ENoSignature.txt";
  std::string baseline_file = machine.profile().program_folder + "\\Baseline.txt";

  AdditionScene() {
    std::string lines;
    for (const char c : TheLists().text) {
      if (c == '|')
        lines += "\r\n";
      else
        lines += c;
    }
    if (!machine.files().WriteFile(list_file, lines) ||
        !machine.files().WriteFile(baseline_file, lines) || !engine::LoadIgnoreList(*app))
      std::abort();
  }
};

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

void BM_AddToIgnoreList(benchmark::State& state) {
  AdditionScene scene;
  double add_ms = 0;
  double append_ms = 0;
  int added = 0;
  for (auto _ : state) {
    const std::string item = "C:\\Added\\item" + std::to_string(added++) + ".exe";
    auto start = std::chrono::steady_clock::now();
    engine::AddToIgnoreList(*scene.app, item);
    const auto add = std::chrono::steady_clock::now() - start;
    if (!engine::IsIgnored(*scene.app, item))
      state.SkipWithError("the item was not added");

    start = std::chrono::steady_clock::now();
    scene.machine.files().AppendFile(scene.baseline_file, item + "\r\n");
    const auto append = std::chrono::steady_clock::now() - start;

    state.SetIterationTime(std::chrono::duration<double>(add).count());
    add_ms += Ms(add);
    append_ms += Ms(append);
  }
  scene.app->definitions.ignore_file_mark.reset();
  const auto start = std::chrono::steady_clock::now();
  engine::LoadIgnoreList(*scene.app);
  const double reload_ms = Ms(std::chrono::steady_clock::now() - start);

  const double runs = static_cast<double>(state.iterations());
  state.counters["add_ms"] = add_ms / runs;
  state.counters["append_ms"] = append_ms / runs;
  state.counters["add_per_append"] = add_ms / append_ms;
  state.counters["reload_ms"] = reload_ms;
}
BENCHMARK(BM_AddToIgnoreList)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
