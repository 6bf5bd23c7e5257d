#include "removal/safe_path.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

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
  if (const PathRefusal refusal = CheckName(path); refusal != PathRefusal::kNone)
    return refusal;
  return CheckRealLocation(path);
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

PathRefusal PathGuard::CheckRealLocation(std::string_view path) const {
  const std::optional<std::filesystem::path> host = files_.Resolve(path);
  if (!host)
    return PathRefusal::kNone;  // nothing there to harm
  std::error_code error;
  std::filesystem::path real;
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(*host, error))) {
    real = std::filesystem::canonical(*host, error);
  } else if (!error) {
    const std::string folder = host->parent_path().string();
    auto it = real_folders_.find(folder);
    if (it == real_folders_.end()) {
      const std::filesystem::path real_folder = std::filesystem::canonical(folder, error);
      if (!error)
        it = real_folders_.emplace(folder, real_folder.string()).first;
    }
    if (!error)
      real = std::filesystem::path(it->second) / host->filename();
  }
  if (error)
    return PathRefusal::kElsewhere;
  if (real == *host)
    return PathRefusal::kNone;  // no link on the way: the text was its real location
  const std::optional<std::string> windows = files_.ToWindowsPath(real);
  const std::optional<machine::WindowsPath> parsed =
      windows ? machine::ParseWindowsPath(*windows) : std::nullopt;
  if (!parsed)
    return PathRefusal::kElsewhere;
  return CheckFolded(Fold(*parsed));
}

}  // namespace removal
