#pragma once
// The machine profile: which Windows machine the program sees and where it lives on this host.
// Stored as an INI file; see DefaultProfile() for the layout of a new one.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace machine {

enum class OsFamily { kNt, kWin9x };

// Windows drive types, with their platform numbers.
enum class DriveType : int {
  kUnknown = 0,
  kNoRootDir = 1,
  kRemovable = 2,
  kFixed = 3,
  kRemote = 4,
  kCdRom = 5,
  kRamDisk = 6,
};

struct Drive {
  char letter = 'C';                // upper case
  std::filesystem::path host_root;  // absolute host folder behind "C:\"
  DriveType type = DriveType::kFixed;
  std::string label;
  uint32_t serial = 0;
};

struct Profile {
  std::filesystem::path file;  // the INI file it was read from (empty when built in memory)
  std::vector<Drive> drives;
  // Windows path of each special folder by CSIDL number, without a trailing backslash.
  // A CSIDL that is not listed has no path on this machine.
  std::map<int, std::string> special_folders;
  OsFamily os_family = OsFamily::kNt;
  int os_major = 5;
  int os_minor = 1;
  std::string system_folder = "C:\\WINDOWS\\system32";
  std::string program_folder = "C:\\Program Files\\Hearthguard";
  std::filesystem::path machine_hive;  // absolute host paths of the two SQLite hives
  std::filesystem::path user_hive;
  std::string update_server_url = "http://127.0.0.1:8080";

  const Drive* FindDrive(char letter) const;
};

// Problems found while reading a profile; each names the file and line it refers to.
struct ProfileLoadResult {
  Profile profile;
  std::vector<std::string> errors;  // empty when the profile was read whole
};

// A Windows XP machine laid out under `root`: drive C: is root/"drive_c", the hives are
// root/"machine.hive" and root/"user.hive".
Profile DefaultProfile(const std::filesystem::path& root);

// Reads a profile. Relative host paths in it are taken from the file's folder. On any error
// (unknown section or key, a bad value, a drive folder that does not exist) the errors are
// listed and the profile is the default one for the file's folder.
ProfileLoadResult LoadProfile(const std::filesystem::path& ini_file);

// Writes the profile as INI text; false when the file cannot be written.
bool SaveProfile(const Profile& profile, const std::filesystem::path& ini_file);

// Creates every drive folder and every special folder of the profile, plus the Windows,
// system and program folders (existing ones are kept, whatever the case of their names).
// False when one of them could not be made.
bool CreateFolderTree(const Profile& profile);

// Where the profile is read from: $HEARTHGUARD_PROFILE when set, else profile.ini in the
// user's data folder ($XDG_DATA_HOME or ~/.local/share, then "hearthguard").
std::filesystem::path ProfilePath();

// Opens the profile at ProfilePath(), writing the default one and its folder tree first when
// there is none. Errors found while reading are appended to `errors`.
Profile OpenOrCreateProfile(std::vector<std::string>& errors);

}  // namespace machine
