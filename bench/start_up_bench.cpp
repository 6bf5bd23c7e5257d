// The program's start as the user meets it: the built program started offscreen on a machine
// of its own, timed from the process's start to its main window shown (the program writes
// "shown" when asked to). The start includes the splash window's count of 75 ticks.
// - BM_StartUp: each iteration starts the program twice, alternately: with 100,000 definition
//   lines installed, and with a tiny set of five lines (the baseline, in the same run).
// Counters: shown_ms (100,000 lines), baseline_ms (five lines), ratio (shown / baseline) and
// extra_ms (shown - baseline: what the definitions cost).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "machine/file_system.h"
#include "machine/profile.h"
#include "machine/version_info.h"
#include "services/text_codec.h"
#include "support/started_program.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefinitionFiles[] = {"ExeDefinition.dat", "FileDefinition.dat",
                                            "DirectoryDefinition.dat", "RegistryDefinition.dat",
                                            "BlockedCookies.dat"};

// A machine in a temporary folder that the program starts on without questions, with
// `lines_per_file` lines in each of the five definition files.
class StartMachine {
 public:
  StartMachine(const machine::VersionInfo& version, int lines_per_file) {
    std::string pattern = (fs::temp_directory_path() / "hg-start-up-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      std::abort();
    root_ = pattern;
    machine::Profile profile = machine::DefaultProfile(root_);
    profile.file = root_ / "profile.ini";
    if (!machine::SaveProfile(profile, profile.file) || !machine::CreateFolderTree(profile) ||
        !hg_test::MarkStartedBefore(profile, version))
      std::abort();
    std::string content;
    for (int i = 0; i < lines_per_file; ++i)
      content += services::EncodeText("threat" + std::to_string(i) + ".exe=Threat " +
                                      std::to_string(i) + "|[windir]") +
                 "\r\n";
    machine::FileSystem files(profile);
    for (const char* name : kDefinitionFiles) {
      if (!files.WriteFile(profile.program_folder + "\\" + name, content))
        std::abort();
    }
    environment_ = hg_test::ProgramEnvironment(profile.file, root_ / "data");
  }
  ~StartMachine() {
    std::error_code error;
    fs::remove_all(root_, error);
  }
  StartMachine(const StartMachine&) = delete;
  StartMachine& operator=(const StartMachine&) = delete;

  // Starts the program, waits until its main window is shown and ends it; the time to shown.
  std::optional<double> TimeToShownMs() const {
    const auto start = std::chrono::steady_clock::now();
    hg_test::StartedProgram program(HG_PROGRAM, environment_);
    if (!program.WaitForLine("shown", std::chrono::seconds(60)))
      return std::nullopt;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  }

 private:
  fs::path root_;
  std::map<std::string, std::string> environment_;
};

void BM_StartUp(benchmark::State& state) {
  const std::optional<machine::VersionInfo> version = machine::ReadVersionInfo(HG_PROGRAM);
  if (!version) {
    state.SkipWithError("the program has no version information");
    return;
  }
  const StartMachine large(*version, 20000);
  const StartMachine tiny(*version, 1);
  double shown_ms = 0;
  double baseline_ms = 0;
  for (auto _ : state) {
    const std::optional<double> baseline = tiny.TimeToShownMs();
    const std::optional<double> shown = large.TimeToShownMs();
    if (!baseline || !shown) {
      state.SkipWithError("the program did not show its main window");
      return;
    }
    baseline_ms += *baseline;
    shown_ms += *shown;
    state.SetIterationTime(*shown / 1000);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["shown_ms"] = shown_ms / runs;
  state.counters["baseline_ms"] = baseline_ms / runs;
  state.counters["ratio"] = shown_ms / baseline_ms;
  state.counters["extra_ms"] = (shown_ms - baseline_ms) / runs;
}
BENCHMARK(BM_StartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
