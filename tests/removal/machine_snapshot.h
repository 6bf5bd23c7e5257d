#pragma once
// Everything a removal could change, as comparable values: every entry of the drive tree with
// its content (or link target), and every key and value of both hives. Comparing two snapshots
// shows exactly which entries changed.

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <system_error>

#include "machine/registry.h"

namespace removal_test {

// Relative host path -> "dir", "link:<target>" or "file:<hash of the content>".
using TreeSnapshot = std::map<std::string, std::string>;
// "ROOT\key" -> "" for a key; "ROOT\key|value name" -> "<type>:<data>" for a value.
using HiveSnapshot = std::map<std::string, std::string>;

inline TreeSnapshot SnapshotTree(const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  TreeSnapshot snapshot;
  std::error_code error;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
       it.increment(error)) {
    const std::string relative = fs::relative(it->path(), root).string();
    if (it->is_symlink()) {
      snapshot[relative] = "link:" + fs::read_symlink(it->path()).string();
    } else if (it->is_directory()) {
      snapshot[relative] = "dir";
    } else {
      std::ifstream in(it->path(), std::ios::binary);
      std::ostringstream content;
      content << in.rdbuf();
      snapshot[relative] = "file:" + std::to_string(std::hash<std::string>{}(content.str()));
    }
  }
  return snapshot;
}

inline void SnapshotKey(machine::Registry& registry, machine::RegHandle key,
                        const std::string& path, HiveSnapshot& snapshot) {
  snapshot[path] = "";
  std::string name;
  std::string data;
  uint32_t type = 0;
  for (uint32_t i = 0; registry.EnumValue(key, i, name, type, data) == machine::kRegSuccess; ++i)
    snapshot[path + "|" + name] = std::to_string(type) + ":" + data;
  for (uint32_t i = 0; registry.EnumKey(key, i, name) == machine::kRegSuccess; ++i) {
    machine::RegHandle sub = 0;
    if (registry.OpenKey(key, name, sub) != machine::kRegSuccess)
      continue;
    SnapshotKey(registry, sub, path + "\\" + name, snapshot);
    registry.CloseKey(sub);
  }
}

inline HiveSnapshot SnapshotHives(machine::Registry& registry) {
  HiveSnapshot snapshot;
  for (const machine::RootKeyInfo& root : machine::kRootKeys)
    SnapshotKey(registry, root.handle, std::string(root.name), snapshot);
  return snapshot;
}

}  // namespace removal_test
