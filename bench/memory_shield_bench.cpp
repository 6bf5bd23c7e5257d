// One memory-shield tick with no detection, over at least 500 running processes (the machine's
// own, topped up with sleepers started from the drive tree) and a 10,000-line ExeDefinition.dat
// that has not changed since the last tick.
// - BM_BareProcWalk: the floor: list /proc and read each process's executable link.
// - BM_MemoryShieldTick: RunMemoryShield on the headless backend.
// Counter processes: the number of processes a walk saw.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "bench_machine.h"
#include "engine/shields/memory_shield.h"
#include "forms/headless_backend.h"
#include "forms/runtime.h"
#include "machine/machine.h"
#include "model/app.h"
#include "services/text_codec.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kProcesses = 500;
constexpr int kDefinitionLines = 10000;

// Calls `each` with every process id /proc lists.
template <class F>
void ForEachProcess(F each) {
  DIR* dir = opendir("/proc");
  if (dir == nullptr)
    return;
  while (const dirent* entry = readdir(dir)) {
    if (std::isdigit(static_cast<unsigned char>(entry->d_name[0])))
      each(entry->d_name);
  }
  closedir(dir);
}

int CountProcesses() {
  int count = 0;
  ForEachProcess([&count](const char*) { ++count; });
  return count;
}

// The system's sleep program, found on the PATH.
fs::path SleepProgram() {
  const char* path = std::getenv("PATH");
  std::string_view folders = path ? path : "";
  while (!folders.empty()) {
    const size_t colon = folders.find(':');
    const fs::path candidate = fs::path(folders.substr(0, colon)) / "sleep";
    if (access(candidate.c_str(), X_OK) == 0)
      return candidate;
    folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
  }
  std::abort();
}

// The machine, its definitions and enough sleepers; everything goes again at the end.
class Scene {
 public:
  Scene() {
    runtime_ = std::make_unique<forms::Runtime>(backend_, bench_machine_.version().product_name);
    app_ = model::MakeApp(machine(), *runtime_);
    const machine::Profile& profile = machine().profile();

    std::string definitions;
    for (int i = 0; i < kDefinitionLines; ++i) {
      definitions += services::EncodeText("absent" + std::to_string(i) +
                                          ".exe=Threat|[progfil]\\Absent " + std::to_string(i)) +
                     "\r\n";
    }
    machine().files().WriteFile(profile.program_folder + "\\ExeDefinition.dat", definitions);
    StartSleepers();
    // A file changed within the last moments is read again at every tick; let it settle.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    engine::RunMemoryShield(*app_);
  }
  ~Scene() {
    for (const pid_t pid : sleepers_) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    app_.reset();
    runtime_.reset();
  }
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  model::App& app() { return *app_; }

 private:
  void StartSleepers() {
    const std::optional<fs::path> folder =
        machine().files().Resolve(machine().profile().program_folder);
    if (!folder)
      std::abort();
    const fs::path program = *folder / "sleeper";
    fs::copy_file(SleepProgram(), program, fs::copy_options::overwrite_existing);
    const std::string path = program.string();
    std::string lifetime = "600";
    char* argv[] = {const_cast<char*>(path.c_str()), lifetime.data(), nullptr};
    for (int missing = kProcesses - CountProcesses(); missing > 0; --missing) {
      pid_t pid = 0;
      if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0)
        std::abort();
      sleepers_.push_back(pid);
    }
  }

  machine::Machine& machine() { return bench_machine_.machine(); }

  bench::BenchMachine bench_machine_{"shield"};
  forms::HeadlessBackend backend_;
  std::unique_ptr<forms::Runtime> runtime_;
  std::unique_ptr<model::App> app_;
  std::vector<pid_t> sleepers_;
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

void BM_BareProcWalk(benchmark::State& state) {
  TheScene();
  int seen = 0;
  for (auto _ : state) {
    seen = 0;
    ForEachProcess([&seen](const char* id) {
      char target[4096];
      const std::string link = std::string("/proc/") + id + "/exe";
      benchmark::DoNotOptimize(readlink(link.c_str(), target, sizeof target));
      ++seen;
    });
  }
  state.counters["processes"] = seen;
}
BENCHMARK(BM_BareProcWalk)->Unit(benchmark::kMillisecond);

void BM_MemoryShieldTick(benchmark::State& state) {
  model::App& app = TheScene().app();
  for (auto _ : state)
    engine::RunMemoryShield(app);
  state.counters["processes"] = std::stoi(app.frmMain.lblTotalNoOfRunningItems.Caption());
}
BENCHMARK(BM_MemoryShieldTick)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
