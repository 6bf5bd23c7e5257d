// The built program started as processes of their own: one running copy per user and profile,
// and none without a desktop session.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "machine/version_info.h"
#include "support/started_program.h"
#include "support/temp_machine.h"

namespace {

using namespace std::chrono_literals;

// Generous: the program comes up in well under a second, but the suite runs in parallel.
constexpr auto kPatience = 30s;

class Copies : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::optional<machine::VersionInfo> version = machine::ReadVersionInfo(HG_PROGRAM);
    ASSERT_TRUE(version);
    ASSERT_TRUE(hg_test::MarkStartedBefore(one.profile(), *version));
    ASSERT_TRUE(hg_test::MarkStartedBefore(two.profile(), *version));
  }
  std::map<std::string, std::string> On(const hg_test::TempMachine& machine) {
    return hg_test::ProgramEnvironment(machine.profile_file(), one.root() / "data");
  }

  hg_test::TempMachine one;
  hg_test::TempMachine two;
};

TEST_F(Copies, ASecondCopyOnTheSameProfileEndsAtOnceWhileOtherProfilesRun) {
  hg_test::StartedProgram first(HG_PROGRAM, On(one));
  ASSERT_TRUE(first.WaitForLine("shown", kPatience)) << first.output();

  hg_test::StartedProgram second(HG_PROGRAM, On(one));
  EXPECT_EQ(second.WaitForExit(kPatience), 0);
  EXPECT_EQ(second.output(), "");

  hg_test::StartedProgram elsewhere(HG_PROGRAM, On(two));
  EXPECT_TRUE(elsewhere.WaitForLine("shown", kPatience));
}

TEST_F(Copies, ACopyThatCrashedDoesNotKeepTheNextFromStarting) {
  hg_test::StartedProgram crashed(HG_PROGRAM, On(one));
  ASSERT_TRUE(crashed.WaitForLine("shown", kPatience));
  crashed.Kill();

  hg_test::StartedProgram next(HG_PROGRAM, On(one));
  EXPECT_TRUE(next.WaitForLine("shown", kPatience)) << next.output();
}

TEST_F(Copies, NoneStartsWithoutADesktopSession) {
  std::map<std::string, std::string> environment = On(one);
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    environment[variable] = "";
  hg_test::StartedProgram program(HG_PROGRAM, environment);
  EXPECT_EQ(program.WaitForExit(kPatience), 1);
}

}  // namespace
