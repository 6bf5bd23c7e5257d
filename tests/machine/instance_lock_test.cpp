// One running copy per profile: the lock on the profile's file in the user's data folder.

#include "machine/instance_lock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "machine/profile.h"
#include "support/temp_machine.h"

namespace {

namespace fs = std::filesystem;
using machine::InstanceClaim;
using machine::InstanceLock;

TEST(InstanceLock, OneHolderPerFileUntilReleasedAndALeftFileIsTakenOver) {
  hg_test::TempMachine temp;
  const fs::path file = temp.root() / "running" / "profile.lock";
  // A file that a crashed copy left behind holds no lock.
  fs::create_directories(file.parent_path());
  std::ofstream(file).put('x');

  InstanceLock first;
  InstanceLock second;
  EXPECT_EQ(first.Claim(file), InstanceClaim::kClaimed);
  EXPECT_EQ(first.Claim(file), InstanceClaim::kClaimed);
  EXPECT_EQ(second.Claim(file), InstanceClaim::kHeldElsewhere);
  EXPECT_EQ(second.Claim(temp.root() / "running" / "other.lock"), InstanceClaim::kClaimed);
  first.Release();
  EXPECT_FALSE(fs::exists(file));
  InstanceLock third;
  EXPECT_EQ(third.Claim(file), InstanceClaim::kClaimed);
}

TEST(InstanceLock, ALinkAtTheLockNameIsNeverFollowed) {
  hg_test::TempMachine temp;
  const fs::path target = temp.root() / "elsewhere";
  const fs::path file = temp.root() / "link.lock";
  fs::create_symlink(target, file);
  InstanceLock lock;
  EXPECT_EQ(lock.Claim(file), InstanceClaim::kUnavailable);
  EXPECT_FALSE(fs::exists(target));
}

TEST(InstanceLock, EachProfileHasItsOwnLockFileInTheDataFolder) {
  hg_test::TempMachine one;
  hg_test::TempMachine two;
  const fs::path first = machine::InstanceLockFile(one.profile());
  EXPECT_EQ(first.parent_path(), machine::DataFolder() / "running");
  EXPECT_EQ(first, machine::InstanceLockFile(one.profile()));
  EXPECT_NE(first, machine::InstanceLockFile(two.profile()));
}

}  // namespace
