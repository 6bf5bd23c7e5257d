#include "removal/safe_path.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "machine/held_folder.h"
#include "machine/machine.h"
#include "machine/text.h"
#include "services/system.h"

namespace removal {

namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// The platform drops trailing dots and blanks from names, so "WINDOWS." is "WINDOWS".
std::string_view DropTrailingDotsAndBlanks(std::string_view name) {
  while (!name.empty() && (name.back() == '.' || name.back() == ' '))
    name.remove_suffix(1);
  return name;
}

// True when `outer` is `inner` or one of the folders above it.
bool Encloses(const std::vector<std::string>& outer, const std::vector<std::string>& inner) {
  return outer.size() <= inner.size() && std::equal(outer.begin(), outer.end(), inner.begin());
}

// What the text alone shows: kNone when it is an absolute path whose names are all real names.
PathRefusal CheckText(std::string_view path) {
  const bool has_drive = path.size() >= 2 && path[1] == ':' &&
                         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (!has_drive)
    return PathRefusal::kNotAbsolute;
  if (path.size() == 2)
    return PathRefusal::kDriveRoot;
  if (!IsSeparator(path[2]))
    return PathRefusal::kNotAbsolute;  // "C:name" depends on a current folder
  if (std::all_of(path.begin() + 2, path.end(), IsSeparator))
    return PathRefusal::kDriveRoot;
  if (IsSeparator(path.back()))
    return PathRefusal::kTrailingBackslash;
  size_t pos = 3;
  while (pos < path.size()) {
    size_t end = pos;
    while (end < path.size() && !IsSeparator(path[end]))
      ++end;
    if (end > pos && DropTrailingDotsAndBlanks(path.substr(pos, end - pos)).empty())
      return PathRefusal::kDotName;
    pos = end + 1;
  }
  return PathRefusal::kNone;
}

// Deeper than this, a folder's ancestors are not followed (no real tree is that deep).
constexpr int kMostDepth = 1024;

// The identities of a folder and of every folder above it, from the folder up; empty when it
// does not exist.
std::vector<PathGuard::Identity> IdentityChain(const machine::FileSystem& files,
                                               std::string_view windows_folder) {
  const std::optional<std::filesystem::path> host = files.Resolve(windows_folder);
  if (!host)
    return {};
  return machine::FolderIdentityChain(host->string(), kMostDepth);
}

}  // namespace

std::string_view DescribeRefusal(PathRefusal refusal) {
  switch (refusal) {
    case PathRefusal::kNone:
      return "allowed";
    case PathRefusal::kNotAbsolute:
      return "not an absolute path";
    case PathRefusal::kDriveRoot:
      return "a whole drive";
    case PathRefusal::kDotName:
      return "holds \".\" or \"..\"";
    case PathRefusal::kTrailingBackslash:
      return "ends in a backslash";
    case PathRefusal::kBadName:
      return "holds a name no file may have";
    case PathRefusal::kProgramFolder:
      return "the program's own folder";
    case PathRefusal::kProtectedFolder:
      return "a system folder or a folder above one";
    case PathRefusal::kElsewhere:
      return "leads outside the machine's drives";
  }
  return "refused";
}

PathGuard::PathGuard(const services::System& system) : files_(system.machine.files()) {
  const machine::Profile& profile = system.machine.profile();
  const auto fold = [](std::string_view text) -> std::optional<Folded> {
    const std::optional<machine::WindowsPath> parsed = machine::ParseWindowsPath(text);
    if (!parsed)
      return std::nullopt;
    return Fold(*parsed);
  };
  if (auto program = fold(profile.program_folder))
    program_folder_ = std::move(*program);
  std::vector<std::string> folders = {profile.system_folder};
  for (const auto& [csidl, folder] : profile.special_folders)
    folders.push_back(folder);
  // The Windows folder is the system folder's parent when the profile does not name it.
  if (auto system_folder = machine::ParseWindowsPath(profile.system_folder);
      system_folder && !system_folder->components.empty()) {
    system_folder->components.pop_back();
    folders.push_back(system_folder->ToString());
  }
  for (const std::string& folder : folders) {
    if (auto folded = fold(folder))
      protected_folders_.push_back(std::move(*folded));
    for (const Identity& identity : IdentityChain(files_, folder))
      protected_or_above_.insert(identity);
  }
  const std::vector<Identity> program = IdentityChain(files_, profile.program_folder);
  if (!program.empty()) {
    program_identity_ = program.front();
    above_program_.insert(program.begin() + 1, program.end());
  }
}

PathGuard::Folded PathGuard::Fold(const machine::WindowsPath& path) {
  Folded folded;
  folded.reserve(path.components.size() + 1);
  folded.push_back(std::string{path.drive, ':'});
  for (const std::string& name : path.components)
    folded.push_back(machine::ToUpper(DropTrailingDotsAndBlanks(name)));
  return folded;
}

PathRefusal PathGuard::Check(std::string_view path) const {
  // Where nothing exists there is nothing to harm, and only the name is judged.
  const std::optional<std::filesystem::path> host = files_.Resolve(path);
  if (!host)
    return CheckName(path);
  HeldEntry entry;
  entry.host_folder = host->parent_path().string();
  entry.host_name = host->filename().string();
  const machine::Descriptor folder = machine::OpenFolder(entry.host_folder);
  entry.folder_fd = folder.get();
  const std::optional<struct stat> named =
      folder.ok() ? machine::EntryState(folder.get(), entry.host_name, machine::LastLink::kAsLink)
                  : std::nullopt;
  if (!named)
    return CheckName(path);  // gone meanwhile
  const std::optional<struct stat> target =
      machine::EntryState(folder.get(), entry.host_name, machine::LastLink::kFollowed);
  if (!target)
    return PathRefusal::kElsewhere;  // a link that leads nowhere
  entry.named = *named;
  entry.target = *target;
  return CheckHeld(path, entry);
}

PathRefusal PathGuard::CheckName(std::string_view path) const {
  if (const PathRefusal refusal = CheckText(path); refusal != PathRefusal::kNone)
    return refusal;
  const std::optional<machine::WindowsPath> parsed = machine::ParseWindowsPath(path);
  if (!parsed)
    return PathRefusal::kBadName;
  return CheckFolded(Fold(*parsed));
}

PathRefusal PathGuard::CheckFolded(const Folded& path) const {
  if (path.size() <= 1)
    return PathRefusal::kDriveRoot;
  if (!program_folder_.empty() &&
      (Encloses(program_folder_, path) || Encloses(path, program_folder_))) {
    return PathRefusal::kProgramFolder;
  }
  for (const Folded& folder : protected_folders_) {
    if (Encloses(path, folder))
      return PathRefusal::kProtectedFolder;
  }
  return PathRefusal::kNone;
}

PathRefusal PathGuard::CheckHeld(std::string_view path, const HeldEntry& entry) const {
  if (const PathRefusal refusal = CheckName(path); refusal != PathRefusal::kNone)
    return refusal;
  const std::string real_folder = machine::WhereHeldIsNow(entry.folder_fd);
  if (real_folder.empty())
    return PathRefusal::kElsewhere;
  std::string real = real_folder + "/" + entry.host_name;
  const bool link = S_ISLNK(entry.named.st_mode);
  // A link as the last name is judged where it leads, with the folders above its target.
  machine::Descriptor link_folder;
  int above_target = entry.folder_fd;
  if (link) {
    std::optional<std::string> leads_to = machine::RealHostPath(real);
    if (!leads_to)
      return PathRefusal::kElsewhere;
    real = std::move(*leads_to);
    link_folder = machine::OpenFolder(std::filesystem::path(real).parent_path().string());
    if (!link_folder.ok())
      return PathRefusal::kElsewhere;
    above_target = link_folder.get();
  }
  // With no link on the way the name as written was its real location, already checked.
  if (link || real_folder != entry.host_folder) {
    if (const PathRefusal refusal = CheckRealName(real); refusal != PathRefusal::kNone)
      return refusal;
  }
  return CheckIdentity(entry.target, above_target);
}

PathRefusal PathGuard::CheckRealName(const std::string& real) const {
  const std::optional<std::string> windows = files_.ToWindowsPath(real);
  const std::optional<machine::WindowsPath> parsed =
      windows ? machine::ParseWindowsPath(*windows) : std::nullopt;
  if (!parsed)
    return PathRefusal::kElsewhere;
  return CheckFolded(Fold(*parsed));
}

PathRefusal PathGuard::CheckIdentity(const struct stat& target, int folder_fd) const {
  const Identity identity = machine::IdentityOf(target);
  if (identity == program_identity_ || above_program_.count(identity) > 0)
    return PathRefusal::kProgramFolder;
  if (protected_or_above_.count(identity) > 0)
    return PathRefusal::kProtectedFolder;
  // Up through the folders above it, to the first one that lies above the program folder as
  // well (no folder higher up can be the program folder) or to the root.
  std::string up = ".";
  std::optional<Identity> below;
  for (int depth = 0; depth < kMostDepth; ++depth, up += "/..") {
    const std::optional<struct stat> st =
        machine::EntryState(folder_fd, up, machine::LastLink::kFollowed);
    if (!st)
      return PathRefusal::kElsewhere;
    const Identity folder = machine::IdentityOf(*st);
    if (folder == program_identity_)
      return PathRefusal::kProgramFolder;
    if (above_program_.count(folder) > 0 || folder == below)
      return PathRefusal::kNone;
    below = folder;
  }
  return PathRefusal::kElsewhere;
}

}  // namespace removal
