// A whole Live Update on the Qt backend (offscreen) against the local update server, with a
// package of 10,000 items (half DEL, spread over the five files) into 100,000-line files: the
// largest gap between two handled UI events while it runs, measured by a 1 ms timer.
// Counters: gap_ms (the largest gap) and update_ms (the whole update).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/definitions/update_merge.h"
#include "forms/runtime.h"
#include "machine/date_time.h"
#include "machine/machine.h"
#include "model/app.h"
#include "services/text_codec.h"
#include "ui/main/live_update_run.h"
#include "update_server.h"
#include "view/qt_backend.h"
#include "view/screen.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kLines = 100'000;
constexpr int kItemsPerFile = 2'000;

// The old and the new release: kLines lines a file; the new one drops every other one of
// kItemsPerFile spread lines and adds as many.
void MakeReleases(update_server::DefinitionFiles& old_files,
                  update_server::DefinitionFiles& new_files) {
  const auto fill = [](std::vector<std::string>& old_lines, std::vector<std::string>& new_lines,
                       const std::string& kind, bool registry) {
    const auto line = [&](const std::string& name, int i) {
      return registry ? "2^SOFTWARE\\" + name + "^=Threat " + std::to_string(i) + "|Adware"
                      : name + "=Threat " + std::to_string(i) + "|Adware";
    };
    for (int i = 0; i < kLines; ++i) {
      old_lines.push_back(line(kind + "name" + std::to_string(i), i));
      if (i % (2 * (kLines / kItemsPerFile)) != 0)
        new_lines.push_back(old_lines.back());
    }
    for (int i = 0; i < kItemsPerFile / 2; ++i)
      new_lines.push_back(line(kind + "new" + std::to_string(i), i));
  };
  fill(old_files.file, new_files.file, "FILE", false);
  fill(old_files.exe, new_files.exe, "EXE", false);
  fill(old_files.registry, new_files.registry, "REG", true);
  fill(old_files.cookies, new_files.cookies, "COOK", false);
  fill(old_files.directory, new_files.directory, "DIR", false);
}

std::vector<std::vector<std::string>> Members(const update_server::DefinitionFiles& files) {
  return {files.file, files.exe, files.registry, files.cookies, files.directory};
}

void BM_LiveUpdateLargestGapQt(benchmark::State& state) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "live_update_gap_bench";
  static char* argv[] = {name, nullptr};
  static QApplication application(argc, argv);

  std::string pattern = (fs::temp_directory_path() / "hg-update-gap-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    std::abort();
  const fs::path root = pattern;
  update_server::DefinitionFiles old_files;
  update_server::DefinitionFiles new_files;
  MakeReleases(old_files, new_files);
  update_server::WriteRelease(root / "releases" / "old",
                              {*machine::ParseGeneralDate("3/16/2006"), old_files});
  update_server::WriteRelease(root / "releases" / "new",
                              {*machine::ParseGeneralDate("6/1/2026 9:30:00 AM"), new_files});
  update_server::Server server(root / "releases");
  if (server.Start("127.0.0.1") < 0)
    std::abort();
  setenv("HEARTHGUARD_UPDATE_SERVER", server.base_url().c_str(), 1);

  machine::Profile profile = machine::DefaultProfile(root / "machine");
  machine::CreateFolderTree(profile);
  machine::VersionInfo version;
  version.product_name = "Hearthguard";
  std::string error;
  auto machine = machine::Machine::Open(profile, version, error);
  if (!machine)
    std::abort();
  std::vector<std::string> stored;
  for (const auto& lines : Members(old_files)) {
    std::string text;
    for (const std::string& line : lines)
      text += services::EncodeText(line) + "\r\n";
    stored.push_back(std::move(text));
  }

  view::QtBackend backend;
  forms::Runtime runtime(backend, version.product_name);
  auto app = model::MakeApp(*machine, runtime);
  auto screen = std::make_unique<view::Screen>(backend, runtime, &app->skin);
  app->frmMain.Show();
  QCoreApplication::processEvents();

  double gap_ms = 0;
  double update_ms = 0;
  for (auto _ : state) {
    for (size_t f = 0; f < stored.size(); ++f) {
      machine->files().WriteFile(
          profile.program_folder + "\\" + std::string(update_server::kDefinitionFileNames[f]),
          stored[f]);
    }
    machine->files().DeleteFile(profile.program_folder + "\\date.dat");
    Clock::time_point last = Clock::now();
    double largest = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      const Clock::time_point now = Clock::now();
      largest = std::max(largest, std::chrono::duration<double, std::milli>(now - last).count());
      last = now;
    });
    ticker.start();
    const Clock::time_point start = Clock::now();
    last = start;
    ui::cmdUpdate_Click(*app);
    const Clock::time_point end = Clock::now();
    largest = std::max(largest, std::chrono::duration<double, std::milli>(end - last).count());
    ticker.stop();
    if (app->frmSignatureUpdated->lblUpdateInfo.Caption().find("updated") == std::string::npos)
      state.SkipWithError("the update did not apply");
    app->frmSignatureUpdated.Unload();
    gap_ms = std::max(gap_ms, largest);
    update_ms += std::chrono::duration<double, std::milli>(end - start).count();
  }
  state.counters["gap_ms"] = gap_ms;
  state.counters["update_ms"] = update_ms / static_cast<double>(state.iterations());
  unsetenv("HEARTHGUARD_UPDATE_SERVER");
  screen.reset();
  app.reset();
  server.Stop();
  std::error_code remove_error;
  fs::remove_all(root, remove_error);
}
BENCHMARK(BM_LiveUpdateLargestGapQt)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
