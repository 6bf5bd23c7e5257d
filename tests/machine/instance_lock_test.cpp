// One running copy per profile: the lock on the profile's file in the user's data folder.

#include "machine/instance_lock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

}  // namespace
