#include "services/restore_bracket.h"

#include "machine/machine.h"
#include "machine/restore_points.h"

namespace services {

bool IsSystemRestoreAvailable(const System& system) {
  if (!system.machine.restore_points().Available())
    return false;
  const machine::Profile& p = system.machine.profile();
  if (p.os_family == machine::OsFamily::kWin9x)
    return p.os_minor == 90;
  return p.os_major > 5 || (p.os_major == 5 && p.os_minor == 1);
}

bool BeginRestorePoint(System& system, std::string_view description, int restore_point_type) {
  if (system.lngRestoreSequence != 0)
    throw RestorePointError();
  int64_t sequence = 0;
  if (!system.machine.restore_points().Begin(description, restore_point_type, sequence)) {
    return false;
  }
  system.lngRestoreSequence = sequence;
  return true;
}

bool EndRestorePoint(System& system) {
  const bool ok = system.machine.restore_points().End(system.lngRestoreSequence);
  system.lngRestoreSequence = 0;
  return ok;
}

}  // namespace services
