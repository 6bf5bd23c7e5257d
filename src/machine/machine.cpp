#include "machine/machine.h"

#include "machine/http.h"
#include "machine/processes.h"
#include "machine/registry.h"
#include "machine/restore_points.h"

namespace machine {

std::unique_ptr<Machine> Machine::Open(Profile profile, VersionInfo version, std::string& error) {
  auto machine =
      std::make_unique<Machine>(std::move(profile), std::move(version), MachineParts{}, error);
  if (!machine->ok())
    return nullptr;
  return machine;
}

Machine::Machine(Profile profile, VersionInfo version, MachineParts parts, std::string& error)
    : profile_(std::move(profile)),
      version_(std::move(version)),
      files_(std::make_unique<FileSystem>(profile_)),
      parts_(std::move(parts)) {
  if (!parts_.registry)
    parts_.registry = Registry::Open(profile_.machine_hive, profile_.user_hive, error);
  if (!parts_.processes)
    parts_.processes = std::make_unique<ProcfsProcessTable>(*files_);
  if (!parts_.http)
    parts_.http = std::make_unique<CurlHttpTransport>();
  if (!parts_.restore_points)
    parts_.restore_points = std::make_unique<NoRestorePoints>();
  if (!parts_.clock)
    parts_.clock = std::make_unique<SystemClock>();
  if (!parts_.opener)
    parts_.opener = std::make_unique<HostOpener>();
}

Machine::~Machine() = default;

bool Machine::PrevInstance() {
  return instance_lock_.Claim(InstanceLockFile(profile_)) == InstanceClaim::kHeldElsewhere;
}

}  // namespace machine
