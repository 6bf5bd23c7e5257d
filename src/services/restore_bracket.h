#pragma once
// The restore-point bracket around a removal.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "services/system.h"

namespace services {

// Raised by BeginRestorePoint while a restore point is still open.
class RestorePointError : public std::runtime_error {
 public:
  static constexpr int32_t kNumber = 100001;
  RestorePointError() : std::runtime_error("You must End the previous restore point first.") {}
  int32_t number() const { return kNumber; }
};

// True on Windows ME (4.90 on the 95/98/ME family) and on the NT family from XP (5.1) on,
// 5.2 excepted, where the machine can make restore points at all.
bool IsSystemRestoreAvailable(const System& system);

// Begins a restore point and keeps its sequence number; false when the platform refused.
// Throws RestorePointError when one is already open.
bool BeginRestorePoint(System& system, std::string_view description, int restore_point_type);

// Ends the open restore point (sequence 0 when none is open); the bracket is closed either way.
bool EndRestorePoint(System& system);

}  // namespace services
