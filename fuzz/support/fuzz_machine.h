#pragma once
// What the fuzz targets share: a temporary folder of the process and a Windows XP machine in it.
// Both are made on first use and removed when the process ends normally; a crash leaves them
// behind for a look.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace machine {
class Machine;
}

// Aborts the run with `what` (worked out only then) when the condition fails: a fuzz finding,
// not an error to handle.
#define HG_FUZZ_CHECK(condition, what)            \
  do {                                            \
    if (!(condition))                             \
      ::hg_fuzz::CheckFailed(#condition, (what)); \
  } while (false)

namespace hg_fuzz {

[[noreturn]] void CheckFailed(const char* condition, std::string_view what);

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A folder of this process's own, made on first use.
const std::filesystem::path& ProcessTempFolder();

// The machine of the default profile laid out under ProcessTempFolder()/"machine", opened with
// its real parts.
machine::Machine& SharedMachine();

// Writes `content` to the host file behind `windows_path` (its folder must exist) directly, as
// another program would; false when the path is not on a drive.
bool PlantFile(std::string_view windows_path, std::string_view content);
// Removes that host file again.
void RemovePlantedFile(std::string_view windows_path);

}  // namespace hg_fuzz
