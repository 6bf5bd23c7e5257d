#include "machine/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "machine/dos_attributes.h"
#include "machine/encoding.h"
#include "machine/file_system_cache.h"
#include "machine/folder_names.h"
#include "machine/host_files.h"
#include "machine/text.h"

namespace machine {

namespace {

namespace fs = std::filesystem;

// Guards changes against a chain of links that has come to lead out of the drive since the
// folder was read.
bool StillInside(const FoundEntry& entry) {
  return InsideRoot(CanonicalHostPath(entry.host_path), *entry.drive_root);
}

bool ParentStillInside(const CreateTarget& target, const std::string& canonical_root) {
  return InsideRoot(CanonicalHostPath(target.parent_host_path), canonical_root);
}

// The folder a write goes into, held open so that the write is made relative to it, and
// checked where it really is once opened: whatever its path's links lead to by now, the write
// lands inside the drive. Closes itself.
class WriteFolder {
 public:
  WriteFolder(const CreateTarget& target, const std::string& canonical_root)
      : fd_(open(target.parent_host_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0 && !InsideRoot(RealPath(), canonical_root)) {
      close(fd_);
      fd_ = -1;
    }
    const size_t slash = target.host_path.rfind('/');
    name_ = target.host_path.substr(slash == std::string::npos ? 0 : slash + 1);
  }
  ~WriteFolder() {
    if (fd_ >= 0)
      close(fd_);
  }
  WriteFolder(const WriteFolder&) = delete;
  WriteFolder& operator=(const WriteFolder&) = delete;

  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  // The host name of the entry written, as the target gave it.
  const std::string& name() const { return name_; }

 private:
  std::string RealPath() const {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd_);
    char buffer[PATH_MAX];
    const ssize_t size = readlink(link, buffer, sizeof buffer);
    return size > 0 && static_cast<size_t>(size) < sizeof buffer
               ? std::string(buffer, static_cast<size_t>(size))
               : std::string();
  }

  int fd_;
  std::string name_;
};

// The DOS bits of an entry, read from the host only the first time for a listed one.
uint32_t DosBits(FoundEntry& found) {
  if (const int* cached = found.DosBitsCache(); cached != nullptr && *cached >= 0)
    return static_cast<uint32_t>(*cached);
  const uint32_t bits = ReadDosAttrib(found.HostPath());
  if (int* cached = found.DosBitsCache())
    *cached = static_cast<int>(bits & 0x7FFFFFFF);
  return bits;
}

// Whether an entry is a folder (or else a file); nothing when it is neither by now. A current
// listing knows; otherwise the host is asked.
std::optional<bool> IsFolder(FoundEntry& found) {
  if (found.current)
    return found.is_folder;
  struct stat st {};
  if (stat(found.HostPath().c_str(), &st) != 0 || (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)))
    return std::nullopt;
  return S_ISDIR(st.st_mode);
}

FileAttributes AttributesOf(const struct stat& st, uint32_t dos_bits, bool hidden_name) {
  FileAttributes a;
  a.is_folder = S_ISDIR(st.st_mode);
  a.size = a.is_folder ? 0 : static_cast<uint64_t>(st.st_size);
  a.hidden = hidden_name || (dos_bits & kDosHidden) != 0;
  a.system = (dos_bits & kDosSystem) != 0;
  a.read_only = (dos_bits & kDosReadOnly) != 0 || (!a.is_folder && (st.st_mode & S_IWUSR) == 0);
  return a;
}

}  // namespace

// Held by every method that may change the file system, so that a Moment sees the change.
class FileSystem::OwnChange {
 public:
  explicit OwnChange(Cache& cache) : cache_(cache) {}
  ~OwnChange() { cache_.NoteOwnChange(); }
  OwnChange(const OwnChange&) = delete;
  OwnChange& operator=(const OwnChange&) = delete;

 private:
  Cache& cache_;
};

FileSystem::Moment::Moment(const FileSystem& files) : cache_(*files.cache_) {
  cache_.BeginMoment();
}

FileSystem::Moment::~Moment() {
  cache_.EndMoment();
}

FileSystem::FileSystem(const Profile& profile)
    : profile_(profile), cache_(std::make_unique<Cache>(profile)) {}

FileSystem::~FileSystem() = default;

std::optional<FoundEntry> FileSystem::Find(std::string_view windows_path) const {
  std::optional<FoundEntry> found;
  if (!cache_->TryFindFast(windows_path, found)) {
    const std::optional<WindowsPath> path = ParseWindowsPath(windows_path);
    if (!path)
      return std::nullopt;
    found = cache_->Find(*path);
  }
  return found;
}

std::optional<fs::path> FileSystem::Resolve(std::string_view windows_path) const {
  std::optional<std::string> host_path = ResolveHostPath(windows_path);
  if (!host_path)
    return std::nullopt;
  return fs::path(std::move(*host_path));
}

std::optional<std::string> FileSystem::ResolveHostPath(std::string_view windows_path) const {
  std::optional<FoundEntry> found = Find(windows_path);
  if (!found)
    return std::nullopt;
  found->HostPath();
  return std::move(found->host_path);
}

std::optional<fs::path> FileSystem::ResolveForCreate(std::string_view windows_path) const {
  const std::optional<WindowsPath> path = ParseWindowsPath(windows_path);
  if (!path)
    return std::nullopt;
  std::optional<CreateTarget> target = cache_->FindForCreate(*path);
  if (!target)
    return std::nullopt;
  return fs::path(std::move(target->host_path));
}

std::optional<std::string> FileSystem::ToWindowsPath(const fs::path& host_path) const {
  std::error_code error;
  const fs::path absolute = host_path.is_absolute() ? host_path : fs::absolute(host_path, error);
  if (error)
    return std::nullopt;
  std::string normal = absolute.lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/')
    normal.pop_back();

  char best_drive = 0;
  size_t best_length = 0;
  for (const Drive& drive : profile_.drives) {
    std::string root = drive.host_root.lexically_normal().string();
    while (root.size() > 1 && root.back() == '/')
      root.pop_back();
    for (const std::string& candidate : {root, cache_->CanonicalRoot(drive.letter)}) {
      if (InsideRoot(normal, candidate) && candidate.size() > best_length) {
        best_drive = drive.letter;
        best_length = candidate.size() == 1 ? 0 : candidate.size();
      }
    }
  }
  if (best_drive == 0)
    return std::nullopt;
  WindowsPath out;
  out.drive = best_drive;
  std::string folder = normal.substr(0, best_length);
  for (const std::string& name : Split(std::string_view(normal).substr(best_length), "/")) {
    if (name.empty())
      continue;
    std::string windows_name = WindowsNameInFolder(folder.empty() ? "/" : folder, name);
    if (!IsValidWindowsName(windows_name))
      return std::nullopt;
    out.components.push_back(std::move(windows_name));
    folder.append("/").append(name);
  }
  return out.ToString();
}

std::optional<FileAttributes> FileSystem::Attributes(std::string_view windows_path) const {
  std::optional<FoundEntry> found = Find(windows_path);
  struct stat st {};
  if (!found || stat(found->HostPath().c_str(), &st) != 0 ||
      (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)))
    return std::nullopt;
  return AttributesOf(st, DosBits(*found), found->hidden_name);
}

std::optional<FileStamp> FileSystem::Stamp(std::string_view windows_path) const {
  std::optional<FoundEntry> found = Find(windows_path);
  struct stat st {};
  if (!found || stat(found->HostPath().c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    return std::nullopt;
  return StampOf(st);
}

std::optional<EntryInfo> FileSystem::Query(std::string_view windows_path) const {
  std::optional<FoundEntry> found = Find(windows_path);
  const std::optional<bool> is_folder = found ? IsFolder(*found) : std::nullopt;
  if (!is_folder)
    return std::nullopt;
  EntryInfo info;
  info.is_folder = *is_folder;
  const uint32_t dos_bits = DosBits(*found);
  info.hidden = found->hidden_name || (dos_bits & kDosHidden) != 0;
  info.system = (dos_bits & kDosSystem) != 0;
  info.name = std::move(found->name);
  return info;
}

bool FileSystem::FileExists(std::string_view windows_path) const {
  std::optional<FoundEntry> found = Find(windows_path);
  const std::optional<bool> is_folder = found ? IsFolder(*found) : std::nullopt;
  return is_folder && !*is_folder;
}

bool FileSystem::FolderExists(std::string_view windows_path) const {
  std::optional<FoundEntry> found = Find(windows_path);
  const std::optional<bool> is_folder = found ? IsFolder(*found) : std::nullopt;
  return is_folder && *is_folder;
}

std::vector<FolderEntry> FileSystem::List(std::string_view windows_folder) const {
  std::vector<FolderEntry> entries;
  const std::optional<WindowsPath> path = ParseWindowsPath(windows_folder);
  const std::optional<FoundEntry> found = path ? cache_->Find(*path) : std::nullopt;
  if (!found || !found->is_folder)
    return entries;
  const int fd = open(found->host_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return entries;
  // The folder as it is when opened, which must lie inside the drive.
  const std::string folder = DescriptorPath(fd);
  DIR* dir = InsideRoot(folder, *found->drive_root) ? fdopendir(fd) : nullptr;
  if (dir == nullptr) {
    close(fd);
    return entries;
  }
  std::vector<std::string> host_names;
  while (const dirent* d = readdir(dir)) {
    const std::string_view name = d->d_name;
    if (name != "." && name != "..")
      host_names.emplace_back(name);
  }
  std::vector<std::string> windows_names = FolderWindowsNames(host_names);
  for (size_t i = 0; i < host_names.size(); ++i) {
    if (!IsValidWindowsName(windows_names[i]))
      continue;
    if (!Cache::Classify(*found->drive_root, folder, host_names[i], DT_UNKNOWN))
      continue;
    const std::string host = folder + "/" + host_names[i];
    struct stat st {};
    if (stat(host.c_str(), &st) != 0)
      continue;
    const bool hidden_name = host_names[i].front() == '.';
    entries.push_back(
        {std::move(windows_names[i]), AttributesOf(st, ReadDosAttrib(host), hidden_name)});
  }
  closedir(dir);
  return entries;
}

bool FileSystem::CanRead(std::string_view windows_path, uint64_t cap) const {
  const int fd = OpenForReading(windows_path);
  if (fd < 0)
    return false;
  struct stat info {};
  const bool readable = ::fstat(fd, &info) == 0 && static_cast<uint64_t>(info.st_size) <= cap;
  ::close(fd);
  return readable;
}

int FileSystem::OpenForReading(std::string_view windows_path) const {
  int fd = -1;
  if (cache_->TryOpenFast(windows_path, fd))
    return fd;
  const std::optional<WindowsPath> path = ParseWindowsPath(windows_path);
  const std::optional<FoundEntry> found = path ? cache_->Find(*path) : std::nullopt;
  if (!found || found->is_folder)
    return -1;
  // Whatever was found, only a file inside the drive at the moment it is opened is handed out.
  fd = OpenForReadingAt(AT_FDCWD, found->host_path.c_str());
  if (fd >= 0 && !InsideRoot(DescriptorPath(fd), *found->drive_root)) {
    close(fd);
    return -1;
  }
  return fd;
}

std::optional<std::string> FileSystem::ReadFile(std::string_view windows_path, uint64_t cap) const {
  const std::optional<WindowsPath> path = ParseWindowsPath(windows_path);
  const std::optional<FoundEntry> found = path ? cache_->Find(*path) : std::nullopt;
  if (!found || found->is_folder || !StillInside(*found))
    return std::nullopt;
  return ReadWholeFile(found->host_path, cap);
}

std::optional<std::string_view> FileSystem::ReadFile(std::string_view windows_path, uint64_t cap,
                                                     std::string& buffer) const {
  const int fd = OpenForReading(windows_path);
  if (fd < 0)
    return std::nullopt;
  const std::optional<std::string_view> bytes = ReadOpenFile(fd, cap, buffer);
  close(fd);
  return bytes;
}

std::optional<GrowthRead> FileSystem::ReadSince(std::string_view windows_path,
                                                const std::optional<ReadMark>& since,
                                                uint64_t cap) const {
  const int fd = OpenForReading(windows_path);
  if (fd < 0)
    return std::nullopt;
  std::optional<GrowthRead> read = ReadSinceMark(fd, since, cap);
  close(fd);
  return read;
}

bool FileSystem::ReadFileInPieces(std::string_view windows_path, uint64_t cap, size_t piece_size,
                                  const std::function<void(std::string_view)>& use) const {
  const int fd = OpenForReading(windows_path);
  const bool read = ReadOpenFileInPieces(fd, cap, piece_size, use);
  if (fd >= 0)
    close(fd);
  return read;
}

bool FileSystem::WriteInFolder(std::string_view windows_path,
                               const std::function<bool(int, const std::string&)>& write) {
  const OwnChange change(*cache_);
  const std::optional<WindowsPath> path = ParseWindowsPath(windows_path);
  const std::optional<CreateTarget> target = path ? cache_->FindForCreate(*path) : std::nullopt;
  if (!target || (target->existing && target->existing->is_folder))
    return false;
  const WriteFolder folder(*target, cache_->CanonicalRoot(path->drive));
  return folder.ok() && write(folder.fd(), folder.name());
}

bool FileSystem::WriteFile(std::string_view windows_path, std::string_view content) {
  return WriteInFolder(windows_path, [content](int folder, const std::string& name) {
    return WriteWholeFileAt(folder, name, content);
  });
}

bool FileSystem::AppendFile(std::string_view windows_path, std::string_view content) {
  return WriteInFolder(windows_path, [content](int folder, const std::string& name) {
    return AppendToFileAt(folder, name, content);
  });
}

bool FileSystem::AppendLine(std::string_view windows_path, std::string_view line,
                            std::optional<ReadMark>& mark) {
  const bool appended =
      WriteInFolder(windows_path, [line, &mark](int folder, const std::string& name) {
        const int fd = OpenForAppendAt(folder, name);
        const bool written = fd >= 0 && AppendLineAt(fd, line, mark);
        return (fd < 0 || close(fd) == 0) && written;
      });
  // The file may have changed without our append reaching it.
  if (!appended)
    mark.reset();
  return appended;
}

bool FileSystem::ReplacementSet::Start(std::string_view windows_path) {
  const std::optional<WindowsPath> path = ParseWindowsPath(windows_path);
  const std::optional<CreateTarget> target =
      path ? files_.cache_->FindForCreate(*path) : std::nullopt;
  if (!target || (target->existing && target->existing->is_folder))
    return false;
  if (!replacement_) {
    const WriteFolder folder(*target, files_.cache_->CanonicalRoot(path->drive));
    if (!folder.ok())
      return false;
    folder_host_path_ = target->parent_host_path;
    replacement_ = std::make_unique<FileSetReplacement>(folder.fd());
  } else if (target->parent_host_path != folder_host_path_) {
    return false;
  }
  const size_t slash = target->host_path.rfind('/');
  return replacement_->Start(target->host_path.substr(slash + 1));
}

bool FileSystem::ReplacementSet::Commit() {
  const OwnChange change(*files_.cache_);
  return !replacement_ || replacement_->Commit();
}

void FileSystem::RemoveTemporaryFiles(std::string_view windows_folder) {
  const OwnChange change(*cache_);
  const std::optional<WindowsPath> path = ParseWindowsPath(windows_folder);
  const std::optional<FoundEntry> found = path ? cache_->Find(*path) : std::nullopt;
  if (!found || !found->is_folder)
    return;
  const int folder = open(found->host_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0)
    return;
  if (InsideRoot(DescriptorPath(folder), *found->drive_root))
    RemoveTemporaryFilesAt(folder);
  close(folder);
}

bool FileSystem::CreateFolder(std::string_view windows_path) {
  const OwnChange change(*cache_);
  const std::optional<WindowsPath> path = ParseWindowsPath(windows_path);
  if (!path)
    return false;
  std::vector<std::string> created;
  WindowsPath prefix{path->drive, {}};
  bool ok = cache_->Find(prefix).has_value();
  for (size_t i = 0; ok && i < path->components.size(); ++i) {
    prefix.components.push_back(path->components[i]);
    const std::optional<CreateTarget> target = cache_->FindForCreate(prefix);
    if (!target || !ParentStillInside(*target, cache_->CanonicalRoot(path->drive))) {
      ok = false;
    } else if (target->existing) {
      ok = target->existing->is_folder;
    } else if (const WriteFolder parent(*target, cache_->CanonicalRoot(path->drive));
               parent.ok() && mkdirat(parent.fd(), parent.name().c_str(), 0777) == 0) {
      created.push_back(target->host_path);
    } else {
      ok = false;
    }
  }
  if (!ok) {
    // Leave no half-made chain of folders behind.
    for (auto it = created.rbegin(); it != created.rend(); ++it)
      rmdir(it->c_str());
  }
  return ok;
}

bool FileSystem::DeleteFile(std::string_view windows_path) {
  const OwnChange change(*cache_);
  const std::optional<WindowsPath> path = ParseWindowsPath(windows_path);
  const std::optional<FoundEntry> found = path ? cache_->Find(*path) : std::nullopt;
  if (!found || found->is_folder || !StillInside(*found))
    return false;
  return unlink(found->host_path.c_str()) == 0;
}

bool FileSystem::DeleteFolder(std::string_view windows_path) {
  const OwnChange change(*cache_);
  const std::optional<WindowsPath> path = ParseWindowsPath(windows_path);
  if (!path || path->components.empty())
    return false;  // never a whole drive
  const std::optional<FoundEntry> found = cache_->Find(*path);
  if (!found || !found->is_folder || !StillInside(*found))
    return false;
  std::error_code error;
  fs::remove_all(found->host_path, error);
  return !error;
}

bool FileSystem::Copy(std::string_view from_windows_path, std::string_view to_windows_path) {
  const OwnChange change(*cache_);
  const std::optional<WindowsPath> from = ParseWindowsPath(from_windows_path);
  const std::optional<WindowsPath> to = ParseWindowsPath(to_windows_path);
  if (!from || !to)
    return false;
  const std::optional<FoundEntry> source = cache_->Find(*from);
  if (!source || !StillInside(*source))
    return false;
  const std::optional<CreateTarget> target = cache_->FindForCreate(*to);
  if (!target || target->existing)
    return false;
  const std::string target_parent = CanonicalHostPath(target->parent_host_path);
  if (!InsideRoot(target_parent, cache_->CanonicalRoot(to->drive)))
    return false;
  // A folder copied into itself would never end.
  if (source->is_folder && InsideRoot(target_parent, CanonicalHostPath(source->host_path)))
    return false;
  return CopyAtomically(source->host_path, target->host_path);
}

bool FileSystem::Rename(std::string_view from_windows_path, std::string_view to_windows_path) {
  const OwnChange change(*cache_);
  const std::optional<WindowsPath> from = ParseWindowsPath(from_windows_path);
  const std::optional<WindowsPath> to = ParseWindowsPath(to_windows_path);
  if (!from || !to || from->drive != to->drive || from->components.empty())
    return false;
  const std::optional<FoundEntry> source = cache_->Find(*from);
  if (!source || !StillInside(*source))
    return false;
  const std::optional<CreateTarget> target = cache_->FindForCreate(*to);
  if (!target || !ParentStillInside(*target, cache_->CanonicalRoot(to->drive)))
    return false;
  if (!target->existing)
    return RenameNoReplace(source->host_path, target->host_path);
  if (target->existing->host_path == source->host_path) {
    // The same entry under another spelling: change only the case of its name.
    const std::string respelled =
        target->parent_host_path + "/" + WindowsTextToHost(target->windows_name);
    return respelled == source->host_path || RenameNoReplace(source->host_path, respelled);
  }
  if (source->is_folder || target->existing->is_folder)
    return false;
  if (const size_t slash = source->host_path.rfind('/');
      source->host_path.substr(0, slash) == target->parent_host_path) {
    const WriteFolder folder(*target, cache_->CanonicalRoot(to->drive));
    return folder.ok() &&
           ReplaceWithFileAt(folder.fd(), source->host_path.substr(slash + 1), folder.name());
  }
  return rename(source->host_path.c_str(), target->host_path.c_str()) == 0;
}

bool FileSystem::SetHidden(std::string_view windows_path, bool hidden) {
  const OwnChange change(*cache_);
  const std::optional<WindowsPath> path = ParseWindowsPath(windows_path);
  const std::optional<FoundEntry> found = path ? cache_->Find(*path) : std::nullopt;
  if (!found || path->components.empty() || !StillInside(*found))
    return false;
  if (found->hidden_name)
    return hidden;  // a name beginning with "." stays hidden
  return UpdateDosAttrib(found->host_path, kDosHidden, hidden);
}

}  // namespace machine
