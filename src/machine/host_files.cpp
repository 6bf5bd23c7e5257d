#include "machine/host_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <utility>

#include "machine/dos_attributes.h"
#include "machine/held_folder.h"
#include "machine/windows_tree.h"

namespace machine {

namespace {

namespace fs = std::filesystem;

FlushFunction flush_function = &fsync;

std::string FolderOf(const std::string& host_path) {
  const size_t slash = host_path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : host_path.substr(0, slash);
}

std::string NameOf(const std::string& host_path) {
  const size_t slash = host_path.rfind('/');
  return slash == std::string::npos ? host_path : host_path.substr(slash + 1);
}

// A name for a temporary entry that no other entry has (it begins with "." so the view shows
// it as hidden should it ever be left behind); IsTemporaryName knows its form.
std::string TemporaryName() {
  static std::atomic<uint64_t> counter{0};
  static const uint64_t seed = std::random_device{}();
  char name[64];
  std::snprintf(name, sizeof name, ".~hg%08x%06llx", static_cast<unsigned>(seed ^ getpid()),
                static_cast<unsigned long long>(++counter & 0xFFFFFF));
  return name;
}

// Creates a new file for writing at a fresh temporary name in a folder; -1 on failure.
int CreateTemporaryFileAt(int folder_fd, mode_t mode, std::string& name) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    name = TemporaryName();
    const int fd = openat(folder_fd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
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
    ok = WriteWhole(out, std::string_view(buffer, static_cast<size_t>(got)));
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
  if (!PartOfWindowsTree(st.st_mode))
    return true;
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

FlushFunction SetFlushFunction(FlushFunction flush) {
  return std::exchange(flush_function, flush);
}

std::string TemporarySibling(const std::string& folder) {
  return folder + "/" + TemporaryName();
}

bool WriteWhole(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = write(fd, data.data(), data.size());
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return false;
    data.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

bool WriteWholeFile(const std::string& host_path, std::string_view content) {
  const int folder = open(FolderOf(host_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0)
    return false;
  const bool ok = WriteWholeFileAt(folder, NameOf(host_path), content);
  close(folder);
  return ok;
}

bool WriteWholeFileAt(int folder_fd, const std::string& name, std::string_view content) {
  FileSetReplacement replacement(folder_fd);
  return replacement.Start(name) && replacement.Write(content) && replacement.Commit();
}

FileSetReplacement::FileSetReplacement(int folder_fd)
    : folder_fd_(fcntl(folder_fd, F_DUPFD_CLOEXEC, 0)) {}

FileSetReplacement::~FileSetReplacement() {
  if (fd_ >= 0)
    close(fd_);
  for (const Pending& pending : pending_) {
    if (pending.made_here)
      unlinkat(folder_fd_, pending.temporary.c_str(), 0);
  }
  if (folder_fd_ >= 0)
    close(folder_fd_);
}

namespace {

// The mode of the entry to replace when it is a regular file, 0 when there is none; nothing
// (errno ELOOP for a link) when something else stands there.
std::optional<mode_t> ReplaceableMode(int folder_fd, const std::string& name) {
  struct stat existing {};
  if (fstatat(folder_fd, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) != 0)
    return mode_t{0};
  if (S_ISREG(existing.st_mode))
    return existing.st_mode & 07777;
  errno = S_ISLNK(existing.st_mode) ? ELOOP : EISDIR;
  return std::nullopt;
}

}  // namespace

bool FileSetReplacement::Start(const std::string& name) {
  ok_ = ok_ && FinishCurrent();
  const std::optional<mode_t> mode =
      ok_ && folder_fd_ >= 0 ? ReplaceableMode(folder_fd_, name) : std::nullopt;
  if (!mode)
    return ok_ = false;
  std::string temporary;
  fd_ = CreateTemporaryFileAt(folder_fd_, 0666, temporary);
  if (fd_ < 0)
    return ok_ = false;
  pending_.push_back({name, temporary, true});
  written_ = 0;
  if (*mode != 0) {
    ok_ = fchmod(fd_, *mode) == 0;
    const int old =
        openat(folder_fd_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (old >= 0) {
      CopyDosAttrib(old, fd_);
      close(old);
    }
  }
  return ok_;
}

bool FileSetReplacement::Adopt(const std::string& from_name, const std::string& name) {
  ok_ = ok_ && FinishCurrent() && folder_fd_ >= 0 && ReplaceableMode(folder_fd_, name);
  if (!ok_)
    return false;
  fd_ = openat(folder_fd_, from_name.c_str(),
               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  struct stat source {};
  if (fd_ < 0 || fstat(fd_, &source) != 0 || !S_ISREG(source.st_mode))
    return ok_ = false;
  pending_.push_back({name, from_name, false});
  return true;
}

bool FileSetReplacement::Write(std::string_view bytes) {
  ok_ = ok_ && fd_ >= 0 && WriteWhole(fd_, bytes);
  // A large content goes to the disk as it is written, one stretch waited for while the next is
  // under way, so that no single flush, here or at the end, waits for much.
  constexpr off_t kStretch = off_t{2} << 20;
  const off_t before = written_;
  written_ += static_cast<off_t>(bytes.size());
  if (ok_ && before / kStretch != written_ / kStretch) {
    const off_t end = written_ / kStretch * kStretch;
    sync_file_range(fd_, end - kStretch, kStretch, SYNC_FILE_RANGE_WRITE);
    if (end >= 2 * kStretch)
      sync_file_range(
          fd_, end - 2 * kStretch, kStretch,
          SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
  }
  return ok_;
}

// The data reaches the disk before any name is changed, so that a power cut leaves the old file
// or the new one, never an empty one.
bool FileSetReplacement::FinishCurrent() {
  if (fd_ < 0)
    return true;
  bool ok = flush_function(fd_) == 0;
  ok = close(fd_) == 0 && ok;
  fd_ = -1;
  return ok;
}

bool FileSetReplacement::Commit() {
  ok_ = ok_ && FinishCurrent();
  bool renamed = false;
  while (ok_ && !pending_.empty()) {
    ok_ = renameat(folder_fd_, pending_.front().temporary.c_str(), folder_fd_,
                   pending_.front().name.c_str()) == 0;
    if (ok_)
      pending_.erase(pending_.begin());
    renamed = renamed || ok_;
  }
  // The new names reach the disk; a folder that cannot be flushed does not undo the renames.
  if (renamed)
    flush_function(folder_fd_);
  return ok_;
}

bool ReplaceWithFileAt(int folder_fd, const std::string& from_name, const std::string& to_name) {
  FileSetReplacement replacement(folder_fd);
  return replacement.Adopt(from_name, to_name) && replacement.Commit();
}

bool IsTemporaryName(std::string_view name) {
  constexpr std::string_view kPrefix = ".~hg";
  constexpr size_t kHexDigits = 14;
  return name.size() == kPrefix.size() + kHexDigits && name.starts_with(kPrefix) &&
         name.find_first_not_of("0123456789abcdef", kPrefix.size()) == std::string_view::npos;
}

void RemoveTemporaryFilesAt(int folder_fd) {
  const std::optional<std::vector<std::string>> names = EntryNames(folder_fd);
  if (!names)
    return;
  for (const std::string& name : *names) {
    const std::optional<struct stat> st =
        IsTemporaryName(name) ? EntryState(folder_fd, name, LastLink::kAsLink) : std::nullopt;
    if (st && (S_ISREG(st->st_mode) || S_ISLNK(st->st_mode)))
      RemoveEntry(folder_fd, name, false);
  }
}

bool AppendToFile(const std::string& host_path, std::string_view content) {
  const int folder = open(FolderOf(host_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0)
    return false;
  const bool ok = AppendToFileAt(folder, NameOf(host_path), content);
  close(folder);
  return ok;
}

bool AppendToFileAt(int folder_fd, const std::string& name, std::string_view content) {
  const int fd = OpenForAppendAt(folder_fd, name);
  if (fd < 0)
    return false;
  struct stat st {};
  const bool ok =
      fstat(fd, &st) == 0 && AppendWhole(fd, static_cast<uint64_t>(st.st_size), content);
  return close(fd) == 0 && ok;
}

int OpenForAppendAt(int folder_fd, const std::string& name) {
  const int fd =
      openat(folder_fd, name.c_str(),
             O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
  if (fd < 0)
    return -1;
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
    return fd;
  close(fd);
  return -1;
}

bool AppendWhole(int fd, uint64_t size_before, std::string_view content) {
  if (WriteWhole(fd, content))
    return true;
  if (ftruncate(fd, static_cast<off_t>(size_before)) != 0) {
    // Nothing more can be done; the caller hears of the failure.
  }
  return false;
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
