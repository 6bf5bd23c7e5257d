#pragma once
// An open host descriptor, closed when it goes. Callers that act on files work through
// descriptors of the folders they act in, so that what they check is what they then copy and
// delete, wherever a rename or a link moves the names meanwhile.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <utility>

namespace machine {

class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { Reset(); }
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }

  bool ok() const { return fd_ >= 0; }
  int get() const { return fd_; }
  void Reset() {
    if (fd_ >= 0)
      close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

// A host path that reaches what `fd` holds open, wherever it lies now.
inline std::string PathToHeld(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

// A folder held open for looking up and acting on the entries in it.
inline Descriptor OpenFolder(const std::string& host_path) {
  return Descriptor(open(host_path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

// A file's identity on the host.
inline bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The same file, not changed since: same identity, size and change time.
inline bool Unchanged(const struct stat& before, const struct stat& now) {
  return SameFile(before, now) && before.st_size == now.st_size &&
         before.st_ctim.tv_sec == now.st_ctim.tv_sec &&
         before.st_ctim.tv_nsec == now.st_ctim.tv_nsec;
}

}  // namespace machine
