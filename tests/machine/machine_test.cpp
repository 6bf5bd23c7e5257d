#include "machine/machine.h"

#include <gtest/gtest.h>

#include <fstream>

#include "machine/registry.h"
#include "machine/restore_points.h"
#include "support/temp_machine.h"

namespace machine {
namespace {

TEST(MachineTest, OpensWithTheRealParts) {
  hg_test::TempMachine temp;
  std::string error;
  VersionInfo version;
  version.product_name = "Test Product";
  const std::unique_ptr<Machine> m = Machine::Open(temp.profile(), version, error);
  ASSERT_NE(m, nullptr) << error;
  EXPECT_TRUE(m->ok());
  EXPECT_EQ(m->version().product_name, "Test Product");
  EXPECT_TRUE(m->files().FolderExists("C:\\WINDOWS\\system32"));
  EXPECT_TRUE(std::filesystem::exists(temp.profile().machine_hive));
  EXPECT_TRUE(std::filesystem::exists(temp.profile().user_hive));

  // This host has no System Restore.
  int64_t sequence = 0;
  EXPECT_FALSE(m->restore_points().Available());
  EXPECT_FALSE(m->restore_points().Begin("Removal", 0, sequence));
  EXPECT_EQ(sequence, 0);
}

TEST(MachineTest, RefusesAHiveThatIsNotOne) {
  hg_test::TempMachine temp;
  std::ofstream(temp.profile().user_hive) << "not a database, and not to be overwritten";
  std::string error;
  EXPECT_EQ(Machine::Open(temp.profile(), VersionInfo{}, error), nullptr);
  EXPECT_FALSE(error.empty());
}

TEST(RestorePointsTest, RecordsAndCanRefuse) {
  RecordingRestorePoints points;
  int64_t first = 0, second = 0, refused = -1;
  EXPECT_TRUE(points.Begin("one", 12, first));
  EXPECT_TRUE(points.Begin("two", 0, second));
  EXPECT_GT(second, first);
  points.RefuseBegin(true);
  EXPECT_FALSE(points.Begin("three", 0, refused));
  EXPECT_EQ(refused, -1);
  points.RefuseEnd(true);
  EXPECT_FALSE(points.End(second));
  ASSERT_EQ(points.calls().size(), 4u);
  EXPECT_EQ(points.calls()[0], (RestorePointCall{kBeginSystemChange, 12, 0, "one"}));
  EXPECT_EQ(points.calls()[2], (RestorePointCall{kBeginSystemChange, 0, 0, "three"}));
  EXPECT_EQ(points.calls()[3], (RestorePointCall{kEndSystemChange, 0, second, ""}));
}

}  // namespace
}  // namespace machine
