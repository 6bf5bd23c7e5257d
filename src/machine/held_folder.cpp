#include "machine/held_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "machine/file_system_cache.h"
#include "machine/host_files.h"

namespace machine {

namespace fs = std::filesystem;

std::optional<struct stat> EntryState(int folder_fd, const std::string& name, LastLink last) {
  struct stat st {};
  if (fstatat(folder_fd, name.c_str(), &st, last == LastLink::kAsLink ? AT_SYMLINK_NOFOLLOW : 0) !=
      0)
    return std::nullopt;
  return st;
}

std::optional<struct stat> HeldState(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0)
    return std::nullopt;
  return st;
}

std::vector<FileIdentity> FolderIdentityChain(const std::string& host_folder, int most) {
  std::vector<FileIdentity> chain;
  std::string up = host_folder;
  for (int depth = 0; depth < most; ++depth, up += "/..") {
    struct stat st {};
    if (stat(up.c_str(), &st) != 0 || (!chain.empty() && IdentityOf(st) == chain.back()))
      break;
    chain.push_back(IdentityOf(st));
  }
  return chain;
}

std::string WhereHeldIsNow(int fd) {
  return DescriptorPath(fd);
}

std::optional<std::string> RealHostPath(const std::string& host_path) {
  std::error_code error;
  std::string real = fs::canonical(host_path, error).string();
  if (error)
    return std::nullopt;
  return real;
}

Descriptor OpenEntryForReading(int folder_fd, const std::string& name, bool folder) {
  return Descriptor(openat(folder_fd, name.c_str(),
                           O_RDONLY | O_NONBLOCK | O_CLOEXEC | (folder ? O_DIRECTORY : 0)));
}

std::optional<std::vector<std::string>> EntryNames(int folder_fd) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(PathToHeld(folder_fd), error), end; !error && it != end;
       it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  if (error)
    return std::nullopt;
  return names;
}

bool RemoveEntry(int folder_fd, const std::string& name, bool folder) {
  return unlinkat(folder_fd, name.c_str(), folder ? AT_REMOVEDIR : 0) == 0;
}

bool RemoveEntryTree(int folder_fd, const std::string& name) {
  std::error_code error;
  fs::remove_all(PathToHeld(folder_fd) + "/" + name, error);
  return !error;
}

bool RemoveWhileHeld(int folder_fd, const std::string& name, int fd) {
  const std::optional<struct stat> held = HeldState(fd);
  const std::optional<struct stat> named = EntryState(folder_fd, name, LastLink::kAsLink);
  return held && named && SameFile(*held, *named) && RemoveEntry(folder_fd, name, false);
}

Descriptor OpenForAppending(int folder_fd, const std::string& name, bool& made) {
  constexpr int kFlags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  Descriptor file(openat(folder_fd, name.c_str(), kFlags | O_CREAT | O_EXCL, 0666));
  made = file.ok();
  if (!made && errno == EEXIST)
    file = Descriptor(openat(folder_fd, name.c_str(), kFlags));
  const std::optional<struct stat> st = file.ok() ? HeldState(file.get()) : std::nullopt;
  if (file.ok() && (!st || !S_ISREG(st->st_mode)))
    file.Reset();
  return file;
}

std::optional<off_t> AppendWholeOrNothing(int fd, std::string_view text) {
  const std::optional<struct stat> st = HeldState(fd);
  if (!st)
    return std::nullopt;
  if (WriteWhole(fd, text))
    return st->st_size;
  // Nothing more can be done when this fails; the caller hears of the failure either way.
  CutBack(fd, st->st_size);
  return std::nullopt;
}

bool CutBack(int fd, off_t length) {
  return ftruncate(fd, length) == 0;
}

}  // namespace machine
