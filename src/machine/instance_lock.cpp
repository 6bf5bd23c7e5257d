#include "machine/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <system_error>

#include "machine/descriptor.h"
#include "machine/held_folder.h"
#include "machine/profile.h"

namespace machine {

namespace fs = std::filesystem;

namespace {

// A previous holder removes the file on release; a claim that locked a removed file retries.
constexpr int kClaimAttempts = 8;

// Whether `fd` is still the file named `path`.
bool StillNamed(int fd, const fs::path& path) {
  struct stat held {};
  struct stat named {};
  return fstat(fd, &held) == 0 && lstat(path.c_str(), &named) == 0 && S_ISREG(held.st_mode) &&
         SameFile(held, named);
}

// Something other than a plain file at the lock's name (a link, a pipe, a folder) can never be
// locked and would let every copy start. In the program's own lock folder nothing else belongs
// there, so it is cleared away, through the folder held open and never through a link.
void ClearOddEntry(int folder, const fs::path& lock_file) {
  if (lock_file.parent_path() != InstanceLockFolder())
    return;
  const std::string name = lock_file.filename().string();
  const std::optional<struct stat> entry = EntryState(folder, name, LastLink::kAsLink);
  if (!entry || S_ISREG(entry->st_mode))
    return;
  if (S_ISDIR(entry->st_mode))
    RemoveEntryTree(folder, name);
  else
    RemoveEntry(folder, name, false);
}

// Copies claiming locks in one folder take turns, by a lock on the folder itself, held only for
// the few calls of a claim: otherwise a copy that saw an odd entry could remove by its name the
// file another copy has meanwhile put there and locked, and both would run.
Descriptor TakeFolderTurn(const fs::path& folder_path) {
  Descriptor folder(open(folder_path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!folder.ok())
    return folder;
  while (flock(folder.get(), LOCK_EX) != 0) {
    if (errno != EINTR)
      return Descriptor();
  }
  return folder;
}

// FNV-1a: a name that stays the same across builds, unlike std::hash.
uint64_t StableHash(const std::string& text) {
  uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace

InstanceLock::~InstanceLock() {
  Release();
}

InstanceClaim InstanceLock::Claim(const fs::path& lock_file) {
  if (Held())
    return InstanceClaim::kClaimed;
  std::error_code error;
  fs::create_directories(lock_file.parent_path(), error);
  const Descriptor folder =
      TakeFolderTurn(lock_file.has_parent_path() ? lock_file.parent_path() : ".");
  if (!folder.ok())
    return InstanceClaim::kUnavailable;
  ClearOddEntry(folder.get(), lock_file);
  for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
    // Close-on-exec: a program the copy starts must not keep its claim alive after it ends.
    const int fd = open(lock_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
      return InstanceClaim::kUnavailable;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int lock_error = errno;
      close(fd);
      return lock_error == EWOULDBLOCK ? InstanceClaim::kHeldElsewhere
                                       : InstanceClaim::kUnavailable;
    }
    if (StillNamed(fd, lock_file)) {
      fd_ = fd;
      path_ = lock_file;
      return InstanceClaim::kClaimed;
    }
    close(fd);
  }
  return InstanceClaim::kUnavailable;
}

void InstanceLock::Release() {
  if (!Held())
    return;
  // Removed while still locked, so a copy that opened it meanwhile sees it gone and retries.
  if (StillNamed(fd_, path_))
    unlink(path_.c_str());
  close(fd_);
  fd_ = -1;
  path_.clear();
}

fs::path InstanceLockFile(const Profile& profile) {
  const fs::path& named = profile.file.empty() ? profile.machine_hive : profile.file;
  std::error_code error;
  fs::path absolute = fs::absolute(named, error);
  if (fs::path canonical = fs::weakly_canonical(absolute, error); !error)
    absolute = canonical;
  char name[32];
  std::snprintf(name, sizeof name, "%016llx.lock",
                static_cast<unsigned long long>(StableHash(absolute.string())));
  return InstanceLockFolder() / name;
}

fs::path InstanceLockFolder() {
  return DataFolder() / "running";
}

}  // namespace machine
