// The shell's "open": a real opener program started with the host path of the machine's
// Windows path as its one argument, whatever the path holds, and nothing started for a path
// that names nothing or an opener that is missing.

#include "services/shell_open.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "machine/machine.h"
#include "support/temp_machine.h"

namespace services {
namespace {

namespace fs = std::filesystem;

class ShellOpenTest : public ::testing::Test {
 protected:
  // A machine whose desktop opener is `command`.
  void Open(const std::string& command) {
    machine::MachineParts parts;
    parts.opener = std::make_unique<machine::HostOpener>(command);
    std::string error;
    machine_ = std::make_unique<machine::Machine>(temp_.profile(), machine::VersionInfo{},
                                                  std::move(parts), error);
    ASSERT_TRUE(machine_->ok()) << error;
    system_ = std::make_unique<System>(*machine_);
  }

  // An opener that writes its argument count and arguments, one a line, to `record_`.
  std::string RecordingOpener() {
    const fs::path script = temp_.root() / "opener folder" / "record opener";
    fs::create_directories(script.parent_path());
    std::ofstream(script) << "#!/bin/sh\n{ echo \"$#\"; printf '%s\\n' \"$@\"; } > '"
                          << record_.string() << ".part' && mv '" << record_.string() << ".part' '"
                          << record_.string() << "'\n";
    fs::permissions(script, fs::perms::owner_all);
    return script.string();
  }

  // What the opener wrote, once it has run (it runs on its own, so it is waited for).
  std::string Recorded() {
    for (int i = 0; i < 2000 && !fs::exists(record_); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::stringstream text;
    text << std::ifstream(record_).rdbuf();
    return text.str();
  }

  hg_test::TempMachine temp_;
  fs::path record_ = temp_.root() / "opened.txt";
  std::unique_ptr<machine::Machine> machine_;
  std::unique_ptr<System> system_;
};

// The drive's host folder holds double quotes, which no Windows name may.
TEST_F(ShellOpenTest, TheOpenerGetsTheHostPathAsItsOneArgument) {
  machine::Drive& drive = temp_.profile().drives.front();
  const fs::path quoted_root = temp_.root() / "drive \"c\" here";
  fs::rename(drive.host_root, quoted_root);
  drive.host_root = quoted_root;
  const std::string name = "it's a $(touch taken) `touch taken`; & name.txt";
  temp_.WriteFile("C:\\Program Files\\Hearthguard\\" + name, "text");
  Open(RecordingOpener());
  ASSERT_TRUE(ShellOpen(*system_, "c:\\PROGRAM FILES\\hearthguard\\" + name));
  const fs::path host = temp_.host("C:\\Program Files\\Hearthguard\\" + name);
  EXPECT_EQ(Recorded(), "1\n" + host.string() + "\n");
  EXPECT_FALSE(fs::exists("taken"));
}

TEST_F(ShellOpenTest, NothingIsStartedForAMissingPathOrOpener) {
  temp_.WriteFile("C:\\notes.txt", "text");
  Open(RecordingOpener());
  EXPECT_FALSE(ShellOpen(*system_, "C:\\missing.txt"));
  for (const std::string opener : {"hg-no-such-opener", "/no/such/opener"}) {
    Open(opener);
    EXPECT_FALSE(ShellOpen(*system_, "C:\\notes.txt")) << opener;
  }
  EXPECT_FALSE(fs::exists(record_));
}

}  // namespace
}  // namespace services
