// The shell's "open": a real opener program gets the host path of the machine's Windows path as
// its one argument, whatever the path holds; nothing starts for a path that names nothing or an
// opener that is missing.

#include "services/shell_open.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "machine/machine.h"
#include "support/temp_machine.h"

namespace services {
namespace {

namespace fs = std::filesystem;

class ShellOpenTest : public ::testing::Test {
 protected:
  ShellOpenTest() {
    // The drive's host folder holds double quotes, which no Windows name may.
    machine::Drive& drive = temp_.profile().drives.front();
    fs::rename(drive.host_root, temp_.root() / "drive \"c\"");
    drive.host_root = temp_.root() / "drive \"c\"";
    // An opener that writes its argument count and its arguments, one a line.
    fs::create_directories(script_.parent_path());
    std::ofstream(script_) << "#!/bin/sh\n{ echo $#; printf '%s\\n' \"$@\"; } > \"$0.part\" && "
                              "mv \"$0.part\" \"$0.out\"\n";
    fs::permissions(script_, fs::perms::owner_all);
  }

  bool Open(const std::string& opener, std::string_view windows_path) {
    machine::MachineParts parts;
    parts.opener = std::make_unique<machine::HostOpener>(opener);
    std::string error;
    machine::Machine machine(temp_.profile(), {}, std::move(parts), error);
    EXPECT_TRUE(machine.ok()) << error;
    return ShellOpen(System(machine), windows_path);
  }

  hg_test::TempMachine temp_;
  fs::path script_ = temp_.root() / "opener folder" / "record opener";
  fs::path record_ = script_.string() + ".out";
};

TEST_F(ShellOpenTest, TheOpenerGetsTheHostPathAsItsOneArgument) {
  const std::string name = "it's $(touch taken) `touch taken`; & a name.txt";
  temp_.WriteFile("C:\\Program Files\\" + name, "text");
  ASSERT_TRUE(Open(script_.string(), "c:\\PROGRAM FILES\\" + name));
  // It runs on its own: wait for what it writes.
  for (int i = 0; i < 2000 && !fs::exists(record_); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::stringstream recorded;
  recorded << std::ifstream(record_).rdbuf();
  EXPECT_EQ(recorded.str(), "1\n" + temp_.host("C:\\Program Files\\" + name).string() + "\n");
  EXPECT_FALSE(fs::exists("taken"));
}

TEST_F(ShellOpenTest, NothingIsStartedForAMissingPathOrOpener) {
  temp_.WriteFile("C:\\notes.txt", "text");
  EXPECT_FALSE(Open(script_.string(), "C:\\missing.txt"));
  EXPECT_FALSE(Open("hg-no-such-opener", "C:\\notes.txt"));
  EXPECT_FALSE(Open("/no/such/opener", "C:\\notes.txt"));
  EXPECT_FALSE(fs::exists(record_));
}

}  // namespace
}  // namespace services
