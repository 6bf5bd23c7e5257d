#pragma once
// The guard every removal step passes before it copies, deletes or ends anything. Definition
// files come from outside and are not trusted: a path that would reach a whole drive, the
// program's own folder, or one of the system's folders as a whole is refused.
//
// A path is allowed only when it is absolute ("X:\..."), names something below the drive root,
// holds no "." or ".." and no name the platform would shorten to nothing, does not end in "\",
// lies outside the program folder (and is not one of its parents), and, for every special folder
// of the machine and the Windows, system and program-files folders, either lies strictly inside
// it or has nothing to do with it: it is never that folder and never one of its parents. An
// existing path is checked a second time at its real location, so a link cannot lead around
// the guard.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "machine/file_system.h"

namespace services {
struct System;
}

namespace removal {

enum class PathRefusal {
  kNone = 0,
  kNotAbsolute,  // relative, rooted without a drive, UNC or device path
  kDriveRoot,    // a whole drive
  kDotName,      // holds "." or "..", or a name that is only dots and blanks
  kTrailingBackslash,
  kBadName,          // wildcards, device names, characters no name may hold
  kProgramFolder,    // the program folder, something inside it, or a folder above it
  kProtectedFolder,  // a special or system folder itself, or a folder above one
  kElsewhere,        // it exists, but its real location is on no drive of the machine
};

// Short English text for a refusal, for messages and test output.
std::string_view DescribeRefusal(PathRefusal refusal);

class PathGuard {
 public:
  // Takes the protected folders from the machine's profile; they do not change while it lives,
  // and neither are the folders that hold the paths it checks expected to become links.
  explicit PathGuard(const services::System& system);

  PathRefusal Check(std::string_view path) const;
  bool Allows(std::string_view path) const { return Check(path) == PathRefusal::kNone; }
  // The check of the path as written, without looking where it leads: enough for a path where
  // nothing exists.
  PathRefusal CheckName(std::string_view path) const;

 private:
  // A path as upper-cased components, the drive ("C:") first.
  using Folded = std::vector<std::string>;

  static Folded Fold(const machine::WindowsPath& path);
  PathRefusal CheckFolded(const Folded& path) const;
  PathRefusal CheckRealLocation(std::string_view path) const;

  const machine::FileSystem& files_;
  // Real host locations of the folders items were found in, looked up once each.
  mutable std::unordered_map<std::string, std::string> real_folders_;
  Folded program_folder_;
  // May be entered, never named or enclosed.
  std::vector<Folded> protected_folders_;
};

}  // namespace removal
