#include "removal/safe_registry_key.h"

#include <array>
#include <string>
#include <vector>

#include "machine/text.h"

namespace removal {

namespace {

// Keys that hold the system's own settings. Every key above one of them is protected too, so
// "Software", "Software\Microsoft", "System" and "System\CurrentControlSet" need no line.
constexpr std::array<std::string_view, 12> kProtectedKeys = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
    "Software\\Microsoft\\Internet Explorer\\Main",
    "Software\\Classes\\CLSID",
    "Software\\Policies",
    "System\\CurrentControlSet\\Control",
    "System\\CurrentControlSet\\Services",
    "CLSID",
    "Interface",
    "TypeLib",
};

// The key's names, upper-cased, with empty names (doubled or stray backslashes) dropped.
std::vector<std::string> FoldKey(std::string_view key) {
  std::vector<std::string> names;
  for (const std::string& name : machine::Split(machine::TrimBlanks(key), "\\")) {
    std::string trimmed = machine::TrimBlanks(name);
    if (!trimmed.empty())
      names.push_back(machine::ToUpper(trimmed));
  }
  return names;
}

bool IsAboveOrEqual(const std::vector<std::string>& key, const std::vector<std::string>& other) {
  if (key.size() > other.size())
    return false;
  for (size_t i = 0; i < key.size(); ++i) {
    if (key[i] != other[i])
      return false;
  }
  return true;
}

bool IsProtected(const std::vector<std::string>& key) {
  if (key.empty())
    return true;
  for (const std::string_view protected_key : kProtectedKeys) {
    if (IsAboveOrEqual(key, FoldKey(protected_key)))
      return true;
  }
  return false;
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
  return FoldUnderRoot(root, key, names) && !IsProtected(names);
}

bool IsDeletableRegistryValue(machine::RegHandle root, std::string_view key,
                              std::string_view value_name) {
  std::vector<std::string> names;
  return machine::IsRegistryName(value_name) && FoldUnderRoot(root, key, names);
}

}  // namespace removal
