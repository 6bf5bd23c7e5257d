// A whole Live Update on the Qt backend (offscreen) against the local update server, with a
// package of 10,000 items (half DEL, spread over the five files) into 100,000-line files: the
// largest gap between two handled UI events while it runs, measured by a 1 ms timer.
// Counters: gap_ms (the largest gap) and update_ms (the whole update).
// A second run serves a hostile package of 256 MiB (tiny items of every kind, half DEL, none
// naming a line present) from a server that makes it as it sends it, so that the process holds
// only the program's own copy. Counters: package_mb, peak_mb (the most the process held during
// the update, past what it held before: the download, the merge and the count),
// peak_per_package, gap_ms and update_ms.
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <stdlib.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "bench_machine.h"
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

void StartQt() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "live_update_gap_bench";
  static char* argv[] = {name, nullptr};
  static QApplication application(argc, argv);
}

// Runs the update once with a 1 ms timer ticking: the largest gap between two ticks, in ms.
double LargestGapOfUpdate(model::App& app, double& update_ms) {
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
  ui::cmdUpdate_Click(app);
  const Clock::time_point end = Clock::now();
  largest = std::max(largest, std::chrono::duration<double, std::milli>(end - last).count());
  update_ms = std::chrono::duration<double, std::milli>(end - start).count();
  return largest;
}

// The program on the Qt backend over a fresh bench machine, its main window shown.
struct QtProgram {
  QtProgram() {
    app->frmMain.Show();
    QCoreApplication::processEvents();
  }
  ~QtProgram() {
    unsetenv("HEARTHGUARD_UPDATE_SERVER");
    screen.reset();
    app.reset();
  }
  std::string ProgramFile(std::string_view name) {
    return bench.machine().profile().program_folder + "\\" + std::string(name);
  }
  // Fresh definition files and no date, so that the next update applies its package.
  void ResetDefinitions(const std::vector<std::string>& stored) {
    for (size_t f = 0; f < stored.size(); ++f)
      bench.machine().files().WriteFile(ProgramFile(update_server::kDefinitionFileNames[f]),
                                        stored[f]);
    bench.machine().files().DeleteFile(ProgramFile("date.dat"));
  }

  bench::BenchMachine bench{"update-gap"};
  view::QtBackend backend;
  forms::Runtime runtime{backend, bench.version().product_name};
  std::unique_ptr<model::App> app = model::MakeApp(bench.machine(), runtime);
  std::unique_ptr<view::Screen> screen =
      std::make_unique<view::Screen>(backend, runtime, &app->skin);
};

void BM_LiveUpdateLargestGapQt(benchmark::State& state) {
  StartQt();

  QtProgram program;
  const fs::path& root = program.bench.root();
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

  std::vector<std::string> stored;
  for (const auto& lines : Members(old_files)) {
    std::string text;
    for (const std::string& line : lines)
      text += services::EncodeText(line) + "\r\n";
    stored.push_back(std::move(text));
  }

  double gap_ms = 0;
  double update_ms = 0;
  for (auto _ : state) {
    program.ResetDefinitions(stored);
    double one_update_ms = 0;
    gap_ms = std::max(gap_ms, LargestGapOfUpdate(*program.app, one_update_ms));
    if (program.app->frmSignatureUpdated->lblUpdateInfo.Caption().find("updated") ==
        std::string::npos)
      state.SkipWithError("the update did not apply");
    program.app->frmSignatureUpdated.Unload();
    update_ms += one_update_ms;
  }
  state.counters["gap_ms"] = gap_ms;
  state.counters["update_ms"] = update_ms / static_cast<double>(state.iterations());
  server.Stop();
}
BENCHMARK(BM_LiveUpdateLargestGapQt)->Unit(benchmark::kMillisecond)->Iterations(3);

constexpr size_t kHostilePackageBytes = size_t{256} << 20;

// Item `i` of the hostile package: every kind and op in turn, each with a name of its own.
std::string HostileItem(size_t i) {
  static constexpr const char* kKinds[] = {"FILE", "EXE", "DLL", "REG", "COOK", "DIR"};
  const std::string kind = kKinds[i % 6];
  const bool add = (i / 6) % 2 == 0;
  const std::string name = "h" + std::to_string(i);
  const std::string text =
      kind == "REG" && add ? name + "=T|2^K" + std::to_string(i) + "|V" : name + "=T";
  std::string data = services::EncodeText(text);
  for (size_t c = 0; c < text.size(); ++c) {
    if (text[c] == '|' || text[c] == '=')
      data[c] = text[c];
  }
  return services::EncodeText(kind) + (add ? "|ADD[DEF]" : "|DEL[DEF]") + data + "[BR]";
}

// What the process holds now, and the most it held since the count was last reset, in MiB.
double StatusMiB(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field, 0) == 0)
      return std::stod(line.substr(std::string(field).size())) / 1024;
  }
  return 0;
}

void BM_LiveUpdateHostilePackageQt(benchmark::State& state) {
  StartQt();
  httplib::Server server;
  const std::string new_date = "6/1/2026 9:30:00 AM";
  server.Get("/asp/currentDate.asp", [&](const httplib::Request&, httplib::Response& response) {
    response.set_content(new_date, "text/plain");
  });
  server.Get("/asp/date.asp", [&](const httplib::Request&, httplib::Response& response) {
    response.set_content(new_date, "text/plain");
  });
  server.Get("/asp/getDefs.asp", [](const httplib::Request&, httplib::Response& response) {
    auto sent = std::make_shared<size_t>(0);
    auto next_item = std::make_shared<size_t>(0);
    response.set_chunked_content_provider(
        "text/plain", [sent, next_item](size_t, httplib::DataSink& sink) {
          std::string chunk;
          while (chunk.size() < 64 * 1024) {
            const std::string item = HostileItem(*next_item);
            if (*sent + chunk.size() + item.size() > kHostilePackageBytes)
              break;
            chunk += item;
            ++*next_item;
          }
          *sent += chunk.size();
          if (chunk.empty())
            sink.done();
          else
            sink.write(chunk.data(), chunk.size());
          return true;
        });
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread serving([&] { server.listen_after_bind(); });
  setenv("HEARTHGUARD_UPDATE_SERVER", ("http://127.0.0.1:" + std::to_string(port)).c_str(), 1);

  QtProgram program;
  const std::vector<std::string> stored(update_server::kDefinitionFileNames.size(),
                                        services::EncodeText("kept=Kept|1") + "\r\n");

  for (auto _ : state) {
    program.ResetDefinitions(stored);
    const double before_mb = StatusMiB("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts anew from here
    double update_ms = 0;
    const double gap_ms = LargestGapOfUpdate(*program.app, update_ms);
    const double peak_mb = StatusMiB("VmHWM:") - before_mb;
    if (program.app->frmSignatureUpdated->lblUpdateInfo.Caption().find("updated") ==
        std::string::npos)
      state.SkipWithError("the update did not apply");
    program.app->frmSignatureUpdated.Unload();
    const double package_mb = static_cast<double>(kHostilePackageBytes) / (1 << 20);
    state.counters["package_mb"] = package_mb;
    state.counters["peak_mb"] = peak_mb;
    state.counters["peak_per_package"] = peak_mb / package_mb;
    state.counters["gap_ms"] = gap_ms;
    state.counters["update_ms"] = update_ms;
  }
  server.stop();
  serving.join();
}
BENCHMARK(BM_LiveUpdateHostilePackageQt)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
