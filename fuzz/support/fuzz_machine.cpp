#include "support/fuzz_machine.h"

#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>

#include "machine/machine.h"

namespace hg_fuzz {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(std::string_view what) {
  std::fprintf(stderr, "fuzz setup: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "hg-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
      Fail("cannot make a temporary folder");
    path_ = fs::canonical(pattern);
  }
  ~TempFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

machine::VersionInfo FuzzVersionInfo() {
  machine::VersionInfo version;
  version.product_name = "Hearthguard";
  version.company_name = "Hearthguard Software";
  version.comments = "www.hearthguard.example";
  version.major = 1;
  version.executable_name = "hearthguard";
  return version;
}

std::unique_ptr<machine::Machine> OpenMachine() {
  machine::Profile profile = machine::DefaultProfile(ProcessTempFolder() / "machine");
  if (!machine::CreateFolderTree(profile))
    Fail("cannot lay out the machine's folders");
  std::string error;
  auto opened = machine::Machine::Open(std::move(profile), FuzzVersionInfo(), error);
  if (!opened)
    Fail(error);
  return opened;
}

}  // namespace

void CheckFailed(const char* condition, std::string_view what) {
  std::fprintf(stderr, "fuzz check failed: %s (%.*s)\n", condition, static_cast<int>(what.size()),
               what.data());
  std::abort();
}

const fs::path& ProcessTempFolder() {
  static const TempFolder folder;
  return folder.path();
}

machine::Machine& SharedMachine() {
  static const std::unique_ptr<machine::Machine> shared = OpenMachine();
  return *shared;
}

bool PlantFile(std::string_view windows_path, std::string_view content) {
  const std::optional<fs::path> host = SharedMachine().files().ResolveForCreate(windows_path);
  if (!host)
    return false;
  std::ofstream out(*host, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return out.good();
}

void RemovePlantedFile(std::string_view windows_path) {
  if (const std::optional<fs::path> host = SharedMachine().files().ResolveForCreate(windows_path)) {
    std::error_code error;
    fs::remove(*host, error);
  }
}

}  // namespace hg_fuzz
