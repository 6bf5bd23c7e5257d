#include "machine/version_info.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "support/temp_machine.h"

namespace machine {
namespace {

namespace fs = std::filesystem;

TEST(VersionInfoTest, ReadsTheBlockTheBuildEmbeds) {
  const std::optional<VersionInfo> info = ReadVersionInfo(HG_TEST_VERSIONED);
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->product_name, "Test Product");
  EXPECT_EQ(info->company_name,
            "B\xFC"
            "cher Software");  // UTF-8 in the block, 8-bit here
  EXPECT_EQ(info->comments, "www.test.example");
  EXPECT_EQ(info->major, 3);
  EXPECT_EQ(info->minor, 7);
  EXPECT_EQ(info->executable_name, fs::path(HG_TEST_VERSIONED).filename().string());
}

TEST(VersionInfoTest, NothingWithoutABlock) {
  hg_test::TempMachine machine;
  const fs::path text = machine.root() / "not-elf";
  std::ofstream(text) << "ProductName=Fake\n";
  const fs::path truncated = machine.root() / "truncated";
  fs::copy_file(HG_TEST_VERSIONED, truncated);
  fs::resize_file(truncated, 100);

  EXPECT_FALSE(ReadVersionInfo(HG_TEST_SLEEPER).has_value());  // an ELF file without one
  EXPECT_FALSE(ReadVersionInfo(text).has_value());
  EXPECT_FALSE(ReadVersionInfo(truncated).has_value());
  EXPECT_FALSE(ReadVersionInfo(machine.root() / "missing").has_value());
  EXPECT_FALSE(ReadVersionInfo(machine.root()).has_value());
}

TEST(VersionInfoTest, BlockCanBeReplacedAfterTheBuild) {
  hg_test::TempMachine machine;
  const fs::path copy = machine.root() / "rebranded";
  fs::copy_file(HG_TEST_VERSIONED, copy);
  const fs::path block = machine.root() / "block.txt";
  std::ofstream(block) << "ProductName=Other Shield\r\nCompanyName=Other Co\r\n"
                          "Comments=www.other.example\r\nFileVersion=2.5.0.1\r\n";
  const std::string command = std::string(HG_OBJCOPY) +
                              " --update-section .hg_version=" + block.string() + " " +
                              copy.string();
  ASSERT_EQ(std::system(command.c_str()), 0);

  const std::optional<VersionInfo> info = ReadVersionInfo(copy);
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->product_name, "Other Shield");
  EXPECT_EQ(info->company_name, "Other Co");
  EXPECT_EQ(info->comments, "www.other.example");
  EXPECT_EQ(info->major, 2);
  EXPECT_EQ(info->minor, 5);
  EXPECT_EQ(info->executable_name, "rebranded");
}

}  // namespace
}  // namespace machine
