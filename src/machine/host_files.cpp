#include "machine/host_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include "machine/dos_attributes.h"

namespace machine {

namespace {

namespace fs = std::filesystem;

std::string FolderOf(const std::string& host_path) {
  const size_t slash = host_path.rfind('/');
  return slash == std::string::npos ? std::string(".") : host_path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    content.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Creates a new file for writing at a fresh temporary name; -1 on failure.
int CreateTemporaryFile(const std::string& folder, mode_t mode, std::string& path) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    path = TemporarySibling(folder);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
  return -1;
}

bool CopyFileContents(const std::string& from, const std::string& to, mode_t mode) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (in < 0)
    return false;
  const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  bool ok = out >= 0;
  char buffer[65536];
  while (ok) {
    const ssize_t got = read(in, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    ok = WriteAll(out, std::string_view(buffer, static_cast<size_t>(got)));
  }
  close(in);
  if (out >= 0 && close(out) != 0)
    ok = false;
  if (ok)
    CopyDosAttrib(from, to);
  return ok;
}

bool CopyTree(const std::string& from, const std::string& to, int depth) {
  // The entry asked for is copied as what it leads to; links inside it stay links.
  struct stat st {};
  if ((depth == 0 ? stat(from.c_str(), &st) : lstat(from.c_str(), &st)) != 0 || depth > 256)
    return false;
  if (S_ISREG(st.st_mode))
    return CopyFileContents(from, to, st.st_mode & 07777);
  if (S_ISLNK(st.st_mode)) {
    std::error_code error;
    fs::copy_symlink(from, to, error);
    return !error;
  }
  if (!S_ISDIR(st.st_mode))
    return true;  // sockets, pipes and devices are not part of a Windows tree
  if (mkdir(to.c_str(), (st.st_mode & 07777) | S_IRWXU) != 0)
    return false;
  DIR* dir = opendir(from.c_str());
  if (dir == nullptr)
    return false;
  bool ok = true;
  while (const dirent* d = readdir(dir)) {
    const std::string name = d->d_name;
    if (name == "." || name == "..")
      continue;
    if (!CopyTree(from + "/" + name, to + "/" + name, depth + 1)) {
      ok = false;
      break;
    }
  }
  closedir(dir);
  if (ok) {
    CopyDosAttrib(from, to);
    chmod(to.c_str(), st.st_mode & 07777);
  }
  return ok;
}

}  // namespace

std::string TemporarySibling(const std::string& folder) {
  static std::atomic<uint64_t> counter{0};
  static const uint64_t seed = std::random_device{}();
  char name[64];
  std::snprintf(name, sizeof name, "/.~hg%08x%06llx", static_cast<unsigned>(seed ^ getpid()),
                static_cast<unsigned long long>(++counter & 0xFFFFFF));
  return folder + name;
}

bool WriteWholeFile(const std::string& host_path, std::string_view content) {
  struct stat existing {};
  const bool replacing = stat(host_path.c_str(), &existing) == 0;
  if (replacing && !S_ISREG(existing.st_mode))
    return false;
  std::string temporary;
  const int fd = CreateTemporaryFile(FolderOf(host_path), 0666, temporary);
  if (fd < 0)
    return false;
  bool ok = WriteAll(fd, content);
  if (replacing)
    ok = ok && fchmod(fd, existing.st_mode & 07777) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && replacing)
    CopyDosAttrib(host_path, temporary);
  if (ok)
    ok = rename(temporary.c_str(), host_path.c_str()) == 0;
  if (!ok)
    unlink(temporary.c_str());
  return ok;
}

bool AppendToFile(const std::string& host_path, std::string_view content) {
  const int fd =
      open(host_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0)
    return false;
  struct stat st {};
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok && !WriteAll(fd, content)) {
    ok = false;
    if (ftruncate(fd, st.st_size) != 0) {
      // Nothing more can be done; the caller hears of the failure.
    }
  }
  return close(fd) == 0 && ok;
}

bool RenameNoReplace(const std::string& from_host_path, const std::string& to_host_path) {
  if (renameat2(AT_FDCWD, from_host_path.c_str(), AT_FDCWD, to_host_path.c_str(),
                RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS)
    return false;
  // The file system cannot refuse to replace by itself.
  struct stat st {};
  if (lstat(to_host_path.c_str(), &st) == 0)
    return false;
  return rename(from_host_path.c_str(), to_host_path.c_str()) == 0;
}

bool CopyAtomically(const std::string& from_host_path, const std::string& to_host_path) {
  const std::string temporary = TemporarySibling(FolderOf(to_host_path));
  bool ok = CopyTree(from_host_path, temporary, 0) && RenameNoReplace(temporary, to_host_path);
  if (!ok) {
    std::error_code error;
    fs::remove_all(temporary, error);
  }
  return ok;
}

}  // namespace machine
