// The quick way to an entry: the text of its folder names a held listing directly, so most
// look-ups cost one hash look-up for the folder and one for the name.
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
    if (entry == nullptr || !entry->is_folder)
      return nullptr;
    bool gone = false;
    node = ChildNode(*drive, *node, *entry, gone);
    if (node == nullptr)
      return nullptr;
  }
  return node;
}

bool FileSystem::Cache::TryFindFast(std::string_view text, std::optional<FoundEntry>& found) {
  DrainEvents();
  // Only plain cases: "X:\...\name" with a name that the full parse would keep as it is, and
  // a folder text whose last name would not lose trailing dots or blanks there.
  size_t separator = text.size();
  while (separator > 0 && text[separator - 1] != '\\' && text[separator - 1] != '/')
    --separator;
  if (separator < 3 || separator == text.size())
    return false;
  --separator;
  const std::string_view name = text.substr(separator + 1);
  const std::string_view folder_text = text.substr(0, separator);
  if (EndsWithDotOrBlank(name) || EndsWithDotOrBlank(folder_text) || !IsValidWindowsName(name))
    return false;

  auto hit = folder_hits_.find(folder_text);
  if (hit == folder_hits_.end() || hit->second.generation != generation_) {
    const std::optional<WindowsPath> folder = ParseWindowsPath(folder_text);
    DriveState* drive = nullptr;
    Node* node = folder ? FolderNode(*folder, drive) : nullptr;
    if (node == nullptr)
      return false;
    if (folder_hits_.size() >= kMaxFolderHits)
      folder_hits_.clear();
    hit =
        folder_hits_.insert_or_assign(std::string(folder_text), FolderHit{node, drive, generation_})
            .first;
  }
  Node* node = hit->second.node;
  if (!node->listed)
    return false;
  Entry* entry = Lookup(*node, name);
  if (entry == nullptr) {
    found.reset();
    return true;
  }
  FoundEntry& out = found.emplace();
  out.host_path.reserve(node->host_path.size() + 1 + entry->host_name.size());
  out.host_path.append(node->host_path).append("/").append(entry->host_name);
  out.name = entry->windows_name;
  out.is_folder = entry->is_folder;
  out.hidden_name = entry->windows_name.front() == '.';
  out.current = !node->via_link && !entry->is_link;
  out.cached_dos_bits = &entry->dos_bits;
  out.drive_root = &hit->second.drive->canonical_root;
  return true;
}

}  // namespace machine
