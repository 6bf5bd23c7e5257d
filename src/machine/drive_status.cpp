#include "machine/drive_status.h"

#include <filesystem>
#include <system_error>

namespace machine {

bool IsDriveReady(const Drive& drive) {
  std::error_code error;
  return std::filesystem::is_directory(drive.host_root, error);
}

std::optional<uint64_t> DriveBytesUsed(const Drive& drive) {
  std::error_code error;
  const std::filesystem::space_info space = std::filesystem::space(drive.host_root, error);
  if (error)
    return std::nullopt;
  return space.capacity - space.free;
}

}  // namespace machine
