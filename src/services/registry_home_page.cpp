#include "services/registry_home_page.h"

#include <array>

#include "machine/machine.h"
#include "machine/text.h"
#include "services/registry_key.h"
#include "services/registry_values.h"
#include "services/system.h"

namespace services {

void SetCurrentUserValue(System& system, std::string_view key_name, std::string_view value_name,
                         std::string_view value, int32_t value_type) {
  ScopedKey key(system.machine.registry());
  if (key.Open(machine::kHkeyCurrentUser, key_name) == machine::kRegSuccess)
    SetValueEx(system, key.get(), value_name, value_type, value);
}

int32_t SetValueEx(System& system, machine::RegHandle key, std::string_view value_name,
                   int32_t type, std::string_view value) {
  machine::Registry& registry = system.machine.registry();
  if (type == static_cast<int32_t>(machine::kRegSz))
    return registry.SetValue(key, value_name, machine::kRegSz, StringData(value));
  if (type == static_cast<int32_t>(machine::kRegDword)) {
    int32_t number = 0;
    if (!ParseInt32(value, number))
      return machine::kRegInvalidParameter;
    return registry.SetValue(key, value_name, machine::kRegDword, DwordData(number));
  }
  return machine::kRegSuccess;
}

bool ReadRegistryValue(System& system, machine::RegHandle root, std::string_view sub_key,
                       std::string_view value_name, std::string& data) {
  ScopedKey key(system.machine.registry());
  if (key.Open(root, sub_key) != machine::kRegSuccess) {
    data.clear();
    return false;
  }
  std::array<char, 1024> buffer{};
  uint32_t size = buffer.size();
  uint32_t type = machine::kRegNone;
  if (system.machine.registry().QueryValue(key.get(), value_name, &type, buffer.data(), &size) !=
      machine::kRegSuccess) {
    data.clear();
    return false;
  }
  std::string_view bytes(buffer.data(), size);
  if (!bytes.empty() && bytes.back() == '\0')
    bytes.remove_suffix(1);
  if (type == machine::kRegSz)
    data = bytes;
  else if (type == machine::kRegDword)
    data = std::to_string(DwordFromData(bytes));
  return true;
}

}  // namespace services
