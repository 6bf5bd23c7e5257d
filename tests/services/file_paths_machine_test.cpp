#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "machine/machine.h"
#include "services/file_paths.h"
#include "support/temp_machine.h"

namespace services {
namespace {

class FilePathsMachineTest : public ::testing::Test {
 protected:
  // The machine is opened after the files are laid out, as a program starting on it would.
  System& Open() {
    system_.reset();
    machine_ = machine::Machine::Open(temp_.profile(), machine::VersionInfo{}, machine_error_);
    if (!machine_)
      throw std::runtime_error("cannot open the test machine: " + machine_error_);
    system_ = std::make_unique<System>(*machine_);
    return *system_;
  }

  // Marks a host file with the DOS attribute bits as Samba stores them; false when the host
  // file system keeps no extended attributes.
  bool SetDosBits(std::string_view windows_path, const char* bits) {
    const std::string host = temp_.host(windows_path).string();
    return setxattr(host.c_str(), "user.DOSATTRIB", bits, std::strlen(bits), 0) == 0;
  }

  hg_test::TempMachine temp_;
  std::string machine_error_;
  std::unique_ptr<machine::Machine> machine_;
  std::unique_ptr<System> system_;
};

TEST_F(FilePathsMachineTest, FileExistsMatchesNormalFilesOnly) {
  temp_.WriteFile("C:\\Data\\Report.TXT", "x");
  temp_.WriteFile("C:\\Data\\.profile", "x");
  temp_.WriteFile("C:\\Data\\Caf\xE9.txt", "x");
  temp_.MakeFolder("C:\\Data\\Sub.dir");
  temp_.WriteFile("C:\\Data\\marked-hidden.txt", "x");
  temp_.WriteFile("C:\\Data\\marked-system.txt", "x");
  const bool have_attributes = SetDosBits("C:\\Data\\marked-hidden.txt", "0x2") &&
                               SetDosBits("C:\\Data\\marked-system.txt", "0x4");
  System& system = Open();

  const struct {
    std::string path;
    bool expected;
  } cases[] = {
      {"C:\\Data\\Report.TXT", true},
      {"c:\\DATA\\report.txt", true},  // names compare ignoring case
      {"C:\\Data\\CAF\xC9.TXT", true},
      {"C:\\Data\\.profile", false},  // hidden by its name
      {"C:\\Data\\Sub.dir", false},   // a folder
      {"C:\\Data\\Sub.dir\\", false},
      {"C:\\Data\\Report.TXT\\", false},  // a path ending in a backslash
      {"C:\\Data\\", false},
      {"C:\\Data\\missing.txt", false},
      {"C:\\Data\\*.TXT", false},
      {"C:\\Data\\Report.TX?", false},
      {"C:\\Nowhere\\Report.TXT", false},
      {"Q:\\Data\\Report.TXT", false},  // a drive that is not there
      {"Data\\Report.TXT", false},
      {"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileExists(system, c.path), c.expected);
  }
  if (have_attributes) {
    EXPECT_FALSE(FileExists(system, "C:\\Data\\marked-hidden.txt"));
    EXPECT_FALSE(FileExists(system, "C:\\Data\\marked-system.txt"));
  }
}

TEST_F(FilePathsMachineTest, FolderExistsMatchesFoldersHiddenOrNot) {
  temp_.MakeFolder("C:\\Quarantine");
  temp_.MakeFolder("C:\\.hidden folder");
  temp_.WriteFile("C:\\file.txt", "x");
  System& system = Open();
  EXPECT_TRUE(FolderExists(system, "C:\\Quarantine"));
  EXPECT_TRUE(FolderExists(system, "c:\\quarantine\\"));
  EXPECT_TRUE(FolderExists(system, "C:\\.hidden folder"));
  EXPECT_TRUE(FolderExists(system, "C:\\"));
  EXPECT_FALSE(FolderExists(system, "C:\\file.txt"));
  EXPECT_FALSE(FolderExists(system, "C:\\missing"));
  EXPECT_FALSE(FolderExists(system, ""));
}

TEST_F(FilePathsMachineTest, SystemDirectoryHasNoTrailingBackslash) {
  temp_.profile().system_folder = "C:\\WINNT\\System32\\";
  EXPECT_EQ(GetSystemDirectoryPath(Open()), "C:\\WINNT\\System32");
  temp_.profile().system_folder = "C:\\WINDOWS\\system32";
  EXPECT_EQ(GetSystemDirectoryPath(Open()), "C:\\WINDOWS\\system32");
}

}  // namespace
}  // namespace services
