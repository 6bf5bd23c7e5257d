#pragma once
// A fresh Windows XP machine in a temporary folder for a test: the default profile (written to
// profile.ini there) with its folder tree. Everything is removed when the object goes.

#include <filesystem>
#include <string>
#include <string_view>

#include "machine/profile.h"

namespace hg_test {

class TempMachine {
 public:
  TempMachine();
  ~TempMachine();
  TempMachine(const TempMachine&) = delete;
  TempMachine& operator=(const TempMachine&) = delete;

  // The temporary folder (canonical): profile.ini, drive_c, the hive files.
  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path profile_file() const { return root_ / "profile.ini"; }
  machine::Profile& profile() { return profile_; }
  const machine::Profile& profile() const { return profile_; }

  // The host path behind a Windows path on a mapped drive, spelt exactly as given (no case
  // folding): where a test puts what the program is to find. Records a failure for a path
  // that is not on a mapped drive.
  std::filesystem::path host(std::string_view windows_path) const;
  // Writes a file (creating its folders) at the exact spelling given.
  void WriteFile(std::string_view windows_path, std::string_view content) const;
  void MakeFolder(std::string_view windows_path) const;

 private:
  std::filesystem::path root_;
  machine::Profile profile_;
};

}  // namespace hg_test
