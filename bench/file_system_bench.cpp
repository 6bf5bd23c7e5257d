// Looking up Windows paths through the file system view against a plain stat() of the exact
// host paths: 100,000 upper-cased paths, half of them existing, over 1,000 folders.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench_machine.h"
#include "machine/file_system.h"
#include "machine/profile.h"
#include "machine/text.h"

namespace {

namespace fs = std::filesystem;

constexpr int kGroups = 20;
constexpr int kFoldersPerGroup = 50;
constexpr int kFilesPerFolder = 50;  // as many missing names are asked for

struct Tree {
  bench::BenchMachine bench_machine{"fs"};
  const machine::FileSystem& files = bench_machine.machine().files();
  std::vector<std::string> windows_paths;  // upper-cased
  std::vector<std::string> host_paths;     // exact spelling

  Tree() {
    const fs::path drive = bench_machine.machine().profile().drives.front().host_root;
    for (int g = 0; g < kGroups; ++g) {
      for (int f = 0; f < kFoldersPerGroup; ++f) {
        char folder[64];
        std::snprintf(folder, sizeof folder, "Program Files/Vendor%02d/Product%04d", g, f);
        fs::create_directories(drive / folder);
        for (int n = 0; n < kFilesPerFolder * 2; ++n) {
          char name[32];
          std::snprintf(name, sizeof name,
                        n < kFilesPerFolder ? "module%02d.dll" : "absent%02d.dll",
                        n % kFilesPerFolder);
          const fs::path host = drive / folder / name;
          if (n < kFilesPerFolder)
            std::ofstream(host) << "MZ";
          host_paths.push_back(host.string());
          std::string windows = "C:\\" + std::string(folder) + "\\" + name;
          std::replace(windows.begin(), windows.end(), '/', '\\');
          windows_paths.push_back(machine::ToUpper(windows));
        }
      }
    }
    // The same shuffled order for both loops, so neither walks the tree in listing order.
    std::vector<size_t> order(host_paths.size());
    for (size_t i = 0; i < order.size(); ++i)
      order[i] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(42));
    std::vector<std::string> w, h;
    for (size_t i : order) {
      w.push_back(windows_paths[i]);
      h.push_back(host_paths[i]);
    }
    windows_paths.swap(w);
    host_paths.swap(h);
  }
};

Tree& SharedTree() {
  static Tree tree;
  return tree;
}

size_t StatAll(const std::vector<std::string>& paths) {
  size_t found = 0;
  struct stat st {};
  for (const std::string& p : paths)
    found += stat(p.c_str(), &st) == 0;
  return found;
}

size_t AttributesAll(const machine::FileSystem& files, const std::vector<std::string>& paths) {
  size_t found = 0;
  for (const std::string& p : paths)
    found += files.Attributes(p).has_value();
  return found;
}

void BM_StatExactHostPaths(benchmark::State& state) {
  const Tree& tree = SharedTree();
  if (StatAll(tree.host_paths) != tree.host_paths.size() / 2)
    state.SkipWithError("tree not as built");
  for (auto _ : state)
    benchmark::DoNotOptimize(StatAll(tree.host_paths));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(tree.host_paths.size()));
}
BENCHMARK(BM_StatExactHostPaths)->Unit(benchmark::kMillisecond);

void BM_AttributesUpperCasedWindowsPaths(benchmark::State& state) {
  const Tree& tree = SharedTree();
  if (AttributesAll(tree.files, tree.windows_paths) != tree.windows_paths.size() / 2)
    state.SkipWithError("view does not see the tree");
  for (auto _ : state)
    benchmark::DoNotOptimize(AttributesAll(tree.files, tree.windows_paths));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(tree.windows_paths.size()));
}
BENCHMARK(BM_AttributesUpperCasedWindowsPaths)->Unit(benchmark::kMillisecond);

// Prints how much slower the view is than plain stat() after the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (!run.error_occurred && run.iterations > 0)
        per_iteration_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const auto stat_time = per_iteration_.find("BM_StatExactHostPaths");
    const auto view_time = per_iteration_.find("BM_AttributesUpperCasedWindowsPaths");
    if (stat_time != per_iteration_.end() && view_time != per_iteration_.end())
      std::printf("view / stat time ratio: %.2f\n", view_time->second / stat_time->second);
  }

 private:
  std::map<std::string, double> per_iteration_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
