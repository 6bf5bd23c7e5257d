#include "removal/kill_process.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "machine/held_folder.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "model/app.h"
#include "removal/safe_path.h"
#include "services/file_paths.h"
#include "services/processes.h"

namespace removal {

namespace {

constexpr int kAttempts = 11;
// How long one attempt waits for an ended program to go, and how often it looks meanwhile.
constexpr std::chrono::microseconds kAttemptWait{1000};
constexpr std::chrono::microseconds kWaitPoll{100};
constexpr size_t kLongestName = 15;

struct Running {
  uint32_t id = 0;
  std::string exe;  // full Windows path of the executable
};

std::optional<std::vector<Running>> ListRunning(model::App& app) {
  std::vector<std::string> names;
  std::vector<uint32_t> ids;
  if (services::GetProcessList(app.system, names, ids, "", false) < 0)
    return std::nullopt;
  std::vector<Running> running;
  running.reserve(names.size());
  for (size_t i = 0; i < names.size(); ++i)
    running.push_back({ids[i], std::move(names[i])});
  return running;
}

bool Gone(model::App& app, const Running& process) {
  const std::unique_ptr<machine::OpenedProcess> opened =
      app.machine.processes().OpenProcess(process.id);
  return !opened || opened->ModuleFileName() != process.exe;
}

// True once the process is gone (or its id names another program now) within one attempt's
// wait.
bool WaitGone(model::App& app, const Running& process) {
  const auto deadline = std::chrono::steady_clock::now() + kAttemptWait;
  while (!Gone(app, process)) {
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    std::this_thread::sleep_for(kWaitPoll);
  }
  return true;
}

// True when the program was ended: the kill was delivered (a killed program cannot refuse to
// go) or it went by itself. Each attempt waits a millisecond at most, and the window stays live
// between attempts.
bool End(model::App& app, const Running& process) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (attempt > 0)
      app.system.Yield();
    if (services::TerminateProcessWithPrivilege(app.system, process.id, 0) ||
        WaitGone(app, process))
      return true;
  }
  return false;
}

using Matcher = std::function<bool(const std::string& exe)>;

// Ends every listed program that matches and the guard allows, then lists again: True when no
// match is left.
bool EndMatching(model::App& app, const PathGuard& guard, const Matcher& matches) {
  const std::optional<std::vector<Running>> running = ListRunning(app);
  if (!running)
    return false;
  std::set<uint32_t> ended;
  for (const Running& process : *running) {
    if (!matches(process.exe)) {
      app.system.Yield();
      continue;
    }
    if (guard.Allows(process.exe) && End(app, process))
      ended.insert(process.id);
  }
  // A killed program may still be on its way out; any other match is left running.
  const std::optional<std::vector<Running>> left = ListRunning(app);
  if (!left)
    return false;
  for (const Running& process : *left) {
    if (matches(process.exe) && !ended.contains(process.id))
      return false;
  }
  return true;
}

// Upper-cased names of a path's real location; nothing for a path that is not absolute.
std::optional<std::vector<std::string>> FoldedLocation(const machine::FileSystem& files,
                                                       std::string_view path) {
  std::string windows(path);
  if (const std::optional<std::filesystem::path> host = files.Resolve(path)) {
    if (const std::optional<std::string> real = machine::RealHostPath(host->string())) {
      if (std::optional<std::string> real_windows = files.ToWindowsPath(*real))
        windows = std::move(*real_windows);
    }
  }
  const std::optional<machine::WindowsPath> parsed = machine::ParseWindowsPath(windows);
  if (!parsed)
    return std::nullopt;
  std::vector<std::string> folded = {std::string{parsed->drive}};
  for (const std::string& name : parsed->components)
    folded.push_back(machine::ToUpper(name));
  return folded;
}

}  // namespace

std::string ShortExeName(std::string_view exe_name) {
  const std::string without_exe = machine::ReplaceIgnoreCase(exe_name, ".exe", "");
  return machine::ToUpper(std::string_view(without_exe).substr(0, 6)) + "~1";
}

std::string ReduceProcessName(std::string_view name) {
  if (name.size() > kLongestName)
    return std::string(name.substr(0, kLongestName));
  const size_t dot = name.find('.');
  if (dot != std::string_view::npos)
    return machine::ToUpper(name.substr(0, dot));
  return std::string(name);
}

bool KillProcessByExeName(model::App& app, std::string_view exe_name) {
  const std::string reduced = machine::TrimBlanks(ReduceProcessName(ReduceProcessName(exe_name)));
  if (reduced.empty())
    return true;  // no program has an empty name
  const std::string short_name = ShortExeName(exe_name);
  const PathGuard guard(app.system);
  return EndMatching(app, guard, [&](const std::string& exe) {
    const std::string process = ReduceProcessName(services::GetFileNameFromBuffer(exe));
    return machine::EqualsIgnoreCase(reduced, process) ||
           machine::EqualsIgnoreCase(short_name, process);
  });
}

bool KillProcessByExePath(model::App& app, const PathGuard& guard, std::string_view exe_path) {
  if (!guard.Allows(exe_path))
    return false;
  const machine::FileSystem& files = app.machine.files();
  const std::optional<std::vector<std::string>> target = FoldedLocation(files, exe_path);
  if (!target)
    return false;
  return EndMatching(app, guard,
                     [&](const std::string& exe) { return FoldedLocation(files, exe) == target; });
}

}  // namespace removal
