#include "machine/profile.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "machine/csidl.h"
#include "machine/data_folder_probe.h"
#include "machine/encoding.h"
#include "machine/file_system.h"
#include "machine/host_files.h"
#include "machine/profile_format.h"
#include "machine/text.h"

namespace machine {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUserProfile = "C:\\Documents and Settings\\Owner";
constexpr const char* kAllUsers = "C:\\Documents and Settings\\All Users";

std::string DriveTypeName(DriveType type) {
  switch (type) {
    case DriveType::kRemovable:
      return "removable";
    case DriveType::kRemote:
      return "remote";
    case DriveType::kCdRom:
      return "cdrom";
    case DriveType::kRamDisk:
      return "ramdisk";
    default:
      return "fixed";
  }
}

// A host path as the file shows it: relative to the file's folder when it lies below it.
std::string HostPathText(const fs::path& path, const fs::path& folder) {
  const fs::path relative = path.lexically_normal().lexically_relative(folder);
  if (!relative.empty() && *relative.begin() != "..")
    return relative.string();
  return path.lexically_normal().string();
}

// Whether the INI reader gives the value back as it is written.
bool Representable(std::string_view value) {
  if (value.find_first_of("\r\n") != std::string_view::npos)
    return false;
  if (!value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                         value.back() == '\t'))
    return false;
  // A ";" after a blank starts a comment, and the value is written after " = ".
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == ';' && (i == 0 || value[i - 1] == ' ' || value[i - 1] == '\t'))
      return false;
  }
  return true;
}

}  // namespace

const Drive* Profile::FindDrive(char letter) const {
  const char upper = ToUpperChar(letter);
  for (const Drive& d : drives) {
    if (d.letter == upper)
      return &d;
  }
  return nullptr;
}

Profile DefaultProfile(const fs::path& root) {
  const fs::path base = fs::absolute(root).lexically_normal();
  Profile p;
  p.drives.push_back({'C', base / "drive_c", DriveType::kFixed, "LOCAL DISK", 0x1A2B3C4D});
  p.machine_hive = base / "machine.hive";
  p.user_hive = base / "user.hive";
  const std::string user = kUserProfile;
  const std::string all = kAllUsers;
  p.special_folders = {
      {CSIDL_PROGRAMS, user + "\\Start Menu\\Programs"},
      {CSIDL_PERSONAL, user + "\\My Documents"},
      {CSIDL_FAVORITES, user + "\\Favorites"},
      {CSIDL_STARTUP, user + "\\Start Menu\\Programs\\Startup"},
      {CSIDL_RECENT, user + "\\Recent"},
      {CSIDL_SENDTO, user + "\\SendTo"},
      {CSIDL_STARTMENU, user + "\\Start Menu"},
      {CSIDL_DESKTOPDIRECTORY, user + "\\Desktop"},
      {CSIDL_FONTS, "C:\\WINDOWS\\Fonts"},
      {CSIDL_TEMPLATES, user + "\\Templates"},
      {CSIDL_COMMON_STARTMENU, all + "\\Start Menu"},
      {CSIDL_COMMON_PROGRAMS, all + "\\Start Menu\\Programs"},
      {CSIDL_COMMON_STARTUP, all + "\\Start Menu\\Programs\\Startup"},
      {CSIDL_COMMON_DESKTOPDIRECTORY, all + "\\Desktop"},
      {CSIDL_APPDATA, user + "\\Application Data"},
      {CSIDL_ALTSTARTUP, user + "\\Start Menu\\Programs\\Startup"},
      {CSIDL_COMMON_ALTSTARTUP, all + "\\Start Menu\\Programs\\Startup"},
      {CSIDL_COMMON_FAVORITES, all + "\\Favorites"},
      {CSIDL_INTERNET_CACHE, user + "\\Local Settings\\Temporary Internet Files"},
      {CSIDL_COOKIES, user + "\\Cookies"},
      {CSIDL_HISTORY, user + "\\Local Settings\\History"},
      {CSIDL_COMMON_APPDATA, all + "\\Application Data"},
      {CSIDL_WINDOWS, "C:\\WINDOWS"},
      {CSIDL_SYSTEM, "C:\\WINDOWS\\system32"},
      {CSIDL_PROGRAM_FILES, "C:\\Program Files"},
      {CSIDL_PROGRAM_FILES_COMMON, "C:\\Program Files\\Common Files"},
      {CSIDL_COMMON_TEMPLATES, all + "\\Templates"},
      {CSIDL_COMMON_DOCUMENTS, all + "\\Documents"},
  };
  return p;
}

bool SaveProfile(const Profile& profile, const fs::path& ini_file) {
  const fs::path folder = fs::absolute(ini_file).parent_path().lexically_normal();
  std::vector<std::pair<std::string, std::string>> lines;  // key (or "[section]"), value
  auto section = [&](const std::string& name) { lines.emplace_back("[" + name + "]", ""); };
  auto value = [&](const std::string& key, const std::string& text) {
    lines.emplace_back(key, text);
  };

  section("machine");
  value("os_family", profile.os_family == OsFamily::kNt ? "nt" : "9x");
  value("os_version", std::to_string(profile.os_major) + "." + std::to_string(profile.os_minor));
  value("system_folder", Windows1252ToUtf8(profile.system_folder));
  value("program_folder", Windows1252ToUtf8(profile.program_folder));
  if (!profile.machine_hive.empty())
    value("machine_hive", HostPathText(profile.machine_hive, folder));
  if (!profile.user_hive.empty())
    value("user_hive", HostPathText(profile.user_hive, folder));
  value("update_server", profile.update_server_url);
  for (const Drive& d : profile.drives) {
    section(std::string("drive ") + d.letter);
    value("path", HostPathText(d.host_root, folder));
    value("type", DriveTypeName(d.type));
    value("label", Windows1252ToUtf8(d.label));
    char serial[16];
    std::snprintf(serial, sizeof serial, "%08X", static_cast<unsigned>(d.serial));
    value("serial", serial);
  }
  section("folders");
  for (const auto& [number, path] : profile.special_folders) {
    const std::optional<CsidlInfo> csidl = FindCsidl(number);
    if (!csidl || !csidl->has_path)
      return false;
    value(std::string(csidl->name), Windows1252ToUtf8(path));
  }

  std::string text =
      "; Machine profile: the Windows machine the program sees and the host folders behind it.\n"
      "; Host paths are taken from this file's folder.\n";
  for (const auto& [key, text_value] : lines) {
    if (key.front() == '[') {
      text += "\n" + key + "\n";
      continue;
    }
    if (!Representable(text_value))
      return false;
    const std::string line = key + " = " + text_value;
    if (line.size() > kMaxProfileLine)
      return false;
    text += line + "\n";
  }
  std::error_code error;
  fs::create_directories(folder, error);
  return WriteWholeFile(fs::absolute(ini_file).lexically_normal().string(), text);
}

bool CreateFolderTree(const Profile& profile) {
  bool ok = true;
  for (const Drive& d : profile.drives) {
    std::error_code error;
    fs::create_directories(d.host_root, error);
    ok = ok && fs::is_directory(d.host_root, error);
  }
  FileSystem files(profile);
  std::vector<std::string> folders = {profile.system_folder, profile.program_folder};
  if (const std::optional<WindowsPath> system = ParseWindowsPath(profile.system_folder);
      system && !system->components.empty()) {
    WindowsPath windows = *system;
    windows.components.pop_back();
    folders.push_back(windows.ToString());
  }
  for (const auto& [number, path] : profile.special_folders)
    folders.push_back(path);
  for (const std::string& folder : folders)
    ok = files.CreateFolder(folder) && ok;
  return ok;
}

fs::path DataFolder() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/')
    return fs::path(xdg) / "hearthguard";
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* entry = getpwuid(getuid());
    home = entry != nullptr ? entry->pw_dir : "/";
  }
  return fs::path(home) / ".local" / "share" / "hearthguard";
}

fs::path ProfilePath() {
  if (const char* chosen = std::getenv("HEARTHGUARD_PROFILE"); chosen != nullptr && *chosen)
    return fs::absolute(chosen);
  return DataFolder() / "profile.ini";
}

namespace {

// Why the chosen profile cannot be used; none when it was read whole into `profile`.
std::vector<ProfileProblem> ReadChosen(const fs::path& path, Profile& profile) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (fs::is_directory(status))
    return {{0, "it is a folder, not a profile file"}};
  if (!fs::exists(status))
    return {{0, "it does not exist"}};
  if (!fs::is_regular_file(status))
    return {{0, "it is not a file"}};
  ProfileLoadResult loaded = LoadProfile(path);
  profile = std::move(loaded.profile);
  return std::move(loaded.errors);
}

}  // namespace

OpenedProfile OpenProfile() {
  OpenedProfile opened;
  opened.chosen = ProfilePath();
  if (!FolderTakesNewFiles(DataFolder()))
    opened.unwritable_data_folder = DataFolder();
  const fs::path home = DataFolder() / "profile.ini";
  std::error_code error;
  const bool home_missing = !fs::exists(fs::symlink_status(home, error));
  if (opened.chosen != home || !home_missing) {
    opened.problems = ReadChosen(opened.chosen, opened.profile);
    if (opened.problems.empty())
      return opened;
  }
  // The default machine, in the data folder; its profile is written only where there is none.
  opened.profile = DefaultProfile(home.parent_path());
  opened.profile.file = home;
  opened.made_default = home_missing;
  if (home_missing && !SaveProfile(opened.profile, home))
    opened.setup_errors.push_back(home.string() + ": cannot be written");
  if (!CreateFolderTree(opened.profile))
    opened.setup_errors.push_back("the folders of the machine cannot all be created under " +
                                  home.parent_path().string());
  return opened;
}

}  // namespace machine
