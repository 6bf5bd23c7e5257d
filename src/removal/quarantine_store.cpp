#include "removal/quarantine_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "machine/machine.h"
#include "machine/text.h"
#include "services/system.h"

namespace removal {

namespace {

namespace fs = std::filesystem;

// Beyond this many candidates the folder is considered full for that name.
constexpr int kMostCandidates = 100000;
// Deeper trees than this are not compared (the copy refuses them as well).
constexpr int kMostDepth = 256;

class Descriptor {
 public:
  explicit Descriptor(const std::string& path)
      : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
  ~Descriptor() {
    if (fd_ >= 0)
      close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Reads as much as fits, up to the end; -1 on an error.
ssize_t ReadFull(int fd, char* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t got = read(fd, buffer + done, size - done);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return -1;
    if (got == 0)
      break;
    done += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(done);
}

bool SameFileContent(const std::string& a, const std::string& b) {
  const Descriptor fa(a);
  const Descriptor fb(b);
  struct stat sa {};
  struct stat sb {};
  if (fa.get() < 0 || fb.get() < 0 || fstat(fa.get(), &sa) != 0 || fstat(fb.get(), &sb) != 0 ||
      !S_ISREG(sa.st_mode) || !S_ISREG(sb.st_mode) || sa.st_size != sb.st_size) {
    return false;
  }
  static thread_local std::array<char, 65536> buffer_a;
  static thread_local std::array<char, 65536> buffer_b;
  for (;;) {
    const ssize_t got_a = ReadFull(fa.get(), buffer_a.data(), buffer_a.size());
    const ssize_t got_b = ReadFull(fb.get(), buffer_b.data(), buffer_b.size());
    if (got_a < 0 || got_a != got_b)
      return false;
    if (got_a == 0)
      return true;
    if (std::memcmp(buffer_a.data(), buffer_b.data(), static_cast<size_t>(got_a)) != 0)
      return false;
  }
}

// True when `copy` holds everything `source` holds: the same entries with the same kinds, files
// of the same content, links to the same targets. Entries that are not part of a Windows tree
// (sockets, pipes, devices) are not copied and not compared.
bool SameTree(const std::string& source, const std::string& copy, int depth) {
  struct stat ss {};
  struct stat sc {};
  if (depth > kMostDepth || lstat(source.c_str(), &ss) != 0 || lstat(copy.c_str(), &sc) != 0)
    return false;
  if (S_ISREG(ss.st_mode))
    return S_ISREG(sc.st_mode) && SameFileContent(source, copy);
  if (S_ISLNK(ss.st_mode)) {
    std::error_code ea;
    std::error_code eb;
    const fs::path la = fs::read_symlink(source, ea);
    const fs::path lb = fs::read_symlink(copy, eb);
    return S_ISLNK(sc.st_mode) && !ea && !eb && la == lb;
  }
  if (!S_ISDIR(ss.st_mode))
    return true;
  if (!S_ISDIR(sc.st_mode))
    return false;
  std::error_code error;
  for (fs::directory_iterator it(source, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (!SameTree(source + "/" + name, copy + "/" + name, depth + 1))
      return false;
  }
  return !error;
}

// The item's own name: the last name of the path as the file system sees it.
std::optional<std::string> ItemNameOf(std::string_view path) {
  const std::optional<machine::WindowsPath> parsed = machine::ParseWindowsPath(path);
  if (!parsed || parsed->components.empty())
    return std::nullopt;
  return parsed->components.back();
}

bool IsTaken(const machine::FileSystem& files, const std::string& folder,
             const std::string& candidate) {
  return machine::EqualsIgnoreCase(candidate, kQuarantineLogName) ||
         files.Attributes(folder + "\\" + candidate).has_value();
}

std::string Candidate(std::string_view name, bool is_folder, int number) {
  if (number == 1)
    return std::string(name);
  const std::string suffix = " (" + std::to_string(number) + ")";
  const size_t dot = is_folder ? std::string_view::npos : name.rfind('.');
  if (dot == std::string_view::npos || dot == 0)
    return std::string(name) + suffix;
  return std::string(name.substr(0, dot)) + suffix + std::string(name.substr(dot));
}

struct Copied {
  std::string stored_name;
  std::string stored_path;
};

// Copies the item under a free name; nothing when no copy could be made.
std::optional<Copied> CopyIn(services::System& system, std::string_view path, bool is_folder) {
  const std::optional<std::string> name = ItemNameOf(path);
  if (!name)
    return std::nullopt;
  machine::FileSystem& files = system.machine.files();
  const std::string folder = QuarantineFolderPath(system);
  for (int number = 1; number <= kMostCandidates; ++number) {
    std::string candidate = Candidate(*name, is_folder, number);
    if (IsTaken(files, folder, candidate))
      continue;
    std::string target = folder + "\\" + candidate;
    if (files.Copy(path, target))
      return Copied{std::move(candidate), std::move(target)};
    // Something of that name may have appeared since the look: try the next name then.
    if (!files.Attributes(target))
      return std::nullopt;
  }
  return std::nullopt;
}

bool SameItem(services::System& system, std::string_view path, std::string_view copy,
              bool is_folder) {
  const machine::FileSystem& files = system.machine.files();
  const std::optional<fs::path> source_host = files.Resolve(path);
  const std::optional<fs::path> copy_host = files.Resolve(copy);
  if (!source_host || !copy_host)
    return false;
  return is_folder ? SameTree(source_host->string(), copy_host->string(), 0)
                   : SameFileContent(source_host->string(), copy_host->string());
}

// True when the folder at `path` still holds exactly what its copy holds: nothing of it was
// deleted, so the copy is not the only place its content is kept.
bool IsWhole(services::System& system, std::string_view path, std::string_view copy) {
  const machine::FileSystem& files = system.machine.files();
  const std::optional<fs::path> source_host = files.Resolve(path);
  const std::optional<fs::path> copy_host = files.Resolve(copy);
  return source_host && copy_host && SameTree(source_host->string(), copy_host->string(), 0) &&
         SameTree(copy_host->string(), source_host->string(), 0);
}

MoveResult Move(services::System& system, std::string_view path, bool is_folder) {
  machine::FileSystem& files = system.machine.files();
  const std::optional<machine::FileAttributes> attributes = files.Attributes(path);
  if (!attributes || attributes->is_folder != is_folder)
    return {MoveStatus::kNotThere, {}};

  const std::optional<Copied> copied = CopyIn(system, path, is_folder);
  if (!copied)
    return {MoveStatus::kCopyFailed, {}};
  const auto take_back = [&] {
    if (is_folder)
      files.DeleteFolder(copied->stored_path);
    else
      files.DeleteFile(copied->stored_path);
  };
  if (!SameItem(system, path, copied->stored_path, is_folder)) {
    take_back();
    return {MoveStatus::kCopyFailed, {}};
  }

  const bool deleted = is_folder ? files.DeleteFolder(path) : files.DeleteFile(path);
  if (deleted && !files.Attributes(path))
    return {MoveStatus::kMoved, copied->stored_name};
  // A folder that is still whole can take its copy back; one that lost anything cannot.
  if (!is_folder || IsWhole(system, path, copied->stored_path)) {
    take_back();
    return {MoveStatus::kDeleteFailed, {}};
  }
  return {MoveStatus::kPartlyDeleted, copied->stored_name};
}

}  // namespace

std::string QuarantineFolderPath(const services::System& system) {
  std::string folder = system.machine.profile().program_folder;
  while (!folder.empty() && folder.back() == '\\')
    folder.pop_back();
  return folder + "\\quarantine";
}

std::string FreeQuarantineName(const services::System& system, std::string_view name,
                               bool is_folder) {
  const machine::FileSystem& files = system.machine.files();
  const std::string folder = QuarantineFolderPath(system);
  for (int number = 1; number <= kMostCandidates; ++number) {
    std::string candidate = Candidate(name, is_folder, number);
    if (!IsTaken(files, folder, candidate))
      return candidate;
  }
  return {};
}

MoveResult MoveFileToQuarantine(services::System& system, std::string_view path) {
  return Move(system, path, false);
}

MoveResult MoveFolderToQuarantine(services::System& system, std::string_view path) {
  return Move(system, path, true);
}

}  // namespace removal
