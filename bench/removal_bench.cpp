// Removing 10,000 checked files (both passes, as a removal runs them: guarded, copied, checked
// against the source, deleted, logged, looked for again) against a plain loop that copies each
// file into a folder and unlinks it. The files are spread over 100 folders, 1 KiB each.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench_machine.h"
#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/machine.h"
#include "model/app.h"
#include "model/result_rows.h"
#include "removal/quarantine_store.h"
#include "removal/removal.h"
#include "removal/removal_hooks.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;
const std::string kContent(1024, 'x');

// The machine with the files to plant under C:\Threats.
struct Scene {
  bench::BenchMachine bench_machine{"removal"};
  const fs::path& root = bench_machine.root();
  const fs::path drive = bench_machine.machine().profile().drives.front().host_root;
  std::vector<std::string> windows_paths;
  std::vector<fs::path> host_paths;

  Scene() {
    for (int d = 0; d < kFolders; ++d) {
      for (int n = 0; n < kFilesPerFolder; ++n) {
        char relative[64];
        std::snprintf(relative, sizeof relative, "Threats/Set%03d/item%05d.dat", d,
                      d * kFilesPerFolder + n);
        host_paths.push_back(drive / relative);
        std::string windows = std::string("C:\\") + relative;
        for (char& c : windows) {
          if (c == '/')
            c = '\\';
        }
        windows_paths.push_back(windows);
      }
    }
  }

  void Plant() const {
    for (const fs::path& path : host_paths) {
      fs::create_directories(path.parent_path());
      std::ofstream(path, std::ios::binary) << kContent;
    }
  }
  void Clear(const fs::path& folder) const {
    std::error_code error;
    fs::remove_all(folder, error);
    fs::create_directories(folder);
  }
};

void BM_PlainCopyAndUnlink(benchmark::State& state) {
  Scene m;
  const fs::path target = m.root / "plain-target";
  for (auto _ : state) {
    state.PauseTiming();
    m.Plant();
    m.Clear(target);
    state.ResumeTiming();
    for (const fs::path& path : m.host_paths) {
      fs::copy_file(path, target / path.filename());
      fs::remove(path);
    }
  }
  state.SetItemsProcessed(state.iterations() * m.host_paths.size());
}

void BM_RemoveCheckedFiles(benchmark::State& state) {
  Scene m;
  forms::HeadlessBackend backend;
  forms::Runtime runtime(backend, m.bench_machine.version().product_name);
  auto app = model::MakeApp(m.bench_machine.machine(), runtime);
  removal::InstallRemovalHooks(*app);
  const fs::path quarantine = m.drive / "Program Files" / "Hearthguard" / "quarantine";
  model::RowView<model::FileTargetRow> files(app->frmMain.lvwFilesToBeDeleted);
  model::RowView<model::ThreatRow> threats(
      app->frmMain.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);

  for (auto _ : state) {
    state.PauseTiming();
    m.Plant();
    m.Clear(quarantine);
    files.Clear();
    threats.Clear();
    threats.Add({"Bench", m.windows_paths.front(), "", model::ThreatIconKind::kFile, true});
    for (const std::string& path : m.windows_paths)
      files.Add({path, "Bench", true});
    state.ResumeTiming();
    app->removal.bQuarantinePass = true;
    removal::RemoveCheckedItems(*app);
    app->removal.bQuarantinePass = false;
    const removal::RemovalPassResult second = removal::RemoveCheckedItems(*app);
    if (second.leftovers != 0)
      state.SkipWithError("files were left");
  }
  state.SetItemsProcessed(state.iterations() * m.host_paths.size());
}

}  // namespace

BENCHMARK(BM_PlainCopyAndUnlink)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RemoveCheckedFiles)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
