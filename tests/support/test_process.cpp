#include "support/test_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>

extern char** environ;

namespace hg_test {

namespace fs = std::filesystem;

namespace {

// Generous: a start only takes long on a badly loaded machine, and nothing measures it.
constexpr auto kStartWait = std::chrono::seconds(20);

bool ShowsExecutable(pid_t pid, const fs::path& exe) {
  std::error_code error;
  const fs::path link = fs::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
  return !error && link == exe;
}

}  // namespace

TestProcess::TestProcess(const fs::path& host_path, int seconds, std::string_view trailer) {
  std::error_code error;
  fs::create_directories(host_path.parent_path(), error);
  fs::copy_file(HG_TEST_SLEEPER, host_path, fs::copy_options::overwrite_existing, error);
  if (error) {
    ADD_FAILURE() << "cannot copy the sleeper to " << host_path << ": " << error.message();
    return;
  }
  if (!trailer.empty())
    std::ofstream(host_path, std::ios::binary | std::ios::app) << trailer;
  fs::permissions(host_path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                  fs::perm_options::replace, error);

  const std::string program = host_path.string();
  const std::string lifetime = std::to_string(seconds);
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(lifetime.c_str()), nullptr};
  pid_t pid = 0;
  const int spawn_error = posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ);
  if (spawn_error != 0) {
    ADD_FAILURE() << "cannot start " << program << ": " << std::strerror(spawn_error);
    return;
  }
  pid_ = pid;

  // Until the child has run exec, /proc shows the test binary as its executable.
  const fs::path exe = fs::canonical(host_path, error);
  const auto give_up = std::chrono::steady_clock::now() + kStartWait;
  while (!ShowsExecutable(pid_, exe)) {
    if (std::chrono::steady_clock::now() > give_up || !IsAlive(pid_)) {
      ADD_FAILURE() << program << " did not start";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

TestProcess::~TestProcess() {
  if (pid_ <= 0 || reaped_)
    return;
  // Signal only a child not yet reaped: until it is, its id cannot belong to anyone else.
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) != 0)
    return;
  kill(pid_, SIGKILL);
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
}

bool TestProcess::WaitKilled() {
  if (pid_ <= 0 || reaped_)
    return false;
  int status = 0;
  pid_t result = 0;
  do {
    result = waitpid(pid_, &status, 0);
  } while (result < 0 && errno == EINTR);
  reaped_ = true;
  return result == pid_ && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

bool IsAlive(pid_t pid) {
  int status = 0;
  const pid_t result = waitpid(pid, &status, WNOHANG);
  if (result == pid)
    return false;  // an ended child, now reaped
  if (result == 0)
    return true;  // a child that still runs
  return kill(pid, 0) == 0 || errno == EPERM;
}

}  // namespace hg_test
