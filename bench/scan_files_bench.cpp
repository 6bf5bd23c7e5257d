// The file and folder stages, run headless over 102,000 definition lines (100,000 file lines
// and 2,000 folder lines, half of each naming something that exists, all upper case while the
// tree is lower case), against a plain stat() of the exact host paths the lines name, and
// against the same stat() loop that also reads every file found, the I/O the file stage itself
// cannot avoid (each find is read for its company name).
// Counters: stages_ms, stat_ms and stat_read_ms per run, the ratios of the stages to each
// baseline, and the process's peak memory.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench_machine.h"
#include "engine/scan/file_stages.h"
#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"
#include "services/text_codec.h"

namespace {

namespace fs = std::filesystem;

constexpr int kGroups = 20;
constexpr int kFoldersPerGroup = 50;
constexpr int kFilesPerFolder = 50;  // as many missing names are listed

// What a planted module holds: about a kilobyte of code bytes and a version block naming a
// company other than the exempt one, so that every find is read in full.
std::string ModuleBytes() {
  const auto wide = [](std::string_view text) {
    std::string out;
    for (const char c : text) {
      out.push_back(c);
      out.push_back('\0');
    }
    return out + std::string(2, '\0');
  };
  std::string bytes = "MZ" + std::string(900, '\xCC');
  bytes += std::string("\0\0\0\0\x01\0", 6) + wide("StringFileInfo") + std::string(2, '\0');
  bytes += std::string("\x40\0\x0E\0\x01\0", 6) + wide("CompanyName") + std::string(2, '\0');
  bytes += wide("Acme Software") + std::string(2, '\0');
  bytes += std::string("\x30\0\x05\0\x01\0", 6) + wide("FileDescription") + wide("Tool");
  return bytes;
}

struct Scene {
  bench::BenchMachine bench{"scan-files"};
  std::vector<std::string> host_paths;  // exact spelling of what every line names
  forms::HeadlessBackend backend;
  std::unique_ptr<forms::Runtime> runtime;
  std::unique_ptr<model::App> app;

  Scene() {
    machine::Machine& machine = bench.machine();
    const machine::Profile& profile = machine.profile();
    const fs::path drive = profile.drives.front().host_root;
    const std::string program_folder = profile.program_folder;

    const std::string module = ModuleBytes();
    std::string file_lines;
    std::string folder_lines;
    for (int g = 0; g < kGroups; ++g) {
      for (int f = 0; f < kFoldersPerGroup; ++f) {
        char folder[64];
        std::snprintf(folder, sizeof folder, "Program Files/vendor%02d/product%04d", g, f);
        char token_folder[64];
        std::snprintf(token_folder, sizeof token_folder, "[progfil]\\VENDOR%02d\\PRODUCT%04d", g,
                      f);
        char threat[32];
        std::snprintf(threat, sizeof threat, "Threat %02d-%04d", g, f);
        fs::create_directories(drive / folder);
        for (int n = 0; n < kFilesPerFolder * 2; ++n) {
          char name[32];
          std::snprintf(name, sizeof name,
                        n < kFilesPerFolder ? "module%02d.dll" : "absent%02d.dll",
                        n % kFilesPerFolder);
          if (n < kFilesPerFolder)
            std::ofstream(drive / folder / name) << module;
          host_paths.push_back((drive / folder / name).string());
          file_lines += services::EncodeText(machine::ToUpper(name) + "=" + threat + "|" +
                                             token_folder + "|Adware") +
                        "\r\n";
        }
        host_paths.push_back((drive / folder).string());
        folder_lines +=
            services::EncodeText(std::string("Product=") + threat + "|" + token_folder) + "\r\n";
        host_paths.push_back((drive / folder / "gone").string());
        folder_lines += services::EncodeText(std::string("Gone=") + threat + " Gone|" +
                                             token_folder + "\\GONE") +
                        "\r\n";
      }
    }

    machine.files().WriteFile(program_folder + "\\FileDefinition.dat", file_lines);
    machine.files().WriteFile(program_folder + "\\DirectoryDefinition.dat", folder_lines);
    runtime = std::make_unique<forms::Runtime>(backend, bench.version().product_name);
    app = model::MakeApp(machine, *runtime);
    app->definitions.lngFileDefinitionCount =
        kGroups * kFoldersPerGroup * (kFilesPerFolder * 2 + 2);
    app->definitions.lngTotalDefinitions = app->definitions.lngFileDefinitionCount;
  }

  // What a scan run resets before its stages.
  void Reset() {
    model::FrmMain& main = app->frmMain;
    main.lvwSpywareFound.Clear();
    main.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Clear();
    main.lvwFilesToBeDeleted.Clear();
    main.lbltracesFound.SetCaption("0");
    app->scan.lngFilesFoldersInspected = 0;
    app->scan.lngThreatsFound = 0;
    app->scan.bStopScan = false;
    app->scan.strScanPhaseCaption = "Scanning Known Spyware/Adware: ";
  }

  void RunStages() {
    engine::ScanFileDefinitions(*app);
    engine::ScanDirectoryDefinitions(*app);
  }

  int StatAll() const {
    int found = 0;
    struct stat st {};
    for (const std::string& path : host_paths)
      found += ::stat(path.c_str(), &st) == 0 ? 1 : 0;
    return found;
  }

  // StatAll, reading every file found to its end as well.
  int StatAndReadAll() const {
    int found = 0;
    struct stat st {};
    static char buffer[64 * 1024];
    for (const std::string& path : host_paths) {
      if (::stat(path.c_str(), &st) != 0)
        continue;
      ++found;
      if (!S_ISREG(st.st_mode))
        continue;
      const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0)
        continue;
      while (::read(fd, buffer, sizeof buffer) > 0) {
      }
      ::close(fd);
    }
    return found;
  }
};

double PeakMemoryMb() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

// Resident size now, from /proc/self/statm.
double ResidentMemoryMb() {
  long pages = 0;
  long resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
      resident = 0;
    std::fclose(statm);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

// The libraries are resident before any scan data is; the scan's own share is the peak above
// this.
const double kResidentAtStartMb = ResidentMemoryMb();

void BM_FileAndFolderStages(benchmark::State& state) {
  Scene scene;
  using Clock = std::chrono::steady_clock;
  double stages_s = 0;
  double stat_s = 0;
  double stat_read_s = 0;
  for (auto _ : state) {
    state.PauseTiming();
    scene.Reset();
    state.ResumeTiming();
    const auto start = Clock::now();
    scene.RunStages();
    stages_s += std::chrono::duration<double>(Clock::now() - start).count();

    state.PauseTiming();
    const auto stat_start = Clock::now();
    benchmark::DoNotOptimize(scene.StatAll());
    stat_s += std::chrono::duration<double>(Clock::now() - stat_start).count();

    const auto read_start = Clock::now();
    benchmark::DoNotOptimize(scene.StatAndReadAll());
    stat_read_s += std::chrono::duration<double>(Clock::now() - read_start).count();
    state.ResumeTiming();
  }
  if (scene.app->scan.lngThreatsFound != kGroups * kFoldersPerGroup) {
    state.SkipWithError("the stages did not find every planted threat");
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["stages_ms"] = 1000 * stages_s / runs;
  state.counters["stat_ms"] = 1000 * stat_s / runs;
  state.counters["stat_read_ms"] = 1000 * stat_read_s / runs;
  state.counters["ratio"] = stages_s / stat_s;
  state.counters["ratio_to_stat_read"] = stages_s / stat_read_s;
  state.counters["lines"] = static_cast<double>(scene.host_paths.size());
  state.counters["peak_mb"] = PeakMemoryMb();
  state.counters["peak_above_start_mb"] = PeakMemoryMb() - kResidentAtStartMb;
}
BENCHMARK(BM_FileAndFolderStages)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
