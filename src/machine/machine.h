#pragma once
// The machine: the Windows-style machine the program sees, built from a profile.
// Everything above this layer reaches files, registry, processes, HTTP, restore points and the
// clock through it.

#include <memory>
#include <string>

#include "machine/clock.h"
#include "machine/desktop_opener.h"
#include "machine/file_system.h"
#include "machine/http.h"
#include "machine/instance_lock.h"
#include "machine/processes.h"
#include "machine/profile.h"
#include "machine/registry.h"
#include "machine/restore_points.h"
#include "machine/version_info.h"

namespace machine {

struct MachineParts {
  std::unique_ptr<Registry> registry;
  std::unique_ptr<ProcessTable> processes;
  std::unique_ptr<HttpTransport> http;
  std::unique_ptr<RestorePoints> restore_points;
  std::unique_ptr<Clock> clock;
  std::unique_ptr<DesktopOpener> opener;
};

class Machine {
 public:
  // Opens the machine that `profile` describes with the real parts: the two hives (created when
  // missing), /proc, libcurl, no System Restore, the system clock and the
  // desktop's opener.
  // Nothing and a message in `error` when a hive cannot be opened.
  static std::unique_ptr<Machine> Open(Profile profile, VersionInfo version, std::string& error);

  // Any part left empty is given its real implementation (see Open).
  Machine(Profile profile, VersionInfo version, MachineParts parts, std::string& error);
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  const Profile& profile() const { return profile_; }
  const VersionInfo& version() const { return version_; }
  FileSystem& files() { return *files_; }
  Registry& registry() { return *parts_.registry; }
  ProcessTable& processes() { return *parts_.processes; }
  HttpTransport& http() { return *parts_.http; }
  RestorePoints& restore_points() { return *parts_.restore_points; }
  Clock& clock() { return *parts_.clock; }
  DesktopOpener& opener() { return *parts_.opener; }
  bool ok() const { return parts_.registry != nullptr; }

  // True when another copy of the program runs on this profile for this user. The first call
  // claims the profile for this machine object until it is closed (or the process ends); when
  // no claim can be made at all, the answer is false.
  bool PrevInstance();

 private:
  Profile profile_;
  VersionInfo version_;
  std::unique_ptr<FileSystem> files_;
  MachineParts parts_;
  InstanceLock instance_lock_;
};

}  // namespace machine
