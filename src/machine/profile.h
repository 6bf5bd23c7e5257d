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

// A problem found in a profile: the line it is on (0 for the file as a whole) and what is wrong.
struct ProfileProblem {
  int line = 0;
  std::string text;
  bool operator==(const ProfileProblem&) const = default;
};

struct ProfileLoadResult {
  Profile profile;
  std::vector<ProfileProblem> errors;  // in line order; empty when the profile was read whole
};

// A Windows XP machine laid out under `root`: drive C: is root/"drive_c", the hives are
// root/"machine.hive" and root/"user.hive".
Profile DefaultProfile(const std::filesystem::path& root);

// Reads a profile. Relative host paths in it are taken from the file's folder. On any error
// (unknown section or key, a bad value, a drive folder that does not exist) the errors are
// listed and the profile has no drives: nothing of the file is kept.
ProfileLoadResult LoadProfile(const std::filesystem::path& ini_file);

// Writes the profile as INI text; false, and nothing written, when the file cannot be written or
// a value would not read back the same.
bool SaveProfile(const Profile& profile, const std::filesystem::path& ini_file);

// Creates every drive folder and every special folder of the profile, plus the Windows,
// system and program folders (existing ones are kept, whatever the case of their names).
// False when one of them could not be made.
bool CreateFolderTree(const Profile& profile);

// The user's data folder: $XDG_DATA_HOME or ~/.local/share, then "hearthguard". The default
// machine lives there and nowhere else.
std::filesystem::path DataFolder();

// Where the profile is read from: $HEARTHGUARD_PROFILE when set, else profile.ini in the
// data folder.
std::filesystem::path ProfilePath();

struct OpenedProfile {
  Profile profile;                        // the machine to open
  std::filesystem::path chosen;           // the profile file that was asked for
  std::vector<ProfileProblem> problems;   // why `chosen` is not used; empty when it is
  std::vector<std::string> setup_errors;  // what of the default machine could not be made
  bool made_default = false;              // the default machine was made just now
  // The data folder when it takes no new files (nothing can be kept there); empty when it does.
  std::filesystem::path unwritable_data_folder;
};

// Opens the profile at ProfilePath(). When there is none in the data folder, the default one is
// written there with its folder tree. When the chosen profile cannot be used, the default
// machine of the data folder stands in; nothing is ever written beside the chosen file.
OpenedProfile OpenProfile();

}  // namespace machine
