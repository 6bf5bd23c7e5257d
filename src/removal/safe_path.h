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
// existing path is checked a second time where it really is at that moment, so a link cannot
// lead around the guard, and by file identity, so a drive mapped inside another (as SUBST maps
// one) cannot either.

#include <sys/stat.h>

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "machine/file_system.h"
#include "machine/held_folder.h"

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
  // Takes the protected folders from the machine's profile, and their identities as they are
  // now; they do not change while it lives.
  explicit PathGuard(const services::System& system);

  PathRefusal Check(std::string_view path) const;
  bool Allows(std::string_view path) const { return Check(path) == PathRefusal::kNone; }
  // The check of the path as written, without looking where it leads: enough for a path where
  // nothing exists.
  PathRefusal CheckName(std::string_view path) const;
  // An existing entry as a caller holds it for acting on it.
  struct HeldEntry {
    int folder_fd = -1;       // the folder it is in, held open
    std::string host_folder;  // that folder as the view resolved the path
    std::string host_name;    // the entry's name in it
    struct stat named {};     // the entry itself (a link as a link)
    struct stat target {};    // what it leads to
  };
  // The whole check of `path`, whose entry is held as `entry`: judged on where its folder is at
  // this moment, so the verdict holds for what is then done through the same descriptor.
  PathRefusal CheckHeld(std::string_view path, const HeldEntry& entry) const;

  // A host file's device and inode.
  using Identity = machine::FileIdentity;

 private:
  // A path as upper-cased components, the drive ("C:") first.
  using Folded = std::vector<std::string>;

  static Folded Fold(const machine::WindowsPath& path);
  PathRefusal CheckFolded(const Folded& path) const;
  PathRefusal CheckRealName(const std::string& real) const;
  PathRefusal CheckIdentity(const struct stat& target, int folder_fd) const;

  const machine::FileSystem& files_;
  Folded program_folder_;
  // May be entered, never named or enclosed.
  std::vector<Folded> protected_folders_;
  // The same folders by identity: the program folder, the folders above it, and the protected
  // folders with the folders above them.
  std::optional<Identity> program_identity_;
  std::set<Identity> above_program_;
  std::set<Identity> protected_or_above_;
};

}  // namespace removal
