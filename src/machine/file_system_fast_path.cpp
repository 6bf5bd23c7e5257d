// The quick way to an entry: the text of its folder names a held listing directly, so most
// look-ups cost one hash look-up for the folder and one for the name.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "machine/file_system_cache.h"

namespace machine {

namespace {

constexpr size_t kMaxFolderHits = 65536;

bool EndsWithDotOrBlank(std::string_view text) {
  return text.back() == '.' || text.back() == ' ';
}

}  // namespace

FileSystem::Cache::Node* FileSystem::Cache::FolderNode(const WindowsPath& folder,
                                                       DriveState*& drive) {
  drive = FindDriveState(folder.drive);
  if (drive == nullptr || !PrepareDrive(*drive) || PrepareRoot(*drive) != RefreshResult::kReady)
    return nullptr;
  Node* node = drive->node.get();
  for (const std::string& name : folder.components) {
    Entry* entry = Lookup(*node, name);
    if (entry == nullptr || !entry->is_folder || entry->is_link)
      return nullptr;
    bool gone = false;
    node = ChildNode(*drive, *node, *entry, gone);
    if (node == nullptr)
      return nullptr;
  }
  return node;
}

std::optional<FileSystem::Cache::FastHit> FileSystem::Cache::FindFast(std::string_view text) {
  DrainEvents();
  // A file is mostly looked at, then opened: the path asked for last is answered again as long
  // as nothing has changed.
  if (last_path_generation_ == generation_ && text == last_path_)
    return last_path_hit_;
  // Only plain cases: "X:\...\name" with a name that the full parse would keep as it is, and
  // a folder text whose last name would not lose trailing dots or blanks there.
  size_t separator = text.size();
  while (separator > 0 && text[separator - 1] != '\\' && text[separator - 1] != '/')
    --separator;
  if (separator < 3 || separator == text.size())
    return std::nullopt;
  --separator;
  const std::string_view name = text.substr(separator + 1);
  const std::string_view folder_text = text.substr(0, separator);
  if (EndsWithDotOrBlank(name) || EndsWithDotOrBlank(folder_text) || !IsValidWindowsName(name))
    return std::nullopt;

  if (last_folder_.node == nullptr || last_folder_.generation != generation_ ||
      folder_text != last_folder_text_) {
    auto hit = folder_hits_.find(folder_text);
    if (hit == folder_hits_.end() || hit->second.generation != generation_) {
      const std::optional<WindowsPath> folder = ParseWindowsPath(folder_text);
      DriveState* drive = nullptr;
      Node* node = folder ? FolderNode(*folder, drive) : nullptr;
      if (node == nullptr)
        return std::nullopt;
      if (folder_hits_.size() >= kMaxFolderHits)
        folder_hits_.clear();
      hit = folder_hits_
                .insert_or_assign(std::string(folder_text), FolderHit{node, drive, generation_})
                .first;
    }
    last_folder_text_.assign(folder_text);
    last_folder_ = hit->second;
  }
  Node* node = last_folder_.node;
  if (!node->listed)
    return std::nullopt;
  last_path_.assign(text);
  last_path_generation_ = generation_;
  last_path_hit_ = FastHit{node, Lookup(*node, name), last_folder_.drive};
  return last_path_hit_;
}

bool FileSystem::Cache::TryFindFast(std::string_view text, std::optional<FoundEntry>& found) {
  const std::optional<FastHit> hit = FindFast(text);
  if (!hit)
    return false;
  if (hit->entry != nullptr && hit->entry->is_link)
    return false;  // where a link leads now only the full look-up asks
  found.reset();
  if (hit->entry == nullptr)
    return true;
  const Node& node = *hit->node;
  const Entry& entry = *hit->entry;
  FoundEntry& out = found.emplace();
  out.folder_host_path = &node.host_path;
  out.host_name = &entry.host_name;
  out.name = entry.windows_name;
  out.is_folder = entry.is_folder;
  out.hidden_name = entry.host_name.front() == '.';
  out.current = true;
  out.cached_dos_bits = &hit->entry->dos_bits;
  out.drive_root = &hit->drive->canonical_root;
  out.listings_generation = &generation_;
  out.found_in_generation = generation_;
  return true;
}

bool FileSystem::Cache::TryOpenFast(std::string_view text, int& fd) {
  const std::optional<FastHit> hit = FindFast(text);
  if (!hit)
    return false;
  if (hit->entry != nullptr && hit->entry->is_link)
    return false;
  fd = -1;
  if (hit->entry == nullptr || hit->entry->is_folder)
    return true;
  // Relative to the folder, the host does not walk the whole path again; and not through a
  // link put in the file's place since the folder was read.
  const int folder = FolderFd(*hit->node, hit->drive->canonical_root);
  if (folder < 0)
    return false;
  fd = OpenForReadingAt(folder, hit->entry->host_name.c_str(), false);
  return fd >= 0 || errno != ELOOP;
}

int FileSystem::Cache::FolderFd(Node& node, const std::string& canonical_root) {
  if (fd_node_ == &node)
    return folder_fd_;
  CloseFolderFd();
  const int fd = open(node.host_path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  struct stat st {};
  // Only the very folder that was listed, where it lies inside the drive now; anything else
  // waits for its change to be reported.
  if (fd < 0 || fstat(fd, &st) != 0 || st.st_dev != node.dev || st.st_ino != node.ino ||
      !InsideRoot(DescriptorPath(fd), canonical_root)) {
    if (fd >= 0)
      close(fd);
    return -1;
  }
  fd_node_ = &node;
  folder_fd_ = fd;
  return fd;
}

void FileSystem::Cache::CloseFolderFd() {
  if (folder_fd_ >= 0)
    close(folder_fd_);
  folder_fd_ = -1;
  fd_node_ = nullptr;
}

const std::string& FoundEntry::HostPath() {
  if (host_path.empty() && folder_host_path != nullptr && ListingsUnchanged())
    host_path.append(*folder_host_path).append("/").append(*host_name);
  return host_path;
}

int OpenForReadingAt(int at, const char* path, bool follow_links) {
  const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (follow_links ? 0 : O_NOFOLLOW);
  const int fd = openat(at, path, flags | O_NOATIME);
  if (fd >= 0 || errno != EPERM)
    return fd;
  return openat(at, path, flags);  // O_NOATIME is for the owner of the file only
}

}  // namespace machine
