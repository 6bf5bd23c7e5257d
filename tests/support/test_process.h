#pragma once
// A real running program for tests: the sleeper helper copied to a path inside a drive tree and
// started from there, so /proc shows it with that executable.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace hg_test {

class TestProcess {
 public:
  // Copies the sleeper to `host_path` (creating its folders), makes it executable and starts it
  // with `seconds` as its lifetime, then waits until /proc shows the new executable. On failure
  // pid() is 0 and a test failure has been recorded. `trailer` is appended to the copy (a
  // version block, say).
  explicit TestProcess(const std::filesystem::path& host_path, int seconds = 30,
                       std::string_view trailer = {});
  // Kills and reaps the program when it still runs.
  ~TestProcess();
  TestProcess(const TestProcess&) = delete;
  TestProcess& operator=(const TestProcess&) = delete;

  pid_t pid() const { return pid_; }
  uint32_t id() const { return static_cast<uint32_t>(pid_); }

  // Waits until the program has ended and reaps it. True when it was ended by SIGKILL (as
  // opposed to running out its time). Only for a program that is being ended: it blocks until
  // then, at most for the program's lifetime. False too when IsAlive() has already reaped it.
  bool WaitKilled();

 private:
  pid_t pid_ = 0;
  bool reaped_ = false;
};

// Whether a process still runs. A child of this process that has ended is reaped first, so it
// counts as gone rather than as a zombie.
bool IsAlive(pid_t pid);

}  // namespace hg_test
