#include "services/folder_tokens.h"

#include <gtest/gtest.h>

#include "machine/machine.h"
#include "support/temp_machine.h"

namespace services {
namespace {

class FolderTokensTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine::Profile profile = temp_.profile();
    profile.special_folders.erase(46);  // this machine has no common documents folder
    std::string error;
    machine_ = machine::Machine::Open(profile, machine::VersionInfo{}, error);
    ASSERT_TRUE(machine_) << error;
    system_ = std::make_unique<System>(*machine_);
  }

  std::string Expand(std::string text) { return ExpandFolderTokens(*system_, text); }

  hg_test::TempMachine temp_;
  std::unique_ptr<machine::Machine> machine_;
  std::unique_ptr<System> system_;
};

TEST_F(FolderTokensTest, ExpandsTokensIgnoringCaseInTableOrder) {
  EXPECT_EQ(Expand("[windir]\\a.dll"), "C:\\WINDOWS\\\\a.dll");
  EXPECT_EQ(Expand("[WINDIR]x"), Expand("[windir]x"));
  EXPECT_EQ(Expand("[system]evil.exe|[progfil]Evil"),
            "C:\\WINDOWS\\system32\\evil.exe|C:\\Program Files\\Evil");
  // "[comprogfil]" has its own row; "[comprog]" needs its closing bracket.
  EXPECT_EQ(Expand("[comprogfil]x"), "C:\\Program Files\\Common Files\\x");
  // The all-users desktop is "[desktop]", the user's own is "[comdesk]".
  EXPECT_EQ(Expand("[desktop]"), "C:\\Documents and Settings\\All Users\\Desktop\\");
  EXPECT_EQ(Expand("[comdesk]"), "C:\\Documents and Settings\\Owner\\Desktop\\");
}

TEST_F(FolderTokensTest, LeavesUnknownTokensAndUpperCaseProfileTokens) {
  EXPECT_EQ(Expand("C:\\plain\\path.txt"), "C:\\plain\\path.txt");
  EXPECT_EQ(Expand("[drive]Evil\\x.exe"), "[drive]Evil\\x.exe");
  EXPECT_EQ(Expand("[user]Local Settings"), "C:\\Documents and Settings\\Owner\\Local Settings");
  EXPECT_EQ(Expand("[alluser]x"), "C:\\Documents and Settings\\All Users\\x");
  EXPECT_EQ(Expand("[USER]x"), "[USER]x");
}

TEST_F(FolderTokensTest, ReportsATokenWhoseFolderIsMissing) {
  std::string text = "[recycle]evil.exe";
  EXPECT_EQ(ExpandFolderTokens(*system_, text), "evil.exe");
  EXPECT_EQ(text, "evil.exe");

  std::string expanded, missing;
  EXPECT_FALSE(TryExpandFolderTokens(*system_, "[comdocs]x", expanded, &missing));
  EXPECT_EQ(missing, "[comdocs]");
  EXPECT_TRUE(TryExpandFolderTokens(*system_, "[appdata]x", expanded, &missing));
  EXPECT_EQ(expanded, "C:\\Documents and Settings\\Owner\\Application Data\\x");
  EXPECT_EQ(missing, "");
}

TEST_F(FolderTokensTest, SpecialFolderLookups) {
  EXPECT_EQ(GetSpecialFolderPath(*system_, 10), "");
  EXPECT_EQ(GetSpecialFolderByPidl(*system_, 38), "C:\\Program Files\\");
  EXPECT_EQ(GetSystemDriveRoot(*system_), "C:\\");
}

}  // namespace
}  // namespace services
