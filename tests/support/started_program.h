#pragma once
// The built program started as a process of its own, offscreen, on a profile given through its
// environment, with its standard output read back. Header-only and free of the test framework,
// so that the benchmarks start the program the same way.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "machine/machine.h"
#include "services/machine_settings.h"
#include "services/settings_store.h"
#include "services/system.h"

extern char** environ;

namespace hg_test {

// The environment the program reads its machine from: the profile file, a data folder of its
// own (the default machine and the running-copy locks), the offscreen platform, and the line
// "shown" on standard output when the main window appears.
inline std::map<std::string, std::string> ProgramEnvironment(
    const std::filesystem::path& profile_file, const std::filesystem::path& data_home) {
  return {{"HEARTHGUARD_PROFILE", profile_file.string()},
          {"XDG_DATA_HOME", data_home.string()},
          {"QT_QPA_PLATFORM", "offscreen"},
          {"HEARTHGUARD_ANNOUNCE_SHOWN", "1"}};
}

// Marks the machine and its user as started before, so that the program comes up without the
// first-run question and without the help file. False when the machine cannot be opened.
inline bool MarkStartedBefore(const machine::Profile& profile,
                              const machine::VersionInfo& version) {
  std::string error;
  std::unique_ptr<machine::Machine> opened = machine::Machine::Open(profile, version, error);
  if (!opened)
    return false;
  services::System system(*opened);
  services::SaveSettingHKLM(system, version.product_name, "Settings", "FirstTime", "Yes");
  services::WriteSetting(system, version.product_name, "Settings", "showHelp", "0");
  return true;
}

class StartedProgram {
 public:
  // Starts `program` with `environment` over this process's own; its standard error is dropped.
  StartedProgram(const std::filesystem::path& program,
                 const std::map<std::string, std::string>& environment) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
      const std::string_view text(*entry);
      if (!environment.count(std::string(text.substr(0, text.find('=')))))
        entries.emplace_back(text);
    }
    for (const auto& [name, value] : environment)
      entries.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& entry : entries)
      envp.push_back(entry.data());
    envp.push_back(nullptr);

    int pipe_fds[2];
    if (pipe2(pipe_fds, O_CLOEXEC) != 0)
      return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string path = program.string();
    char* argv[] = {path.data(), nullptr};
    if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, envp.data()) != 0)
      pid_ = 0;
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_fds[1]);
    out_fd_ = pipe_fds[0];
  }
  ~StartedProgram() {
    Kill();
    if (out_fd_ >= 0)
      close(out_fd_);
  }
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  bool started() const { return pid_ > 0; }
  const std::string& output() const { return output_; }

  // Waits until the program writes `line` (a whole line); false when it ends or stops writing
  // first, or the time is up.
  bool WaitForLine(std::string_view line, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!HasLine(line)) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd poll_fd{out_fd_, POLLIN, 0};
      if (left.count() <= 0 || poll(&poll_fd, 1, static_cast<int>(left.count())) <= 0)
        return false;
      char buffer[256];
      const ssize_t got = read(out_fd_, buffer, sizeof buffer);
      if (got <= 0)
        return false;
      output_.append(buffer, static_cast<size_t>(got));
    }
    return true;
  }

  // Waits until the program ends by itself: its exit status, nothing when the time is up or it
  // did not exit normally.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (pid_ > 0) {
      int status = 0;
      const pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        pid_ = 0;
        return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
      }
      if (done < 0 || std::chrono::steady_clock::now() >= deadline)
        return std::nullopt;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::nullopt;
  }

  // Ends the program as a crash would (SIGKILL) and reaps it.
  void Kill() {
    if (pid_ <= 0)
      return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = 0;
  }

 private:
  bool HasLine(std::string_view line) const {
    const std::string whole = "\n" + output_;
    return whole.find("\n" + std::string(line) + "\n") != std::string::npos;
  }

  pid_t pid_ = 0;
  int out_fd_ = -1;
  std::string output_;
};

}  // namespace hg_test
