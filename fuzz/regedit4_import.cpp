// A REGEDIT4 text imported into a hive pair of the fuzz run's own, emptied again after each
// input. A text the import refuses before changing anything leaves the registry as it was.

#include <memory>
#include <string>

#include "machine/registry.h"
#include "machine/registry_import.h"
#include "support/fuzz_machine.h"

namespace {

machine::Registry& Hives() {
  static const std::unique_ptr<machine::Registry> registry = [] {
    std::string error;
    auto opened = machine::Registry::Open(hg_fuzz::ProcessTempFolder() / "machine.hive",
                                          hg_fuzz::ProcessTempFolder() / "user.hive", error);
    HG_FUZZ_CHECK(opened != nullptr, error);
    return opened;
  }();
  return *registry;
}

// Every key and value below `key` as text, in the registry's own order.
void Dump(machine::Registry& registry, machine::RegHandle key, std::string& out) {
  std::string name;
  std::string data;
  uint32_t type = 0;
  for (uint32_t i = 0; registry.EnumValue(key, i, name, type, data) == machine::kRegSuccess; ++i)
    out += "value " + name + "=" + std::to_string(type) + ":" + data + "\n";
  for (uint32_t i = 0; registry.EnumKey(key, i, name) == machine::kRegSuccess; ++i) {
    out += "key " + name + "\n";
    machine::RegHandle sub = 0;
    if (registry.OpenKey(key, name, sub) == machine::kRegSuccess) {
      Dump(registry, sub, out);
      registry.CloseKey(sub);
    }
    out += "end\n";
  }
}

std::string DumpAll(machine::Registry& registry) {
  std::string out;
  for (const machine::RootKeyInfo& root : machine::kRootKeys)
    Dump(registry, root.handle, out);
  return out;
}

// Deletes a key below a root. A blank name would name the root itself, which is refused; such a
// key goes through a handle of its own.
bool DeleteRootSubKey(machine::Registry& registry, machine::RegHandle root,
                      const std::string& name) {
  if (registry.DeleteKeyTree(root, name) == machine::kRegSuccess)
    return true;
  machine::RegHandle key = 0;
  if (registry.OpenKey(root, name, key) != machine::kRegSuccess)
    return false;
  const bool deleted = registry.DeleteKeyTree(key, "") == machine::kRegSuccess;
  registry.CloseKey(key);
  return deleted;
}

// Deletes every key and value under the roots that the registry lets go.
void EmptyRoots(machine::Registry& registry) {
  for (const machine::RootKeyInfo& root : machine::kRootKeys) {
    std::string name;
    for (uint32_t index = 0; registry.EnumKey(root.handle, index, name) == machine::kRegSuccess;) {
      if (!DeleteRootSubKey(registry, root.handle, name))
        ++index;
    }
    std::string data;
    uint32_t type = 0;
    for (uint32_t index = 0;
         registry.EnumValue(root.handle, index, name, type, data) == machine::kRegSuccess;) {
      if (registry.DeleteValue(root.handle, name) != machine::kRegSuccess)
        ++index;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  machine::Registry& registry = Hives();
  const std::string before = DumpAll(registry);
  std::string error;
  const bool imported = machine::ImportRegedit4(registry, hg_fuzz::AsText(data, size), error);
  HG_FUZZ_CHECK(registry.OpenHandleCount() == 0, "the import left a key open");
  HG_FUZZ_CHECK(imported || !error.empty(), "a refused import says why");
  if (!imported && error.find("refused") == std::string::npos)
    HG_FUZZ_CHECK(DumpAll(registry) == before,
                  "a text with an error changed the registry: " + error);
  EmptyRoots(registry);
  HG_FUZZ_CHECK(DumpAll(registry).empty(), DumpAll(registry));
  return 0;
}
