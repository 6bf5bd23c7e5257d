// One running copy per profile: the lock on the profile's file in the user's data folder.

#include "machine/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

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

TEST(InstanceLock, ALinkAPipeOrAFolderAtTheLocksNameInItsOwnFolderIsClearedAndTheLockTaken) {
  hg_test::TempMachine temp;
  const hg_test::ScopedEnv data("XDG_DATA_HOME", (temp.root() / "data").string());
  const fs::path file = machine::InstanceLockFile(temp.profile());
  const fs::path elsewhere = temp.root() / "elsewhere";
  fs::create_directories(elsewhere);
  fs::create_directories(file.parent_path());
  const std::function<void()> kOddEntries[] = {
      [&] { fs::create_symlink(elsewhere / "target", file); },
      [&] { fs::create_symlink(elsewhere, file); },
      [&] { ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); },
      [&] { fs::create_directories(file / "inner"); },
  };
  for (const auto& make : kOddEntries) {
    make();
    InstanceLock first;
    InstanceLock second;
    EXPECT_EQ(first.Claim(file), InstanceClaim::kClaimed);
    EXPECT_EQ(second.Claim(file), InstanceClaim::kHeldElsewhere);
  }
  EXPECT_TRUE(fs::is_empty(elsewhere));
}

}  // namespace
