#pragma once
// The executable's own version information (product, company, comments, version), read from
// the version block that the build embeds in the executable.

#include <filesystem>
#include <optional>
#include <string>

namespace machine {

struct VersionInfo {
  std::string product_name;
  std::string company_name;
  std::string comments;
  int major = 0;
  int minor = 0;
  std::string executable_name;  // file name of the executable without folder, e.g. "hearthguard"
};

// Reads the version block of an ELF executable (section ".hg_version", lines "Key=Value").
// Nothing when the file has no such section or cannot be read.
std::optional<VersionInfo> ReadVersionInfo(const std::filesystem::path& executable);

// The running executable's version block (/proc/self/exe).
std::optional<VersionInfo> ReadOwnVersionInfo();

}  // namespace machine
