// Reading a machine profile from its INI file.
#include <ini.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <set>

#include "machine/csidl.h"
#include "machine/encoding.h"
#include "machine/file_system.h"
#include "machine/profile.h"
#include "machine/profile_format.h"
#include "machine/text.h"
#include "machine/whole_file_read.h"

namespace machine {

namespace {

namespace fs = std::filesystem;

// The packaged reader keeps lines in a 200-byte buffer unless told to take one from the heap; it
// is given room for the longest line the writer writes (and its CR, LF and NUL).
void SizeLineBuffer() {
  static std::once_flag once;
  std::call_once(once, [] {
    ini_use_stack = false;
    ini_allow_realloc = false;
    ini_max_line = ini_initial_alloc = static_cast<int>(kMaxProfileLine + 3);
  });
}

// Feeds inih one line at a time, so that the current line number is known, and refuses lines
// longer than the writer writes instead of letting it split them.
struct LineSource {
  std::string_view text;
  size_t pos = 0;
  int line = 0;
  std::vector<int> too_long;
};

char* ReadLine(char* buffer, int size, void* stream) {
  auto* source = static_cast<LineSource*>(stream);
  if (source->pos >= source->text.size())
    return nullptr;
  const size_t end = source->text.find('\n', source->pos);
  const size_t next = end == std::string_view::npos ? source->text.size() : end + 1;
  std::string_view line = source->text.substr(source->pos, next - source->pos);
  source->pos = next;
  ++source->line;
  // Indented lines are ordinary lines here, never continuations of the previous value.
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
    line.remove_prefix(1);
  std::string_view content = line;
  while (!content.empty() && (content.back() == '\n' || content.back() == '\r'))
    content.remove_suffix(1);
  if (content.size() > kMaxProfileLine || line.size() + 1 > static_cast<size_t>(size) ||
      line.find('\0') != std::string_view::npos) {
    source->too_long.push_back(source->line);
    line = "\n";
  }
  std::memcpy(buffer, line.data(), line.size());
  buffer[line.size()] = '\0';
  return buffer;
}

struct DriveDraft {
  int line = 0;
  int path_line = 0;
  std::string path;
  Drive drive;
};

struct Reader {
  LineSource source;
  fs::path folder;
  Profile profile;
  std::map<char, DriveDraft> drives;
  std::set<std::string> seen_keys;
  std::set<std::string> bad_sections;
  std::vector<ProfileProblem> errors;

  void Error(int line, const std::string& message) { errors.push_back({line, message}); }

  void Handle(std::string_view section, std::string_view key, std::string_view value) {
    const int line = source.line;
    if (!seen_keys.insert(ToLower(section) + "\n" + ToLower(key)).second) {
      Error(line, "key '" + std::string(key) + "' given twice in [" + std::string(section) + "]");
      return;
    }
    if (section.empty()) {
      Error(line, "key '" + std::string(key) + "' before any [section]");
    } else if (EqualsIgnoreCase(section, "machine")) {
      HandleMachine(line, key, value);
    } else if (EqualsIgnoreCase(section, "folders")) {
      HandleFolder(line, key, value);
    } else if (const char letter = DriveLetterOf(section)) {
      HandleDrive(line, letter, section, key, value);
    } else if (bad_sections.insert(std::string(section)).second) {
      Error(line, "unknown section [" + std::string(section) + "]");
    }
  }

  static char DriveLetterOf(std::string_view section) {
    if (!StartsWithIgnoreCase(section, "drive "))
      return 0;
    std::string rest = TrimBlanks(section.substr(6));
    if (rest.size() == 2 && rest[1] == ':')
      rest.pop_back();
    if (rest.size() != 1)
      return 0;
    const char letter = ToUpperChar(rest[0]);
    return letter >= 'A' && letter <= 'Z' ? letter : 0;
  }

  void BadValue(int line, std::string_view key, std::string_view value, std::string_view want) {
    Error(line, "bad value '" + std::string(value) + "' for " + std::string(key) + " (" +
                    std::string(want) + ")");
  }

  // A Windows path given in UTF-8, as the program's 8-bit text, without a trailing backslash.
  std::optional<std::string> WindowsPathValue(int line, std::string_view key,
                                              std::string_view value) {
    const std::optional<std::string> text = Utf8ToWindows1252(value);
    const std::optional<WindowsPath> path = text ? ParseWindowsPath(*text) : std::nullopt;
    if (!path) {
      BadValue(line, key, value, "a full Windows path such as C:\\WINDOWS");
      return std::nullopt;
    }
    std::string out = path->ToString();
    if (out.back() == '\\')
      out.pop_back();
    return out;
  }

  fs::path HostPathValue(std::string_view value) const {
    const fs::path path(value);
    return (path.is_absolute() ? path : folder / path).lexically_normal();
  }

  void HandleMachine(int line, std::string_view key, std::string_view value) {
    if (EqualsIgnoreCase(key, "os_family")) {
      if (EqualsIgnoreCase(value, "nt"))
        profile.os_family = OsFamily::kNt;
      else if (EqualsIgnoreCase(value, "9x"))
        profile.os_family = OsFamily::kWin9x;
      else
        BadValue(line, key, value, "nt or 9x");
    } else if (EqualsIgnoreCase(key, "os_version")) {
      const std::vector<std::string> parts = Split(value, ".");
      int major = 0, minor = 0;
      if (parts.size() != 2 || !ParseSmallNumber(parts[0], major) ||
          !ParseSmallNumber(parts[1], minor))
        BadValue(line, key, value, "major.minor, such as 5.1");
      profile.os_major = major;
      profile.os_minor = minor;
    } else if (EqualsIgnoreCase(key, "system_folder")) {
      if (auto path = WindowsPathValue(line, key, value))
        profile.system_folder = *path;
    } else if (EqualsIgnoreCase(key, "program_folder")) {
      if (auto path = WindowsPathValue(line, key, value))
        profile.program_folder = *path;
    } else if (EqualsIgnoreCase(key, "machine_hive") || EqualsIgnoreCase(key, "user_hive")) {
      if (value.empty())
        BadValue(line, key, value, "a host file");
      else
        (EqualsIgnoreCase(key, "machine_hive") ? profile.machine_hive : profile.user_hive) =
            HostPathValue(value);
    } else if (EqualsIgnoreCase(key, "update_server")) {
      if (StartsWithIgnoreCase(value, "http://") || StartsWithIgnoreCase(value, "https://"))
        profile.update_server_url = std::string(value);
      else
        BadValue(line, key, value, "an http:// or https:// address");
    } else {
      Error(line, "unknown key '" + std::string(key) + "' in [machine]");
    }
  }

  void HandleFolder(int line, std::string_view key, std::string_view value) {
    const std::optional<CsidlInfo> csidl = FindCsidl(key);
    if (!csidl || !csidl->has_path) {
      Error(line, "unknown key '" + std::string(key) + "' in [folders]");
      return;
    }
    if (value.empty())
      return;  // listed without a path: the machine has no such folder
    if (auto path = WindowsPathValue(line, key, value))
      profile.special_folders[csidl->number] = *path;
  }

  void HandleDrive(int line, char letter, std::string_view section, std::string_view key,
                   std::string_view value) {
    DriveDraft& draft = drives[letter];
    if (draft.line == 0)
      draft.line = line;
    draft.drive.letter = letter;
    if (EqualsIgnoreCase(key, "path")) {
      draft.path = std::string(value);
      draft.path_line = line;
    } else if (EqualsIgnoreCase(key, "type")) {
      static const std::pair<std::string_view, DriveType> kTypes[] = {
          {"removable", DriveType::kRemovable}, {"fixed", DriveType::kFixed},
          {"remote", DriveType::kRemote},       {"cdrom", DriveType::kCdRom},
          {"ramdisk", DriveType::kRamDisk},
      };
      bool known = false;
      for (const auto& [name, type] : kTypes) {
        if (EqualsIgnoreCase(value, name)) {
          draft.drive.type = type;
          known = true;
        }
      }
      if (!known)
        BadValue(line, key, value, "removable, fixed, remote, cdrom or ramdisk");
    } else if (EqualsIgnoreCase(key, "label")) {
      if (const std::optional<std::string> label = Utf8ToWindows1252(value))
        draft.drive.label = *label;
      else
        BadValue(line, key, value, "a text in the Windows character set");
    } else if (EqualsIgnoreCase(key, "serial")) {
      uint32_t serial = 0;
      if (!ParseHex(value, 8, serial))
        BadValue(line, key, value, "up to 8 hexadecimal digits");
      else
        draft.drive.serial = serial;
    } else {
      Error(line, "unknown key '" + std::string(key) + "' in [" + std::string(section) + "]");
    }
  }

  static bool ParseSmallNumber(std::string_view text, int& out) {
    if (text.empty() || text.size() > 3)
      return false;
    out = 0;
    for (char c : text) {
      if (c < '0' || c > '9')
        return false;
      out = out * 10 + (c - '0');
    }
    return true;
  }

  // What can only be judged once the whole file is read.
  void Finish() {
    for (auto& [letter, draft] : drives) {
      const std::string name = std::string(1, letter) + ":";
      if (draft.path.empty()) {
        Error(draft.line, "drive " + name + " has no path");
        continue;
      }
      draft.drive.host_root = HostPathValue(draft.path);
      std::error_code error;
      if (!fs::is_directory(draft.drive.host_root, error)) {
        Error(draft.path_line, "drive " + name + " folder '" + draft.path + "' does not exist");
        continue;
      }
      profile.drives.push_back(draft.drive);
    }
    if (drives.empty())
      errors.push_back({0, "it has no [drive X] section"});
  }
};

int HandleEntry(void* user, const char* section, const char* name, const char* value) {
  static_cast<Reader*>(user)->Handle(section, name, value);
  return 1;
}

// The file's bytes, or nothing when it cannot be read or is larger than a profile may be.

}  // namespace

ProfileLoadResult LoadProfile(const fs::path& ini_file) {
  const fs::path folder = fs::absolute(ini_file).parent_path();
  ProfileLoadResult result;
  Reader reader;
  reader.folder = folder;
  reader.profile.file = ini_file;
  reader.profile.machine_hive = folder / "machine.hive";
  reader.profile.user_hive = folder / "user.hive";

  // No more of the file than a profile may hold is ever read in.
  const std::optional<std::string> text = ReadWholeFile(ini_file.string(), kMaxProfileSize);
  std::error_code size_error;
  if (!text && fs::file_size(ini_file, size_error) > kMaxProfileSize && !size_error) {
    result.errors.push_back({0, "it is too large for a profile"});
  } else if (!text) {
    result.errors.push_back({0, "it cannot be read"});
  } else {
    SizeLineBuffer();
    reader.source.text = *text;
    const int syntax_line = ini_parse_stream(ReadLine, &reader.source, HandleEntry, &reader);
    if (syntax_line > 0)
      reader.Error(syntax_line, "not a [section] or a 'key = value' line");
    for (int line : reader.source.too_long)
      reader.Error(line, "line too long or holding a NUL character");
    reader.Finish();
    result.errors = std::move(reader.errors);
    // Problems of the whole file come after those of its lines.
    std::stable_sort(result.errors.begin(), result.errors.end(),
                     [](const ProfileProblem& a, const ProfileProblem& b) {
                       return (a.line == 0 ? INT_MAX : a.line) < (b.line == 0 ? INT_MAX : b.line);
                     });
  }
  if (result.errors.empty())
    result.profile = std::move(reader.profile);
  else
    result.profile.file = ini_file;
  return result;
}

}  // namespace machine
