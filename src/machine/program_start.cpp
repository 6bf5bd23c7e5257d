#include "machine/program_start.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

extern char** environ;

namespace machine {

namespace {

// The go-between's exit code when the program could not be started or failed at once.
constexpr int kNotStarted = 127;
// How often the go-between looks whether the program has ended.
constexpr long kVerdictPollNs = 10'000'000;

// In the go-between, where only async-signal-safe calls may be made: its own exit code,
// kNotStarted when the program failed within `within`, 0 when it succeeded or still runs.
int VerdictOf(pid_t program, std::chrono::milliseconds within) {
  const timespec pause{0, kVerdictPollNs};
  for (long waited_ns = 0;; waited_ns += kVerdictPollNs) {
    int status = 0;
    const pid_t done = waitpid(program, &status, WNOHANG);
    if (done == program)
      return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : kNotStarted;
    if ((done < 0 && errno != EINTR) || waited_ns >= within.count() * 1'000'000)
      return 0;
    nanosleep(&pause, nullptr);
  }
}

class SpawnSettings {
 public:
  SpawnSettings() {
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_init(&attributes_);
    ok_ =
        posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0 &&
        posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1) == 0 &&
        posix_spawnattr_setflags(
            &attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
    // The program starts with no signal blocked and every signal at its default.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    ok_ = ok_ && posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
          posix_spawnattr_setsigdefault(&attributes_, &all) == 0;
  }
  ~SpawnSettings() {
    posix_spawnattr_destroy(&attributes_);
    posix_spawn_file_actions_destroy(&actions_);
  }
  SpawnSettings(const SpawnSettings&) = delete;
  SpawnSettings& operator=(const SpawnSettings&) = delete;

  bool ok() const { return ok_; }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
  bool ok_ = false;
};

}  // namespace

bool StartDetached(const std::vector<std::string>& argv, std::chrono::milliseconds verdict_within) {
  if (argv.empty() || argv.front().empty())
    return false;
  // Everything the go-between needs is made before the fork: it only starts the program.
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const SpawnSettings settings;
  if (!settings.ok())
    return false;

  const pid_t go_between = fork();
  if (go_between < 0)
    return false;
  if (go_between == 0) {
    pid_t program = 0;
    const int error = posix_spawnp(&program, args[0], settings.actions(), settings.attributes(),
                                   args.data(), environ);
    _exit(error == 0 ? VerdictOf(program, verdict_within) : kNotStarted);
  }
  int status = 0;
  while (waitpid(go_between, &status, 0) < 0) {
    if (errno != EINTR)
      return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace machine
