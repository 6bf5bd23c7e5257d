#include "machine/file_system_cache.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/epoll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "machine/encoding.h"
#include "machine/folder_names.h"
#include "machine/text.h"

namespace machine {

namespace {

// Enough for the folders a scan touches; beyond it folders are read directly.
constexpr size_t kMaxNodes = 8192;

constexpr uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                                IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr uint32_t kGoneMask = IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT;

constexpr unsigned long kGfs2Magic = 0x01161970;  // a cluster file system; not in linux/magic.h

// Whether inotify reports every change of a folder on this file system: not for changes made
// on another machine, nor for the kernel's own file systems, whose listings change unannounced.
bool ChangesReported(const struct statfs& info) {
  switch (static_cast<unsigned long>(info.f_type)) {
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case CIFS_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
    case V9FS_MAGIC:
    case CEPH_SUPER_MAGIC:
    case AFS_SUPER_MAGIC:
    case AFS_FS_MAGIC:
    case CODA_SUPER_MAGIC:
    case OCFS2_SUPER_MAGIC:
    case kGfs2Magic:
    case FUSE_SUPER_MAGIC:
    case HOSTFS_SUPER_MAGIC:
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case SELINUX_MAGIC:
    case SMACK_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case RDTGROUP_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case PSTOREFS_MAGIC:
    case EFIVARFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case BINFMTFS_MAGIC:
    case NSFS_MAGIC:
    case USBDEVICE_SUPER_MAGIC:
    case OPENPROM_SUPER_MAGIC:
    case XENFS_SUPER_MAGIC:
      return false;
    default:
      return true;
  }
}

}  // namespace

std::string CanonicalHostPath(const std::string& host_path) {
  char* resolved = realpath(host_path.c_str(), nullptr);
  if (resolved == nullptr)
    return std::string();
  std::string out(resolved);
  std::free(resolved);
  return out;
}

std::string DescriptorPath(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[PATH_MAX];
  const ssize_t length = readlink(link, target, sizeof target);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof target || target[0] != '/')
    return std::string();
  return std::string(target, static_cast<size_t>(length));
}

bool InsideRoot(std::string_view canonical_path, std::string_view canonical_root) {
  if (canonical_root.empty() || canonical_path.empty())
    return false;
  if (canonical_root == "/")
    return canonical_path.front() == '/';
  return canonical_path.starts_with(canonical_root) &&
         (canonical_path.size() == canonical_root.size() ||
          canonical_path[canonical_root.size()] == '/');
}

FileSystem::Cache::Cache(const Profile& profile) {
  for (const machine::Drive& d : profile.drives) {
    DriveState state;
    state.letter = d.letter;
    state.root = d.host_root.lexically_normal().string();
    // A drive declared remote may change from elsewhere, beyond what inotify reports.
    state.remote = d.type == DriveType::kRemote;
    while (state.root.size() > 1 && state.root.back() == '/')
      state.root.pop_back();
    drives_.push_back(std::move(state));
  }
  inotify_fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  // Asked before every look-up whether changes are queued: a wait that does not wait costs
  // less than any question put to the inotify descriptor itself.
  if (inotify_fd_ >= 0) {
    epoll_fd_ = epoll_create1(EPOLL_CLOEXEC);
    epoll_event watch{};
    watch.events = EPOLLIN;
    if (epoll_fd_ >= 0 && epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, inotify_fd_, &watch) != 0) {
      close(epoll_fd_);
      epoll_fd_ = -1;
    }
  }
}

FileSystem::Cache::~Cache() {
  CloseFolderFd();
  for (DriveState& d : drives_)
    d.node.reset();
  if (epoll_fd_ >= 0)
    close(epoll_fd_);
  if (inotify_fd_ >= 0)
    close(inotify_fd_);
}

FileSystem::Cache::DriveState* FileSystem::Cache::FindDriveState(char letter) {
  for (DriveState& d : drives_) {
    if (d.letter == letter)
      return &d;
  }
  return nullptr;
}

const std::string& FileSystem::Cache::CanonicalRoot(char letter) {
  static const std::string kNone;
  DriveState* drive = FindDriveState(letter);
  if (drive == nullptr || !PrepareDrive(*drive))
    return kNone;
  return drive->canonical_root;
}

bool FileSystem::Cache::PrepareDrive(DriveState& drive) {
  if (drive.node)
    return true;
  // No listing held: the root may have changed since it was last looked at.
  drive.canonical_root = CanonicalHostPath(drive.root);
  if (drive.canonical_root.empty())
    return false;
  struct statfs info {};
  drive.watchable = inotify_fd_ >= 0 && !drive.remote &&
                    statfs(drive.canonical_root.c_str(), &info) == 0 && ChangesReported(info);
  return true;
}

std::optional<FileSystem::Cache::Kind> FileSystem::Cache::Classify(
    const std::string& canonical_root, const std::string& folder, std::string_view name,
    unsigned char d_type) {
  if (d_type == DT_DIR)
    return Kind{true, false};
  if (d_type == DT_REG)
    return Kind{false, false};
  std::string host_path = folder;
  host_path.append("/").append(name);
  struct stat st {};
  if (d_type == DT_UNKNOWN) {
    if (lstat(host_path.c_str(), &st) != 0)
      return std::nullopt;
    if (S_ISDIR(st.st_mode))
      return Kind{true, false};
    if (S_ISREG(st.st_mode))
      return Kind{false, false};
    if (!S_ISLNK(st.st_mode))
      return std::nullopt;
  } else if (d_type != DT_LNK) {
    return std::nullopt;
  }
  // A symbolic link counts only while it leads to a file or folder inside the drive.
  const std::string target = CanonicalHostPath(host_path);
  if (!InsideRoot(target, canonical_root) || stat(target.c_str(), &st) != 0)
    return std::nullopt;
  if (S_ISDIR(st.st_mode))
    return Kind{true, true};
  if (S_ISREG(st.st_mode))
    return Kind{false, true};
  return std::nullopt;
}

void FileSystem::Cache::Unwatch(Node& node) {
  if (node.wd < 0)
    return;
  auto it = watches_.find(node.wd);
  if (it != watches_.end()) {
    std::erase(it->second, &node);
    if (it->second.empty()) {
      inotify_rm_watch(inotify_fd_, node.wd);
      watches_.erase(it);
    }
  }
  node.wd = -1;
}

void FileSystem::Cache::ForgetWatches(Node& node) {
  ++generation_;
  if (&node == fd_node_)
    CloseFolderFd();
  for (Entry& e : node.entries) {
    if (e.child)
      ForgetWatches(*e.child);
  }
  Unwatch(node);
  --node_count_;
}

void FileSystem::Cache::DestroyNode(Node* node) {
  ForgetWatches(*node);
  if (node->parent == nullptr) {
    for (DriveState& d : drives_) {
      if (d.node.get() == node)
        d.node.reset();
    }
    return;
  }
  for (Entry& e : node->parent->entries) {
    if (e.child.get() == node) {
      e.child.reset();
      return;
    }
  }
}

void FileSystem::Cache::DrainEvents() {
  if (inotify_fd_ < 0)
    return;
  if (moments_ > 0) {
    if (moment_checked_)
      return;
    moment_checked_ = true;
  }
  epoll_event ready;
  if (epoll_fd_ >= 0 && epoll_wait(epoll_fd_, &ready, 1, 0) == 0)
    return;  // nothing queued, the usual case
  alignas(inotify_event) char buffer[16384];
  for (;;) {
    const ssize_t length = read(inotify_fd_, buffer, sizeof buffer);
    if (length <= 0)
      return;
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      ++generation_;
      if (event->mask & IN_Q_OVERFLOW) {
        for (auto& [wd, nodes] : watches_) {
          for (Node* n : nodes)
            n->listed = false;
        }
        continue;
      }
      if (event->mask & kGoneMask) {
        // The folder was removed or moved: what we know under its old path is void.
        for (auto it = watches_.find(event->wd); it != watches_.end() && !it->second.empty();
             it = watches_.find(event->wd)) {
          DestroyNode(it->second.front());
        }
        continue;
      }
      if (auto it = watches_.find(event->wd); it != watches_.end()) {
        for (Node* n : it->second)
          n->listed = false;
      }
    }
  }
}

FileSystem::Cache::RefreshResult FileSystem::Cache::Refresh(DriveState& drive, Node& node) {
  if (node.listed)
    return RefreshResult::kReady;
  if (&node == fd_node_)
    CloseFolderFd();  // the folder may be another one by now
  const int fd = open(node.host_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    const bool gone = errno == ENOENT || errno == ENOTDIR;
    DestroyNode(&node);
    return gone ? RefreshResult::kGone : RefreshResult::kDirect;
  }
  // A listing answers for its entries without a stat(), which would fail in a folder that
  // cannot be searched; such a folder is read directly instead.
  struct stat st {};
  if (fstat(fd, &st) != 0 || faccessat(fd, ".", X_OK, AT_EACCESS) != 0) {
    close(fd);
    DestroyNode(&node);
    return RefreshResult::kDirect;
  }
  // Another file system mounted here may change without inotify saying so.
  struct statfs info {};
  if ((node.parent == nullptr || st.st_dev != node.parent->dev) &&
      (fstatfs(fd, &info) != 0 || !ChangesReported(info))) {
    close(fd);
    DestroyNode(&node);
    return RefreshResult::kDirect;
  }
  // Watch exactly the folder opened, whatever its path names by now.
  char proc_path[64];
  std::snprintf(proc_path, sizeof proc_path, "/proc/self/fd/%d", fd);
  const int wd = inotify_add_watch(inotify_fd_, proc_path, kWatchMask);
  if (wd < 0) {
    close(fd);
    DestroyNode(&node);
    return RefreshResult::kDirect;
  }
  if (wd != node.wd) {
    // A different folder than the one listed before: its old children are not ours.
    Unwatch(node);
    for (Entry& e : node.entries) {
      if (e.child) {
        ForgetWatches(*e.child);
        e.child.reset();
      }
    }
    node.wd = wd;
    watches_[wd].push_back(&node);
  }
  node.dev = st.st_dev;
  node.ino = st.st_ino;

  DIR* dir = fdopendir(fd);
  if (dir == nullptr) {
    close(fd);
    DestroyNode(&node);
    return RefreshResult::kDirect;
  }
  std::vector<std::string> host_names;
  std::vector<unsigned char> types;
  host_names.reserve(node.entries.size());
  while (const dirent* d = readdir(dir)) {
    const std::string_view name = d->d_name;
    if (name == "." || name == "..")
      continue;
    host_names.emplace_back(name);
    types.push_back(d->d_type);
  }
  std::vector<std::string> windows_names = FolderWindowsNames(host_names);
  std::vector<Entry> entries;
  entries.reserve(host_names.size());
  for (size_t i = 0; i < host_names.size(); ++i) {
    if (!IsValidWindowsName(windows_names[i]))
      continue;
    const std::optional<Kind> kind =
        Classify(drive.canonical_root, node.host_path, host_names[i], types[i]);
    if (!kind)
      continue;
    Entry e;
    e.host_name = std::move(host_names[i]);
    e.windows_name = std::move(windows_names[i]);
    e.is_folder = kind->is_folder;
    e.is_link = kind->is_link;
    entries.push_back(std::move(e));
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.host_name < b.host_name; });

  // Keep what is known of sub-folders that are still the same folders.
  for (Entry& old : node.entries) {
    if (!old.child)
      continue;
    auto it = std::lower_bound(
        entries.begin(), entries.end(), old.host_name,
        [](const Entry& e, const std::string& name) { return e.host_name < name; });
    struct stat child_st {};
    const bool same = it != entries.end() && it->host_name == old.host_name && it->is_folder &&
                      it->is_link == old.is_link &&
                      (old.child->wd < 0 ||
                       (fstatat(dirfd(dir), old.host_name.c_str(), &child_st, 0) == 0 &&
                        child_st.st_dev == old.child->dev && child_st.st_ino == old.child->ino));
    if (same) {
      it->child = std::move(old.child);
    } else {
      ForgetWatches(*old.child);
      old.child.reset();
    }
  }
  closedir(dir);

  std::unordered_map<std::string, int32_t> by_folded;
  by_folded.reserve(entries.size());
  for (int32_t i = 0; i < static_cast<int32_t>(entries.size()); ++i) {
    auto [it, inserted] = by_folded.try_emplace(ToUpper(entries[i].windows_name), i);
    if (!inserted) {
      int32_t last = it->second;
      while (entries[last].next_same_fold >= 0)
        last = entries[last].next_same_fold;
      entries[last].next_same_fold = i;
    }
  }
  node.entries = std::move(entries);
  node.by_folded = std::move(by_folded);
  node.listed = true;
  return RefreshResult::kReady;
}

FileSystem::Cache::Entry* FileSystem::Cache::Lookup(Node& node, std::string_view windows_name) {
  static const std::array<char, 256> kUpper = [] {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c)
      table[c] = ToUpperChar(static_cast<char>(c));
    return table;
  }();
  folded_.resize(windows_name.size());
  for (size_t i = 0; i < windows_name.size(); ++i)
    folded_[i] = kUpper[static_cast<unsigned char>(windows_name[i])];
  const auto it = node.by_folded.find(folded_);
  if (it == node.by_folded.end())
    return nullptr;
  for (int32_t i = it->second; i >= 0; i = node.entries[i].next_same_fold) {
    if (node.entries[i].windows_name == windows_name)
      return &node.entries[i];
  }
  return &node.entries[it->second];
}

FileSystem::Cache::Node* FileSystem::Cache::ChildNode(DriveState& drive, Node& node, Entry& entry,
                                                      bool& gone) {
  if (!entry.child) {
    if (node_count_ >= kMaxNodes || entry.read_directly)
      return nullptr;
    entry.child = std::make_unique<Node>();
    entry.child->host_path = node.host_path + "/" + entry.host_name;
    entry.child->parent = &node;
    ++node_count_;
  }
  Node* child = entry.child.get();
  switch (Refresh(drive, *child)) {
    case RefreshResult::kReady:
      return child;
    case RefreshResult::kGone:
      gone = true;
      return nullptr;
    case RefreshResult::kDirect:
      entry.read_directly = true;
      break;
  }
  return nullptr;
}

std::optional<FileSystem::Cache::Candidate> FileSystem::Cache::LookupDirect(
    const DriveState& drive, const std::string& folder, std::string_view windows_name) const {
  // A natural spelling is always its own host name's.
  const std::string exact = WindowsTextToHost(windows_name);
  if (HasNaturalWindowsName(exact)) {
    if (const auto kind = Classify(drive.canonical_root, folder, exact, DT_UNKNOWN))
      return Candidate{exact, std::string(windows_name), kind->is_folder};
  }
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr)
    return std::nullopt;
  std::vector<std::string> host_names;
  std::vector<unsigned char> types;
  while (const dirent* d = readdir(dir)) {
    const std::string_view name = d->d_name;
    if (name == "." || name == "..")
      continue;
    host_names.emplace_back(name);
    types.push_back(d->d_type);
  }
  closedir(dir);
  std::vector<std::string> windows_names = FolderWindowsNames(host_names);
  // As in a listing: the exact spelling first, else the first match in host-name order.
  std::optional<Candidate> best;
  for (size_t i = 0; i < host_names.size(); ++i) {
    const bool same = windows_names[i] == windows_name;
    if (!same &&
        (!EqualsIgnoreCase(windows_names[i], windows_name) ||
         (best && (best->windows_name == windows_name || host_names[i] >= best->host_name))))
      continue;
    if (const auto kind = Classify(drive.canonical_root, folder, host_names[i], types[i])) {
      best = Candidate{std::move(host_names[i]), std::move(windows_names[i]), kind->is_folder};
      if (same)
        break;
    }
  }
  return best;
}

FileSystem::Cache::RefreshResult FileSystem::Cache::PrepareRoot(DriveState& drive) {
  if (!drive.watchable)
    return RefreshResult::kDirect;
  if (!drive.node) {
    if (node_count_ >= kMaxNodes)
      return RefreshResult::kDirect;
    drive.node = std::make_unique<Node>();
    drive.node->host_path = drive.root;
    ++node_count_;
  }
  return Refresh(drive, *drive.node);
}

std::optional<FoundEntry> FileSystem::Cache::Find(const WindowsPath& path) {
  DrainEvents();
  DriveState* drive = FindDriveState(path.drive);
  if (drive == nullptr || !PrepareDrive(*drive))
    return std::nullopt;
  FoundEntry found;
  found.drive_root = &drive->canonical_root;
  found.listings_generation = &generation_;
  std::string host = drive->root;

  Node* node = nullptr;
  switch (PrepareRoot(*drive)) {
    case RefreshResult::kReady:
      node = drive->node.get();
      break;
    case RefreshResult::kGone:
      return std::nullopt;
    case RefreshResult::kDirect:
      break;
  }
  if (path.components.empty()) {
    struct stat st {};
    if (node == nullptr && (stat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
      return std::nullopt;
    found.host_path = std::move(host);
    found.is_folder = true;
    found.current = node != nullptr;
    found.found_in_generation = generation_;
    return found;
  }

  for (size_t i = 0; i < path.components.size(); ++i) {
    const std::string& name = path.components[i];
    const bool last = i + 1 == path.components.size();
    bool is_folder = false;
    if (node != nullptr) {
      Entry* entry = Lookup(*node, name);
      if (entry == nullptr)
        return std::nullopt;
      host.append("/").append(entry->host_name);
      is_folder = entry->is_folder;
      if (entry->is_link) {
        // Where a link leads changes unseen by the watch on its folder: it is asked afresh,
        // and what lies beyond it is read afresh.
        const std::optional<Kind> kind =
            Classify(drive->canonical_root, node->host_path, entry->host_name, DT_LNK);
        if (!kind)
          return std::nullopt;
        is_folder = kind->is_folder;
      }
      if (last) {
        found.name = entry->windows_name;
        found.hidden_name = entry->host_name.front() == '.';
        found.current = !entry->is_link;
        found.cached_dos_bits = entry->is_link ? nullptr : &entry->dos_bits;
      } else if (entry->is_link) {
        node = nullptr;
      } else if (is_folder) {
        bool gone = false;
        node = ChildNode(*drive, *node, *entry, gone);
        if (gone)
          return std::nullopt;
      }
    } else {
      std::optional<Candidate> candidate = LookupDirect(*drive, host, name);
      if (!candidate)
        return std::nullopt;
      host.append("/").append(candidate->host_name);
      is_folder = candidate->is_folder;
      found.hidden_name = candidate->host_name.front() == '.';
      if (last)
        found.name = std::move(candidate->windows_name);
    }
    if (last) {
      found.host_path = std::move(host);
      found.is_folder = is_folder;
      found.found_in_generation = generation_;
      return found;
    }
    if (!is_folder)
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<CreateTarget> FileSystem::Cache::FindForCreate(const WindowsPath& path) {
  if (path.components.empty())
    return std::nullopt;
  WindowsPath parent = path;
  parent.components.pop_back();
  std::optional<FoundEntry> folder = Find(parent);
  if (!folder || !folder->is_folder)
    return std::nullopt;
  CreateTarget target;
  target.windows_name = path.components.back();
  target.existing = Find(path);
  target.host_path = target.existing
                         ? target.existing->host_path
                         : folder->host_path + "/" + WindowsTextToHost(target.windows_name);
  target.parent_host_path = std::move(folder->host_path);
  return target;
}

}  // namespace machine
