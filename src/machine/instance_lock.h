#pragma once
// The previous-instance test: one running copy of the program per user and machine profile. A
// copy claims its profile by an exclusive flock on a small file in the user's data folder named
// after the profile. The kernel drops the lock with the process, so a copy that crashed never
// keeps the next one from starting; the file is removed on a clean release.

#include <filesystem>
#include <string>

namespace machine {

struct Profile;

enum class InstanceClaim {
  kClaimed,        // this process holds the profile now
  kHeldElsewhere,  // another running copy holds it
  kUnavailable,    // the lock file cannot be made or locked; nobody can be told apart
};

class InstanceLock {
 public:
  InstanceLock() = default;
  // Releases the claim.
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Claims `lock_file` (creating it and its folder) without waiting. A held claim is kept and
  // answers kClaimed again. Anything at that name that is not a plain file is never followed;
  // in InstanceLockFolder() it is removed first. Claims in one folder take turns, so two copies
  // started together never both run.
  InstanceClaim Claim(const std::filesystem::path& lock_file);
  bool Held() const { return fd_ >= 0; }
  void Release();

 private:
  int fd_ = -1;
  std::filesystem::path path_;
};

// The lock file for a profile: in the "running" folder of the user's data folder, named by a
// hash of the profile file's absolute path (of the machine hive's for a profile without a file).
std::filesystem::path InstanceLockFile(const Profile& profile);
// The "running" folder of the user's data folder, where the lock files are. An entry at a lock
// file's name there that is not a plain file is removed when the lock is claimed.
std::filesystem::path InstanceLockFolder();

}  // namespace machine
