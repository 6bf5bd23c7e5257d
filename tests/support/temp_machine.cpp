#include "support/temp_machine.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "machine/encoding.h"
#include "machine/file_system.h"

namespace hg_test {

namespace fs = std::filesystem;

TempMachine::TempMachine() {
  std::string pattern = (fs::temp_directory_path() / "hg-machine-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot make a temporary folder";
    return;
  }
  root_ = fs::canonical(pattern);
  profile_ = machine::DefaultProfile(root_);
  profile_.file = profile_file();
  EXPECT_TRUE(machine::SaveProfile(profile_, profile_.file));
  EXPECT_TRUE(machine::CreateFolderTree(profile_));
}

TempMachine::~TempMachine() {
  std::error_code error;
  if (!root_.empty())
    fs::remove_all(root_, error);
}

fs::path TempMachine::host(std::string_view windows_path) const {
  const std::optional<machine::WindowsPath> path = machine::ParseWindowsPath(windows_path);
  const machine::Drive* drive = path ? profile_.FindDrive(path->drive) : nullptr;
  if (drive == nullptr) {
    ADD_FAILURE() << "not a path on a mapped drive: " << windows_path;
    return root_ / "not-a-drive-path";
  }
  fs::path out = drive->host_root;
  for (const std::string& name : path->components)
    out /= machine::WindowsTextToHost(name);
  return out;
}

void TempMachine::WriteFile(std::string_view windows_path, std::string_view content) const {
  const fs::path path = host(windows_path);
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  EXPECT_TRUE(out.good()) << "cannot write " << path;
}

void TempMachine::MakeFolder(std::string_view windows_path) const {
  std::error_code error;
  fs::create_directories(host(windows_path), error);
  EXPECT_FALSE(error) << "cannot make " << windows_path;
}

}  // namespace hg_test
