#pragma once
// What the host can tell about the folder behind a drive.

#include <cstdint>
#include <optional>

#include "machine/profile.h"

namespace machine {

// The drive is ready when the folder behind it is there.
bool IsDriveReady(const Drive& drive);

// Bytes in use on the file system that holds the drive's folder; nothing when the host cannot
// tell.
std::optional<uint64_t> DriveBytesUsed(const Drive& drive);

}  // namespace machine
