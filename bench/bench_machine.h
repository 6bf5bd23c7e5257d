#pragma once
// A default Windows XP machine in a fresh temporary folder, as the benchmarks set one up; the
// folder goes with it. Declare it before anything that uses the machine, so that it goes last.

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "machine/machine.h"
#include "machine/profile.h"
#include "machine/version_info.h"

namespace bench {

class BenchMachine {
 public:
  // The folder is named "hg-<name>-bench-XXXXXX" in the temporary folder.
  explicit BenchMachine(std::string_view name) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("hg-" + std::string(name) + "-bench-XXXXXX"))
            .string();
    if (mkdtemp(pattern.data()) == nullptr)
      std::abort();
    root_ = pattern;
    machine::Profile profile = machine::DefaultProfile(root_);
    machine::CreateFolderTree(profile);
    version_.product_name = "Hearthguard";
    std::string error;
    machine_ = machine::Machine::Open(profile, version_, error);
    if (!machine_)
      std::abort();
  }
  ~BenchMachine() {
    machine_.reset();
    std::error_code error;
    std::filesystem::remove_all(root_, error);
  }
  BenchMachine(const BenchMachine&) = delete;
  BenchMachine& operator=(const BenchMachine&) = delete;

  const std::filesystem::path& root() const { return root_; }
  machine::Machine& machine() { return *machine_; }
  const machine::VersionInfo& version() const { return version_; }

 private:
  std::filesystem::path root_;
  machine::VersionInfo version_;
  std::unique_ptr<machine::Machine> machine_;
};

}  // namespace bench
