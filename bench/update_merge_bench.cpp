// The update merge over five definition files of 100,000 lines each with a package of 10,000
// items spread over them (half DEL naming lines present, half ADD), against the shell's way of
// doing the same: for each file `grep -v -F -i -f` with the DEL names, then the ADD lines
// appended. Run with the argument 1 and 2 (files and package twice as large) to see that the
// merge grows linearly.
// Counters: merge_ms and grep_ms per run and their ratio.
//
// BM_SameNameAdds: packages of only FILE ADD items (the argument is their number), once with a
// name of their own each and once all with one name and different lines, merged into a file of
// 10,000 lines. Counters: distinct_ms, same_ms and same_per_distinct, which stays near 1 when
// the merge's time grows with the package's size whatever its names.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench_machine.h"
#include "engine/definitions/update_merge.h"
#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/machine.h"
#include "model/app.h"
#include "services/text_codec.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLinesPerFile = 100'000;
constexpr int kItemsPerFile = 2'000;  // 10,000 over the five files

struct DefinitionFile {
  const char* name;
  const char* kind;
};
constexpr std::array<DefinitionFile, 5> kFiles = {{{"FileDefinition.dat", "DLL"},
                                                   {"ExeDefinition.dat", "EXE"},
                                                   {"RegistryDefinition.dat", "REG"},
                                                   {"BlockedCookies.dat", "COOK"},
                                                   {"DirectoryDefinition.dat", "DIR"}}};

// Item data: encoded but for "|" and "=".
std::string ItemData(const std::string& text) {
  std::string data = services::EncodeText(text);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '|' || text[i] == '=')
      data[i] = text[i];
  }
  return data;
}

struct Scene {
  bench::BenchMachine bench_machine{"merge"};
  const fs::path& root = bench_machine.root();
  machine::Machine& machine = bench_machine.machine();
  fs::path program_folder;
  std::vector<std::string> contents;      // each file as stored
  std::vector<std::string> del_patterns;  // per file: the DEL names as stored, one a line
  std::vector<std::string> added_lines;   // per file: the ADD lines as stored
  std::string package;
  forms::HeadlessBackend backend;
  std::unique_ptr<forms::Runtime> runtime;
  std::unique_ptr<model::App> app;

  explicit Scene(int scale) {
    const machine::Profile& profile = machine.profile();
    program_folder = *machine.files().Resolve(profile.program_folder);

    const int lines = kLinesPerFile * scale;
    const int items = kItemsPerFile * scale;
    for (const DefinitionFile& file : kFiles) {
      const std::string kind = file.kind;
      const bool reg = kind == "REG";
      std::string content;
      for (int i = 0; i < lines; ++i) {
        const std::string name = reg ? "2^SOFTWARE\\Vendor" + std::to_string(i) + "^"
                                     : kind + "name" + std::to_string(i);
        content += services::EncodeText(name + "=Threat " + std::to_string(i) + "|Adware") + "\r\n";
      }
      contents.push_back(content);
      std::string patterns;
      std::string added;
      for (int i = 0; i < items; ++i) {
        if (!package.empty())
          package += "[BR]";
        package += services::EncodeText(kind);
        if (i % 2 == 0) {
          // Every other line of the file, spread over all of it.
          const int line = i * (lines / items);
          const std::string name = reg ? "2^SOFTWARE\\Vendor" + std::to_string(line) + "^"
                                       : kind + "name" + std::to_string(line);
          package += "|DEL[DEF]" + ItemData(name);
          patterns += services::EncodeText(name + "=") + "\n";
        } else {
          const std::string name = kind + "new" + std::to_string(i);
          const std::string text =
              reg ? "x=New " + name + "|2^SOFTWARE\\" + name + "|Adware" : name + "=New|Adware";
          package += "|ADD[DEF]" + ItemData(text);
          added += services::EncodeText(reg ? "2^SOFTWARE\\" + name + "^=New " + name + "|Adware"
                                            : text) +
                   "\r\n";
        }
      }
      del_patterns.push_back(patterns);
      added_lines.push_back(added);
    }
    runtime = std::make_unique<forms::Runtime>(backend, bench_machine.version().product_name);
    app = model::MakeApp(machine, *runtime);
    for (size_t f = 0; f < kFiles.size(); ++f)
      std::ofstream(root / (std::string(kFiles[f].name) + ".del"), std::ios::binary)
          << del_patterns[f];
  }
  ~Scene() {
    app.reset();
    runtime.reset();
  }

  void PlantFiles() {
    for (size_t f = 0; f < kFiles.size(); ++f)
      std::ofstream(program_folder / kFiles[f].name, std::ios::binary) << contents[f];
  }

  // The shell's way: filter each file by its DEL names, then append its ADD lines.
  void GrepAndAppend() {
    for (size_t f = 0; f < kFiles.size(); ++f) {
      const fs::path file = program_folder / kFiles[f].name;
      const fs::path out = root / (std::string(kFiles[f].name) + ".out");
      const std::string command = "LC_ALL=C grep -v -F -i -f '" +
                                  (root / (std::string(kFiles[f].name) + ".del")).string() + "' '" +
                                  file.string() + "' > '" + out.string() + "'";
      if (std::system(command.c_str()) < 0)
        std::abort();
      std::ofstream(out, std::ios::binary | std::ios::app) << added_lines[f];
      fs::rename(out, file);
    }
  }
};

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

void BM_UpdateMerge(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  double merge_ms = 0;
  double grep_ms = 0;
  for (auto _ : state) {
    scene.PlantFiles();
    auto start = std::chrono::steady_clock::now();
    const engine::UpdateMergeResult result =
        engine::ApplyDefinitionUpdate(*scene.app, scene.package);
    const auto merge = std::chrono::steady_clock::now() - start;
    benchmark::DoNotOptimize(result);
    if (result.failed)
      state.SkipWithError("the merge failed");

    scene.PlantFiles();
    start = std::chrono::steady_clock::now();
    scene.GrepAndAppend();
    const auto grep = std::chrono::steady_clock::now() - start;

    state.SetIterationTime(std::chrono::duration<double>(merge).count());
    merge_ms += Ms(merge);
    grep_ms += Ms(grep);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["merge_ms"] = merge_ms / runs;
  state.counters["grep_ms"] = grep_ms / runs;
  state.counters["merge_per_grep"] = merge_ms / grep_ms;
}
BENCHMARK(BM_UpdateMerge)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);

std::string FileAdds(int items, bool same_name) {
  std::string package;
  for (int i = 0; i < items; ++i) {
    const std::string name = same_name ? "c:\\same.exe" : "c:\\own" + std::to_string(i) + ".exe";
    package += (package.empty() ? "" : "[BR]") + services::EncodeText("FILE") + "|ADD[DEF]" +
               ItemData(name + "=Threat " + std::to_string(i) + "|Adware");
  }
  return package;
}

void BM_SameNameAdds(benchmark::State& state) {
  bench::BenchMachine bench_machine("merge-names");
  machine::Machine& machine = bench_machine.machine();
  const fs::path file = *machine.files().Resolve(machine.profile().program_folder) / kFiles[0].name;
  std::string content;
  for (int i = 0; i < 10'000; ++i)
    content += services::EncodeText("c:\\old" + std::to_string(i) + ".exe=Old|Adware") + "\r\n";
  const int items = static_cast<int>(state.range(0));
  const std::string distinct = FileAdds(items, false);
  const std::string same = FileAdds(items, true);
  forms::HeadlessBackend backend;
  forms::Runtime runtime(backend, bench_machine.version().product_name);
  std::unique_ptr<model::App> app = model::MakeApp(machine, runtime);
  const auto merge = [&](const std::string& package) {
    std::ofstream(file, std::ios::binary) << content;
    const auto start = std::chrono::steady_clock::now();
    const engine::UpdateMergeResult result = engine::ApplyDefinitionUpdate(*app, package);
    const auto took = std::chrono::steady_clock::now() - start;
    if (result.count != items)
      state.SkipWithError("the merge failed");
    return took;
  };
  double distinct_ms = 0;
  double same_ms = 0;
  for (auto _ : state) {
    const auto distinct_took = merge(distinct);
    const auto same_took = merge(same);
    state.SetIterationTime(std::chrono::duration<double>(same_took).count());
    distinct_ms += Ms(distinct_took);
    same_ms += Ms(same_took);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["distinct_ms"] = distinct_ms / runs;
  state.counters["same_ms"] = same_ms / runs;
  state.counters["same_per_distinct"] = same_ms / distinct_ms;
}
BENCHMARK(BM_SameNameAdds)
    ->Arg(10'000)
    ->Arg(40'000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
