// A whole scan (the main window's Start) over 100,000 definition lines of every kind, with a
// planted tree that every stage finds something in.
// - BM_WholeScanHeadless: the scan on the headless backend. Counters: scan_ms, the process's
//   peak memory before and after the scans (getrusage), its resident memory before and after,
//   threats found.
// - BM_WholeScanQt: the same scan on the Qt backend with the main window shown (offscreen), and
//   a QTimer ticking every 5 ms: max_gap_ms is the longest time between two handled ticks while
//   the scan ran, i.e. how long the window went without handling events.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench_machine.h"
#include "engine/definitions/definition_set.h"
#include "engine/definitions/ignore_list.h"
#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/csidl.h"
#include "machine/machine.h"
#include "machine/registry_import.h"
#include "model/app.h"
#include "services/text_codec.h"
#include "ui/main/scan_run.h"
#include "view/qt_backend.h"
#include "view/screen.h"

namespace {

namespace fs = std::filesystem;

constexpr int kVendors = 200;
constexpr int kFileLines = 40000;
constexpr int kFolderLines = 10000;
constexpr int kRegistryLines = 30000;
constexpr int kExeLines = 10000;
constexpr int kCookieLines = 10000;
constexpr int kTotalLines = kFileLines + kFolderLines + kRegistryLines + kExeLines + kCookieLines;
// One line in so many names something that is there.
constexpr int kFilesPlantedEvery = 40;
constexpr int kFoldersPlantedEvery = 100;
constexpr int kKeysPlantedEvery = 30;
constexpr int kCookieFiles = 200;

std::string Format(const char* format, int a, int b = 0) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

void AddLine(std::string& file, const std::string& line) {
  file += services::EncodeText(line);
  file += "\r\n";
}

double PeakMemoryMb() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB
}

// The memory the process holds now (resident pages).
double ResidentMemoryMb() {
  long pages = 0;
  long resident = 0;
  std::ifstream statm("/proc/self/statm");
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
         (1024.0 * 1024.0);
}

// The machine, its definitions and planted tree, and an application object on `backend`.
class Scene {
 public:
  explicit Scene(forms::Backend& backend) {
    const machine::Profile& profile = machine().profile();
    const fs::path drive = profile.drives.front().host_root;
    const std::string program_folder = profile.program_folder;

    std::string files;
    std::string folders;
    for (int i = 0; i < kFileLines; ++i) {
      const int vendor = i % kVendors;
      const std::string name = Format("module%05d.dll", i);
      AddLine(files, name + Format("=Threat F%05d|[progfil]Vendor%03d|Adware", i / 4, vendor));
      if (i % kFilesPlantedEvery == 0) {
        const fs::path folder = drive / "Program Files" / Format("Vendor%03d", vendor);
        fs::create_directories(folder);
        std::ofstream(folder / name) << "MZ";
      }
    }
    for (int i = 0; i < kFolderLines; ++i) {
      const std::string sub = Format("Vendor%03d\\Part%05d", i % kVendors, i);
      AddLine(folders, Format("Part %05d=Threat D%05d|[progfil]", i, i / 2) + sub);
      if (i % kFoldersPlantedEvery == 0) {
        fs::create_directories(drive / "Program Files" /
                               Format("Vendor%03d/Part%05d", i % kVendors, i));
      }
    }

    std::string registry;
    std::string regedit = "REGEDIT4\n";
    for (int i = 0; i < kRegistryLines; ++i) {
      const std::string key = Format("Software\\Vendor%03d\\Key%05d", i % kVendors, i);
      if (i % 2 == 0)
        AddLine(registry, "2^" + key + Format("^^=Threat R%05d|Adware", i / 3));
      else
        AddLine(registry, "1^" + key + Format("^Setting^=Threat R%05d", i / 3));
      if (i % kKeysPlantedEvery == 0 || i % kKeysPlantedEvery == 1) {
        regedit += (i % 2 == 0 ? "[HKEY_LOCAL_MACHINE\\" : "[HKEY_CURRENT_USER\\") + key + "]\n";
        if (i % 2 == 1)
          regedit += "\"Setting\"=\"1\"\n";
      }
    }

    std::string programs;
    for (int i = 0; i < kExeLines; ++i) {
      AddLine(programs, Format("prog%05d.exe=Threat E%05d|[progfil]Vendor", i, i) +
                            Format("%03d", i % kVendors));
    }
    std::string cookies;
    for (int i = 0; i < kCookieLines; ++i)
      AddLine(cookies, Format("tracker%05d.example", i));
    const fs::path cookie_folder = drive / "Documents and Settings" / "Owner" / "Cookies";
    fs::create_directories(cookie_folder);
    for (int i = 0; i < kCookieFiles; ++i) {
      // Every other cookie comes from a blocked site.
      const int site = i % 2 == 0 ? i * 37 : kCookieLines + i;
      std::ofstream(cookie_folder / Format("owner@tracker%05d[%d].txt", site, 1))
          << "id\n"
          << i << "\n"
          << Format("tracker%05d.example/", site) << "\n1536\n";
    }

    std::string error;
    if (!machine::ImportRegedit4(machine().registry(), regedit, error))
      std::abort();
    machine::FileSystem& fs_view = machine().files();
    fs_view.WriteFile(program_folder + "\\FileDefinition.dat", files);
    fs_view.WriteFile(program_folder + "\\DirectoryDefinition.dat", folders);
    fs_view.WriteFile(program_folder + "\\RegistryDefinition.dat", registry);
    fs_view.WriteFile(program_folder + "\\ExeDefinition.dat", programs);
    fs_view.WriteFile(program_folder + "\\BlockedCookies.dat", cookies);

    runtime_ = std::make_unique<forms::Runtime>(backend, bench_machine_.version().product_name);
    app_ = model::MakeApp(machine(), *runtime_);
    app_->definitions.lngTotalDefinitions = engine::CountDefinitions(*app_);
    engine::LoadIgnoreList(*app_);
  }
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  model::App& app() { return *app_; }
  forms::Runtime& runtime() { return *runtime_; }

  // Runs the scan; false when it did not go through every definition.
  bool Scan() {
    ui::cmdScanNow_Click(*app_);
    return app_->definitions.lngTotalDefinitions == kTotalLines &&
           app_->frmMain.lblStatus(0).Caption() == "Scanning complete." &&
           app_->scan.lngFilesFoldersInspected == kFileLines + kFolderLines &&
           app_->scan.lngRegistryItemsInspected == kRegistryLines;
  }

 private:
  machine::Machine& machine() { return bench_machine_.machine(); }

  bench::BenchMachine bench_machine_{"scan"};
  std::unique_ptr<forms::Runtime> runtime_;
  std::unique_ptr<model::App> app_;
};

void BM_WholeScanHeadless(benchmark::State& state) {
  forms::HeadlessBackend backend;
  Scene scene(backend);
  const double before_mb = PeakMemoryMb();
  const double resident_before_mb = ResidentMemoryMb();
  double scan_s = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (!scene.Scan())
      state.SkipWithError("the scan did not go through every definition");
    scan_s += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["scan_ms"] = 1000 * scan_s / static_cast<double>(state.iterations());
  state.counters["peak_mb_before_scan"] = before_mb;
  state.counters["peak_mb"] = PeakMemoryMb();
  state.counters["resident_mb_before_scan"] = resident_before_mb;
  state.counters["resident_mb_after_scan"] = ResidentMemoryMb();
  state.counters["threats"] = scene.app().scan.lngThreatsFound;
  state.counters["lines"] = kTotalLines;
}
BENCHMARK(BM_WholeScanHeadless)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WholeScanQt(benchmark::State& state) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "scan_bench";
  static char* argv[] = {name, nullptr};
  static QApplication application(argc, argv);

  view::QtBackend backend;
  Scene scene(backend);
  view::Screen screen(backend, scene.runtime(), &scene.app().skin);
  scene.app().frmMain.Show();
  scene.app().frmMain.frmScan.SetVisible(true);

  // The longest time the event loop went without handling the ticking timer.
  QElapsedTimer clock;
  qint64 last_tick = -1;
  qint64 max_gap = 0;
  int64_t ticks = 0;
  QTimer ticker;
  ticker.setInterval(5);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    if (last_tick >= 0 && now - last_tick > max_gap)
      max_gap = now - last_tick;
    last_tick = now;
    ++ticks;
  });

  double scan_s = 0;
  for (auto _ : state) {
    clock.start();
    last_tick = -1;
    ticker.start();
    const auto start = std::chrono::steady_clock::now();
    if (!scene.Scan())
      state.SkipWithError("the scan did not go through every definition");
    scan_s += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // The gap up to the scan's end counts too.
    QCoreApplication::processEvents();
    ticker.stop();
  }
  state.counters["scan_ms"] = 1000 * scan_s / static_cast<double>(state.iterations());
  state.counters["max_gap_ms"] = static_cast<double>(max_gap);
  state.counters["ticks"] = static_cast<double>(ticks);
  state.counters["peak_mb"] = PeakMemoryMb();
}
BENCHMARK(BM_WholeScanQt)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
