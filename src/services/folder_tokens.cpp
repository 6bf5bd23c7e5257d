#include "services/folder_tokens.h"

#include <array>

#include "machine/machine.h"
#include "machine/text.h"

namespace services {

namespace {

struct TokenRow {
  std::string_view token;
  int csidl;
};

// Applied in this order: each replacement works on the result of the previous ones.
constexpr std::array<TokenRow, 28> kFolderTokens = {{
    {"[startsp]", 29},  {"[appdata]", 26},  {"[recycle]", 10},     {"[comstar]", 30},
    {"[comapp]", 35},   {"[desktop]", 25},  {"[comdocs]", 46},     {"[comfav]", 31},
    {"[comprog]", 23},  {"[comstam]", 22},  {"[comtemp]", 45},     {"[cookies]", 33},
    {"[comdesk]", 16},  {"[favorit]", 6},   {"[fonts]", 20},       {"[history]", 34},
    {"[netcach]", 32},  {"[progs]", 2},     {"[progfil]", 38},     {"[comprogfil]", 43},
    {"[personl]", 5},   {"[recent]", 8},    {"[sendto]", 9},       {"[startup]", 7},
    {"[strtmnu]", 11},  {"[system]", 37},   {"[templat]", 21},     {"[windir]", 36},
}};

// The profile folders: a Start Menu path with every "\Start Menu" taken out. These two tokens
// are matched in lower case only.
struct ProfileTokenRow {
  std::string_view token;
  int start_menu_csidl;
};
constexpr std::array<ProfileTokenRow, 2> kProfileTokens = {{{"[user]", 11}, {"[alluser]", 22}}};

std::string ProfileFolder(const System& system, int start_menu_csidl) {
  return machine::ReplaceIgnoreCase(GetSpecialFolderPath(system, start_menu_csidl), "\\Start Menu",
                                    "");
}

// Expands every token; `missing` receives the first token found whose folder has no path.
std::string Expand(const System& system, std::string_view path, std::string* missing) {
  std::string text(path);
  for (const TokenRow& row : kFolderTokens) {
    if (machine::FindIgnoreCase(text, row.token) == std::string::npos) continue;
    const std::string folder = GetSpecialFolderPath(system, row.csidl);
    if (folder.empty() && missing != nullptr && missing->empty()) *missing = row.token;
    text = machine::ReplaceIgnoreCase(text, row.token, folder);
  }
  for (const ProfileTokenRow& row : kProfileTokens) {
    if (text.find(row.token) == std::string::npos) continue;
    const std::string folder = ProfileFolder(system, row.start_menu_csidl);
    if (folder.empty() && missing != nullptr && missing->empty()) *missing = row.token;
    text = machine::ReplaceAll(text, row.token, folder);
  }
  return text;
}

}  // namespace

std::string GetSpecialFolderPath(const System& system, int csidl) {
  const auto& folders = system.machine.profile().special_folders;
  const auto it = folders.find(csidl);
  if (it == folders.end() || it->second.empty()) return "";
  return it->second + "\\";
}

std::string GetSpecialFolderByPidl(const System& system, int csidl) {
  const auto& folders = system.machine.profile().special_folders;
  const auto it = folders.find(csidl);
  if (it == folders.end() || it->second.empty()) return "";
  return it->second.back() == '\\' ? it->second : it->second + "\\";
}

std::string GetSystemDriveRoot(const System& system) {
  return GetSpecialFolderByPidl(system, 2).substr(0, 3);
}

std::string ExpandFolderTokens(const System& system, std::string& path) {
  path = Expand(system, path, nullptr);
  return path;
}

bool TryExpandFolderTokens(const System& system, std::string_view path, std::string& expanded,
                           std::string* missing_token) {
  std::string missing;
  expanded = Expand(system, path, &missing);
  if (missing_token != nullptr) *missing_token = missing;
  return missing.empty();
}

}  // namespace services
