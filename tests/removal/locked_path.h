#pragma once
// A file or folder that cannot be deleted while the object lives, as a file held open by a
// running program is on the platform. Where the process may set the immutable flag it is set on
// the entry; otherwise (an ordinary user) the entry's parent folder is made read-only. Both
// still let the entry be read, so it can be copied. ok() is false when neither works.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace removal_test {

class LockedPath {
 public:
  explicit LockedPath(std::filesystem::path host) : host_(std::move(host)) {
    if (SetImmutable(true)) {
      immutable_ = true;
    } else if (geteuid() != 0) {
      struct stat st {};
      const std::filesystem::path parent = host_.parent_path();
      if (stat(parent.c_str(), &st) == 0 && chmod(parent.c_str(), 0555) == 0) {
        parent_mode_ = st.st_mode & 07777;
        parent_locked_ = true;
      }
    }
  }
  ~LockedPath() { Unlock(); }
  LockedPath(const LockedPath&) = delete;
  LockedPath& operator=(const LockedPath&) = delete;

  bool ok() const { return immutable_ || parent_locked_; }

  void Unlock() {
    if (immutable_)
      SetImmutable(false);
    if (parent_locked_)
      chmod(host_.parent_path().c_str(), parent_mode_);
    immutable_ = parent_locked_ = false;
  }

 private:
  bool SetImmutable(bool on) {
    const int fd = open(host_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
      return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return ok;
  }

  std::filesystem::path host_;
  bool immutable_ = false;
  bool parent_locked_ = false;
  mode_t parent_mode_ = 0;
};

}  // namespace removal_test
