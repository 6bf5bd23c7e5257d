#include "machine/processes.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <filesystem>
#include <system_error>

#include "machine/file_system.h"

namespace machine {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDeletedSuffix = " (deleted)";

bool IsReservedId(uint32_t id) {
  return id == 0 || id == 2;
}

// Called directly: the C library's own wrappers are not usable from C++ on every system we
// build on.
int PidfdOpen(pid_t pid) {
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

bool PidfdSignal(int pidfd, int signal) {
  return syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0) == 0;
}

// The program a process runs: where its file lies, or lay when it has been deleted since the
// start, and which file it is.
struct Image {
  fs::path path;
  dev_t device = 0;
  ino_t inode = 0;

  bool SameFile(const Image& other) const { return device == other.device && inode == other.inode; }
};

bool IsFile(const fs::path& path, const struct stat& file) {
  struct stat found {};
  return stat(path.c_str(), &found) == 0 && found.st_dev == file.st_dev &&
         found.st_ino == file.st_ino;
}

fs::path ExeLink(uint32_t id) {
  return fs::path("/proc") / std::to_string(id) / "exe";
}

// The link's target in one readlink call: listings do this for every process at every shield
// tick.
std::optional<std::string> ReadLink(const fs::path& link) {
  char target[PATH_MAX];
  const ssize_t length = readlink(link.c_str(), target, sizeof target);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof target)
    return std::nullopt;
  return std::string(target, static_cast<size_t>(length));
}

// Nothing when the process is gone or its executable cannot be read.
std::optional<Image> ReadImage(uint32_t id) {
  const fs::path link = ExeLink(id);
  struct stat file {};
  if (stat(link.c_str(), &file) != 0)
    return std::nullopt;
  std::optional<std::string> text = ReadLink(link);
  if (!text)
    return std::nullopt;
  // Linux names a deleted executable by its former path and this suffix; a file that really
  // bears such a name is the very file that runs.
  fs::path exe = *text;
  if (text->ends_with(kDeletedSuffix) && !IsFile(exe, file))
    exe = text->substr(0, text->size() - kDeletedSuffix.size());
  return Image{std::move(exe), file.st_dev, file.st_ino};
}

// Only the executable's path, as ReadImage gives it; the file itself is looked at only when the
// link names a deleted one.
std::optional<fs::path> ReadImagePath(uint32_t id) {
  std::optional<std::string> text = ReadLink(ExeLink(id));
  if (!text)
    return std::nullopt;
  if (!text->ends_with(kDeletedSuffix))
    return fs::path(std::move(*text));
  std::optional<Image> image = ReadImage(id);
  if (!image)
    return std::nullopt;
  return std::move(image->path);
}

// A process held through a pidfd: signals sent through it reach this process or nobody.
class ProcfsProcess final : public OpenedProcess {
 public:
  ProcfsProcess(uint32_t id, int pidfd, Image image, std::string path)
      : id_(id), pidfd_(pidfd), image_(std::move(image)), path_(std::move(path)) {}
  ~ProcfsProcess() override { close(pidfd_); }
  ProcfsProcess(const ProcfsProcess&) = delete;
  ProcfsProcess& operator=(const ProcfsProcess&) = delete;

  uint32_t Id() const override { return id_; }
  const std::string& ModuleFileName() const override { return path_; }
  bool Terminate(uint32_t /*exit_code*/) override {
    // A process that has since started another program may no longer be ours to end.
    const std::optional<Image> now = ReadImage(id_);
    if (!now || !now->SameFile(image_))
      return false;
    return PidfdSignal(pidfd_, SIGKILL);
  }

 private:
  uint32_t id_;
  int pidfd_;
  Image image_;
  std::string path_;
};

}  // namespace

std::string OpenedProcess::ModuleBaseName() const {
  const std::string& path = ModuleFileName();
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

ProcfsProcessTable::ProcfsProcessTable(const FileSystem& files) : files_(files) {}

std::optional<std::vector<uint32_t>> ProcfsProcessTable::ReadIds() const {
  std::error_code error;
  fs::directory_iterator it("/proc", error);
  if (error)
    return std::nullopt;
  std::vector<uint32_t> ids;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error)
      return std::nullopt;
    const std::string name = it->path().filename().string();
    uint32_t id = 0;
    const auto [end, parse_error] = std::from_chars(name.data(), name.data() + name.size(), id);
    if (parse_error == std::errc() && end == name.data() + name.size())
      ids.push_back(id);
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

bool ProcfsProcessTable::EnumProcesses(std::span<uint32_t> ids, size_t& written) const {
  written = 0;
  const auto all = ReadIds();
  if (!all)
    return false;
  written = std::min(ids.size(), all->size());
  std::copy_n(all->begin(), written, ids.begin());
  return true;
}

std::unique_ptr<OpenedProcess> ProcfsProcessTable::OpenProcess(uint32_t id) const {
  if (IsReservedId(id) || id > static_cast<uint32_t>(INT_MAX))
    return nullptr;
  const int pidfd = PidfdOpen(static_cast<pid_t>(id));
  if (pidfd < 0)
    return nullptr;
  // The pidfd is taken first, so the executable read below belongs to the held process unless
  // that process died in between; the liveness check after the read rules that out.
  std::optional<Image> image = ReadImage(id);
  std::optional<std::string> windows_path;
  if (image)
    windows_path = files_.ToWindowsPath(image->path);
  if (!windows_path || !PidfdSignal(pidfd, 0)) {
    close(pidfd);
    return nullptr;
  }
  return std::make_unique<ProcfsProcess>(id, pidfd, std::move(*image), std::move(*windows_path));
}

std::optional<std::vector<ProcessSnapshotEntry>> ProcfsProcessTable::Snapshot() const {
  const auto ids = ReadIds();
  if (!ids)
    return std::nullopt;
  // A listing holds nothing open: whoever acts on an entry opens its process again.
  std::vector<ProcessSnapshotEntry> entries;
  for (const uint32_t id : *ids) {
    if (IsReservedId(id))
      continue;
    const std::optional<fs::path> path = ReadImagePath(id);
    if (!path)
      continue;
    if (std::optional<std::string> windows_path = files_.ToWindowsPath(*path))
      entries.push_back({id, std::move(*windows_path)});
  }
  return entries;
}

bool ProcfsProcessTable::EnablePrivilege(std::string_view name) {
  privilege_changes_.push_back({std::string(name), true});
  return true;
}

bool ProcfsProcessTable::DisablePrivilege(std::string_view name) {
  privilege_changes_.push_back({std::string(name), false});
  return true;
}

}  // namespace machine
