// One running copy per profile: the lock on the profile's file in the user's data folder.

#include "machine/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <utility>

#include "support/scoped_env.h"
#include "support/temp_machine.h"

namespace {

namespace fs = std::filesystem;
using machine::InstanceClaim;
using machine::InstanceLock;

TEST(InstanceLock, OneHolderAtATimeALeftFileIsTakenOverAndALinkNeverFollowed) {
  hg_test::TempMachine temp;
  const fs::path file = temp.root() / "running" / "profile.lock";
  fs::create_directories(file.parent_path());
  std::ofstream(file).put('x');  // left by a copy that crashed: it holds no lock

  InstanceLock first;
  InstanceLock second;
  EXPECT_EQ(first.Claim(file), InstanceClaim::kClaimed);
  EXPECT_EQ(second.Claim(file), InstanceClaim::kHeldElsewhere);
  first.Release();
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(second.Claim(file), InstanceClaim::kClaimed);

  const fs::path link = temp.root() / "link.lock";
  fs::create_symlink(temp.root() / "elsewhere", link);
  EXPECT_EQ(InstanceLock().Claim(link), InstanceClaim::kUnavailable);
  EXPECT_FALSE(fs::exists(temp.root() / "elsewhere"));
}

// Two copies started together, each in a process of its own: what each one's claim answered.
std::pair<InstanceClaim, InstanceClaim> ClaimFromTwoProcesses(const fs::path& file) {
  int go[2];
  int answers[2];
  int done[2];
  if (pipe(go) != 0 || pipe(answers) != 0 || pipe(done) != 0)
    return {InstanceClaim::kUnavailable, InstanceClaim::kUnavailable};
  pid_t children[2];
  for (pid_t& child : children) {
    child = fork();
    if (child == 0) {
      char byte = 0;
      close(go[1]);
      close(done[1]);
      if (read(go[0], &byte, 1) != 0)
        _exit(2);
      InstanceLock lock;
      byte = static_cast<char>(lock.Claim(file));
      // Held until both have answered: each copy is still running when the other starts.
      if (write(answers[1], &byte, 1) != 1 || read(done[0], &byte, 1) != 0)
        _exit(2);
      lock.Release();
      _exit(0);
    }
  }
  close(go[0]);
  close(go[1]);  // both start at once
  char claims[2] = {};
  for (char& claim : claims) {
    if (read(answers[0], &claim, 1) != 1)
      claim = static_cast<char>(InstanceClaim::kUnavailable);
  }
  close(done[1]);
  for (const pid_t child : children)
    waitpid(child, nullptr, 0);
  for (const int fd : {answers[0], answers[1], done[0]})
    close(fd);
  return {static_cast<InstanceClaim>(claims[0]), static_cast<InstanceClaim>(claims[1])};
}

TEST(InstanceLock, ExactlyOneOfTwoCopiesStartedTogetherRunsWhateverStandsAtTheLocksName) {
  hg_test::TempMachine temp;
  const hg_test::ScopedEnv data("XDG_DATA_HOME", (temp.root() / "data").string());
  const fs::path file = machine::InstanceLockFile(temp.profile());
  const fs::path elsewhere = temp.root() / "elsewhere";
  fs::create_directories(elsewhere);
  fs::create_directories(file.parent_path());
  const std::pair<const char*, std::function<void()>> kEntries[] = {
      {"nothing", [] {}},
      {"link to a missing file", [&] { fs::create_symlink(elsewhere / "target", file); }},
      {"link to a folder", [&] { fs::create_symlink(elsewhere, file); }},
      {"pipe", [&] { ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); }},
      {"folder with content", [&] { fs::create_directories(file / "inner"); }},
  };
  const std::set<InstanceClaim> one_runs = {InstanceClaim::kClaimed, InstanceClaim::kHeldElsewhere};
  for (const auto& [entry, make] : kEntries) {
    // The copies race for a moment only: enough pairs to meet that moment.
    for (int pair = 0; pair < 300; ++pair) {
      fs::remove_all(file);
      make();
      const auto [first, second] = ClaimFromTwoProcesses(file);
      ASSERT_EQ((std::set<InstanceClaim>{first, second}), one_runs) << entry << ", pair " << pair;
    }
  }
  EXPECT_TRUE(fs::is_empty(elsewhere));
}

}  // namespace
