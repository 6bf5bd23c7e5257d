#include "removal/safe_registry_key.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "machine/text.h"

namespace removal {

namespace {

// Keys that hold the system's own settings, under any root. Every key above one of them is
// protected too, so "Software", "Software\Microsoft", "System" and "System\CurrentControlSet"
// need no line; keys below one stay removable (a threat's own sub-key of Uninstall, Services or
// Image File Execution Options). "ControlSet#" stands for every numbered control set.
constexpr std::array<std::string_view, 18> kProtectedKeys = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options",
    "Software\\Microsoft\\Internet Explorer\\Main",
    "Software\\Policies",
    "System\\CurrentControlSet\\Control",
    "System\\CurrentControlSet\\Services",
    "System\\ControlSet#\\Control",
    "System\\ControlSet#\\Services",
    "System\\Select",
    "System\\MountedDevices",
    "System\\Setup",
    "SAM",
    "Security",
    "Hardware",
};

// Class keys, protected both under HKEY_CLASSES_ROOT and in the class stores it shows
// (Software\Classes of HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER).
constexpr std::array<std::string_view, 8> kProtectedClassKeys = {
    "CLSID",
    "Interface",
    "TypeLib",
    ".exe",
    "exefile\\shell\\open\\command",
    "*\\shellex\\ContextMenuHandlers",
    "Directory\\shell",
    "Directory\\shellex\\ContextMenuHandlers",
};

// Values the system cannot start without, though other values of their key are a threat's.
struct ProtectedValue {
  std::string_view key;
  std::string_view name;
};
constexpr std::array<ProtectedValue, 2> kProtectedValues = {{
    {"Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "Shell"},
    {"Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "Userinit"},
}};

constexpr std::string_view kControlSet = "CONTROLSET";

// A name upper-cased, blanks around it trimmed; every numbered control set as "CONTROLSET#".
std::string FoldName(std::string_view name) {
  std::string folded = machine::ToUpper(machine::TrimBlanks(name));
  const std::string_view number =
      std::string_view(folded).substr(std::min(folded.size(), kControlSet.size()));
  if (folded.starts_with(kControlSet) && !number.empty() &&
      std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::string(kControlSet) + "#";
  }
  return folded;
}

// The key's folded names, with empty names (doubled or stray backslashes) dropped.
std::vector<std::string> FoldKey(std::string_view key) {
  std::vector<std::string> names;
  for (const std::string& name : machine::Split(machine::TrimBlanks(key), "\\")) {
    std::string folded = FoldName(name);
    if (!folded.empty())
      names.push_back(std::move(folded));
  }
  return names;
}

const std::vector<std::vector<std::string>>& ProtectedKeys() {
  static const std::vector<std::vector<std::string>> keys = [] {
    std::vector<std::vector<std::string>> folded;
    for (const std::string_view key : kProtectedKeys)
      folded.push_back(FoldKey(key));
    for (const std::string_view key : kProtectedClassKeys) {
      folded.push_back(FoldKey(key));
      folded.push_back(FoldKey("Software\\Classes\\" + std::string(key)));
    }
    return folded;
  }();
  return keys;
}

bool IsAboveOrEqual(const std::vector<std::string>& key, const std::vector<std::string>& other) {
  return key.size() <= other.size() && std::equal(key.begin(), key.end(), other.begin());
}

bool IsProtected(const std::vector<std::string>& key) {
  return std::any_of(
      ProtectedKeys().begin(), ProtectedKeys().end(),
      [&](const std::vector<std::string>& other) { return IsAboveOrEqual(key, other); });
}

bool IsProtectedValue(const std::vector<std::string>& key, std::string_view name) {
  const std::string folded = FoldName(name);
  return std::any_of(kProtectedValues.begin(), kProtectedValues.end(),
                     [&](const ProtectedValue& value) {
                       return FoldKey(value.key) == key && FoldName(value.name) == folded;
                     });
}

// The folded names of root\key below the root (below the user under HKEY_USERS); false when
// root\key names no key a definition may touch at all.
bool FoldUnderRoot(machine::RegHandle root, std::string_view key, std::vector<std::string>& names) {
  if (machine::RootKeyName(root).empty() || !machine::IsRegistryName(key))
    return false;
  names = FoldKey(key);
  if (names.empty())
    return false;
  if (root == machine::kHkeyUsers)
    names.erase(names.begin());
  return true;
}

}  // namespace

bool IsDeletableRegistryKey(machine::RegHandle root, std::string_view key) {
  std::vector<std::string> names;
  return FoldUnderRoot(root, key, names) && !names.empty() && !IsProtected(names);
}

bool IsDeletableRegistryValue(machine::RegHandle root, std::string_view key,
                              std::string_view value_name) {
  std::vector<std::string> names;
  return machine::IsRegistryName(value_name) && FoldUnderRoot(root, key, names) &&
         !IsProtectedValue(names, value_name);
}

}  // namespace removal
